// SPDX-License-Identifier: MIT
#include "matrix/MatrixHttp.h"

#include <QEventLoop>
#include <QSslSocket>
#include <QTimer>

namespace bridge {

namespace {

// Room for the status line and the headers before the body.
constexpr qsizetype kMostHeaderBytes = 16 * 1024;

// HTTP/1.0 with the connection closed after the answer: the answer ends where the
// connection does, in one piece, with no chunks to decode.
QByteArray requestBytes(const HttpRequest& request) {
    const QUrl& url = request.url;
    QByteArray bytes = request.method + ' ' + url.path(QUrl::FullyEncoded).toUtf8();
    if (url.hasQuery())
        bytes += '?' + url.query(QUrl::FullyEncoded).toUtf8();
    QByteArray host = url.host(QUrl::FullyEncoded).toUtf8();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url.port() >= 0)
        host += ':' + QByteArray::number(url.port());
    bytes += " HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n";
    for (const auto& [name, value] : request.headers)
        bytes += name + ": " + value + "\r\n";
    if (!request.body.isEmpty() || request.method == "POST" || request.method == "PUT")
        bytes += "Content-Length: " + QByteArray::number(request.body.size()) + "\r\n";
    return bytes + "\r\n" + request.body;
}

// The status and body of a whole answer as it came off the connection.
void parseAnswer(const QByteArray& raw, HttpReply& reply) {
    const qsizetype headerEnd = raw.indexOf("\r\n\r\n");
    const QList<QByteArray> statusLine = raw.left(raw.indexOf("\r\n")).split(' ');
    if (headerEnd < 0 || statusLine.size() < 2 || !statusLine[0].startsWith("HTTP/1.")) {
        reply.networkError = QStringLiteral("the connection closed without an HTTP answer");
        return;
    }
    reply.status = statusLine[1].toInt();
    reply.body = raw.mid(headerEnd + 4);
    if (raw.left(headerEnd).toLower().contains("\r\ntransfer-encoding: chunked")) {
        reply.status = 0; // against HTTP/1.0: nothing of it can be trusted
        reply.body.clear();
        reply.networkError = QStringLiteral("the answer came in chunks, which HTTP/1.0 forbids");
    }
}

} // namespace

HttpReply sendRequest(const HttpRequest& request, QDeadlineTimer deadline) {
    QEventLoop loop; // first: it gives a thread without one its event dispatcher
    QSslSocket socket;
    // The socket takes no more from the network than this before it is read, and it is read
    // only up to the limit: an endless answer is cut off, never held.
    socket.setReadBufferSize(kMostAnswerBytes);
    HttpReply reply;
    QByteArray raw;
    const auto take = [&] {
        raw += socket.read(kMostHeaderBytes + kMostAnswerBytes + 1 - raw.size());
        if (raw.size() > kMostHeaderBytes + kMostAnswerBytes) {
            reply.tooLarge = true;
            loop.quit();
        }
    };
    const QByteArray outgoing = requestBytes(request);
    const auto send = [&] { socket.write(outgoing); };
    QObject::connect(&socket, &QSslSocket::readyRead, &loop, take);
    QObject::connect(&socket, &QSslSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QSslSocket::errorOccurred, &loop,
                     [&](QAbstractSocket::SocketError e) {
                         if (e != QAbstractSocket::RemoteHostClosedError) // the end of the answer
                             reply.networkError = socket.errorString();
                         loop.quit();
                     });
    // The whole call ends at the deadline, however slowly the bytes come.
    QTimer::singleShot(int(qMax<qint64>(deadline.remainingTime(), 1)), &loop, [&] {
        reply.timedOut = true;
        loop.quit();
    });
    const quint16 port = quint16(request.url.port(request.url.scheme() == "https" ? 443 : 80));
    // Connected to the host as the URL names it: an address literal is never looked up.
    if (request.url.scheme() == QLatin1String("https")) {
        QObject::connect(&socket, &QSslSocket::encrypted, &loop, send);
        socket.connectToHostEncrypted(request.url.host(), port);
    } else {
        QObject::connect(&socket, &QSslSocket::connected, &loop, send);
        socket.connectToHost(request.url.host(), port);
    }
    loop.exec();
    const auto failed = [&] {
        return reply.timedOut || reply.tooLarge || !reply.networkError.isEmpty();
    };
    if (!failed())
        take(); // what came with the end of the connection
    socket.abort();
    if (!failed())
        parseAnswer(raw, reply);
    return reply;
}

} // namespace bridge
