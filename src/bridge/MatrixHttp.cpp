// SPDX-License-Identifier: MIT
#include "MatrixHttp.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace bridge {

HttpReply sendRequest(const HttpRequest& request, QDeadlineTimer deadline) {
    QEventLoop loop; // first: it gives a thread without one its event dispatcher
    QNetworkAccessManager manager;
    QNetworkRequest outgoing(request.url);
    for (const auto& [name, value] : request.headers)
        outgoing.setRawHeader(name, value);
    outgoing.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                          QNetworkRequest::ManualRedirectPolicy);
    const int left = int(qMax<qint64>(deadline.remainingTime(), 1));
    outgoing.setTransferTimeout(left);
    const std::unique_ptr<QNetworkReply> reply(
        manager.sendCustomRequest(outgoing, request.method, request.body));
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The transfer timeout restarts with every byte; this bounds the whole call.
    QTimer::singleShot(left, &loop, [&reply] { reply->abort(); });
    if (!reply->isFinished())
        loop.exec();
    HttpReply answer;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->isOpen()) // not once aborted
        answer.body = reply->readAll();
    // Only the two timers above cancel a call.
    answer.timedOut = reply->error() == QNetworkReply::OperationCanceledError ||
                      reply->error() == QNetworkReply::TimeoutError;
    if (answer.status == 0)
        answer.networkError = reply->errorString();
    return answer;
}

} // namespace bridge
