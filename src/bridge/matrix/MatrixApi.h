// SPDX-License-Identifier: MIT
#pragma once

#include "matrix/MatrixLogin.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <utility>

namespace bridge {

// One call of the homeserver's client-server API, built without the network so that what
// goes out can be checked as it is.
struct HttpRequest {
    QByteArray method;
    QUrl url;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body; // JSON; empty for none
};

// No answer of the client-server API that the bridge reads comes near this.
constexpr qsizetype kMostAnswerBytes = 64 * 1024;

// What came back: an HTTP status with its body, or why there was none.
struct HttpReply {
    int status = 0; // 0: no answer
    QByteArray body;
    QString networkError; // why the homeserver could not be reached
    bool timedOut = false;
    bool tooLarge = false; // more than kMostAnswerBytes: cut off, body empty
};

// Sets the account's presence to "unavailable" with the text as its status message, or
// without a text to "online" with none.
HttpRequest presenceRequest(const MatrixLogin& login, const std::optional<QString>& text);
// Logs in with m.login.password, making a new device called deviceName.
HttpRequest passwordLoginRequest(const QString& homeserver, const QString& userId,
                                 const QString& password, const QString& deviceName);
// Who a token belongs to, for a token made elsewhere.
HttpRequest whoamiRequest(const QString& homeserver, const QString& token);
// Ends the login's session: its token stops working and its device goes.
HttpRequest logoutRequest(const MatrixLogin& login);

// The login that a login or whoami answer describes, when it holds one. A whoami answer
// carries no token: the caller adds it. The user ID is the server's: the caller checks it.
std::optional<MatrixLogin> loginFromReply(const QString& homeserver, const HttpReply& reply);

// One line on a call for the account that failed, without the token; empty when it worked.
QString matrixFailure(const QString& homeserver, const QString& userId, const HttpReply& reply);

// The homeserver's URL as the calls extend it: without a trailing "/".
QString homeserverBase(QString url);

// Text from the homeserver as it may appear in one line: no control character, not long.
QString serverText(const QString& text);

// Whether a user ID looks like @name:server, without a control character.
bool isMatrixUserId(const QString& userId);

} // namespace bridge
