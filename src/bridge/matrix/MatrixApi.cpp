// SPDX-License-Identifier: MIT
#include "matrix/MatrixApi.h"

#include "text/MessengerText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace bridge {

namespace {

// The most of the homeserver's own error text a failure line repeats.
constexpr qsizetype kShownErrorLength = 120;

HttpRequest call(const QString& homeserver, const QByteArray& method, const QByteArray& path,
                 const QJsonObject& body, const QString& token = QString()) {
    HttpRequest request{
        method,
        QUrl::fromEncoded(homeserverBase(homeserver).toUtf8() + "/_matrix/client/v3/" + path,
                          QUrl::StrictMode),
        {},
        {}};
    if (!token.isEmpty())
        request.headers.emplace_back("Authorization", "Bearer " + token.toUtf8());
    if (!body.isEmpty() || method == "POST" || method == "PUT") {
        request.headers.emplace_back("Content-Type", "application/json");
        request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    }
    return request;
}

// A path segment: "@alice:example.org" goes as "%40alice%3Aexample.org", and a "/" in a
// user ID cannot reach another endpoint.
QByteArray segment(const QString& userId) {
    return QUrl::toPercentEncoding(userId);
}

} // namespace

QString serverText(const QString& text) {
    QString line;
    for (const QChar c : text.left(kShownErrorLength))
        line += isControl(c.unicode()) ? u' ' : c;
    return line.simplified();
}

HttpRequest presenceRequest(const MatrixLogin& login, const std::optional<QString>& text) {
    return call(
        login.homeserver, "PUT", "presence/" + segment(login.userId) + "/status",
        {{QLatin1String("presence"), text ? QLatin1String("unavailable") : QLatin1String("online")},
         {QLatin1String("status_msg"), text.value_or(QString())}},
        login.accessToken);
}

HttpRequest passwordLoginRequest(const QString& homeserver, const QString& userId,
                                 const QString& password, const QString& deviceName) {
    const QJsonObject identifier{{QLatin1String("type"), QLatin1String("m.id.user")},
                                 {QLatin1String("user"), userId}};
    return call(homeserver, "POST", "login",
                {{QLatin1String("type"), QLatin1String("m.login.password")},
                 {QLatin1String("identifier"), identifier},
                 {QLatin1String("password"), password},
                 {QLatin1String("initial_device_display_name"), deviceName}});
}

HttpRequest whoamiRequest(const QString& homeserver, const QString& token) {
    return call(homeserver, "GET", "account/whoami", {}, token);
}

HttpRequest logoutRequest(const MatrixLogin& login) {
    return call(login.homeserver, "POST", "logout", {}, login.accessToken);
}

std::optional<MatrixLogin> loginFromReply(const QString& homeserver, const HttpReply& reply) {
    const QJsonObject answer = QJsonDocument::fromJson(reply.body).object();
    const MatrixLogin login{homeserver, answer.value(QLatin1String("user_id")).toString(),
                            answer.value(QLatin1String("device_id")).toString(),
                            answer.value(QLatin1String("access_token")).toString()};
    if (reply.status != 200 || login.userId.isEmpty())
        return std::nullopt;
    return login;
}

QString matrixFailure(const QString& homeserver, const QString& userId, const HttpReply& reply) {
    const QString account = QStringLiteral("Matrix account %1 on %2: ").arg(userId, homeserver);
    if (reply.timedOut)
        return account + QStringLiteral("no answer from the homeserver in time");
    if (reply.tooLarge)
        return account + QStringLiteral("the homeserver's answer is larger than %1 KiB, far "
                                        "more than any answer the bridge reads")
                             .arg(kMostAnswerBytes / 1024);
    if (reply.status == 0)
        return account + QStringLiteral("cannot reach the homeserver: ") + reply.networkError;
    if (reply.status >= 200 && reply.status < 300)
        return {};
    const QJsonObject answer = QJsonDocument::fromJson(reply.body).object();
    const QString code = serverText(answer.value(QLatin1String("errcode")).toString());
    if (reply.status == 401 && code == QLatin1String("M_UNKNOWN_TOKEN"))
        return account + QStringLiteral("the homeserver no longer accepts the stored login "
                                        "(M_UNKNOWN_TOKEN); run pellory-aim-bridge "
                                        "--matrix-login again");
    const QString error = serverText(answer.value(QLatin1String("error")).toString());
    return account + QStringLiteral("the homeserver answered HTTP %1 %2%3")
                         .arg(QString::number(reply.status), code,
                              error.isEmpty() ? QString() : QStringLiteral(": ") + error)
                         .simplified();
}

QString homeserverBase(QString url) {
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

bool isMatrixUserId(const QString& userId) {
    static const QRegularExpression form(QStringLiteral("^@[^:\\s]+:\\S+$"));
    return form.match(userId).hasMatch() && std::none_of(userId.begin(), userId.end(), [](QChar c) {
               return isControl(c.unicode());
           });
}

} // namespace bridge
