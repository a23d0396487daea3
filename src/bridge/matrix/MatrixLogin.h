// SPDX-License-Identifier: MIT
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QUrl>

#include <optional>

namespace bridge {

// The Matrix session the bridge sets the presence with. Presence belongs to the account, so
// every client of it and every contact sees what the bridge sets. The token opens the
// whole account: it is kept in a file only its owner can read and never shown.
struct MatrixLogin {
    QString homeserver; // base URL, without a trailing "/"
    QString userId;     // @name:server
    QString deviceId;
    QString accessToken;

    bool operator==(const MatrixLogin&) const = default;
};

// $XDG_CONFIG_HOME/pellory/matrix-login.json, ~/.config when that is not an absolute path.
QString matrixLoginPath(const QProcessEnvironment& environment);

// Why the base URL, as typed, cannot be a homeserver's: only https://, or http:// to a
// loopback address or localhost, since the password and the token would cross the network
// readable by anyone on the way. Empty when it can.
QString homeserverRefusal(const QString& typed);

// What a login file holds: a login, or why it cannot be used (one line without the token),
// or neither when there is no file, so Matrix is not set up.
struct StoredLogin {
    std::optional<MatrixLogin> login;
    QString error;
};

// Reads the login file at path, refusing, as ssh refuses such a key, a file that the group
// or others may read or write, or that is not owned by user (the effective user id).
StoredLogin readMatrixLogin(const QString& path, uint user);

// Writes the login as a new file of mode 0600 in the folder, made 0700, then renames it over
// the old one, so a crash leaves the old file or the new one. Why it failed, or empty.
QString writeMatrixLogin(const QString& path, const MatrixLogin& login);

} // namespace bridge
