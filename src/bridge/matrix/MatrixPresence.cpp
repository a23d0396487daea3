// SPDX-License-Identifier: MIT
#include "Messenger.h"
#include "Transports.h"

#include <memory>

#include <unistd.h>

namespace bridge {

namespace {

// The presence of the Matrix account logged in with --matrix-login, set on the homeserver
// itself: Element and the other clients have no local interface for it, and presence
// belongs to the account, so all its clients and contacts see it. Without a stored login
// Matrix counts as not running. It becomes "unavailable" with the plain text as its status,
// and "online" without one to come back.
class MatrixPresence final : public Messenger {
public:
    explicit MatrixPresence(Http& http) : http_(http) {}

    Delivery set(const Away& away) override {
        const StoredLogin stored =
            readMatrixLogin(matrixLoginPath(QProcessEnvironment::systemEnvironment()), ::geteuid());
        if (!stored.login)
            return stored.error.isEmpty() ? Delivery{} : Delivery{0, {stored.error}};
        const MatrixLogin& login = *stored.login;
        const QString failure = matrixFailure(
            login.homeserver, login.userId,
            http_.send(presenceRequest(login, away ? std::optional(away->plain()) : std::nullopt)));
        return failure.isEmpty() ? Delivery{1, {}} : Delivery{0, {failure}};
    }

    Readiness check() override {
        const StoredLogin stored =
            readMatrixLogin(matrixLoginPath(QProcessEnvironment::systemEnvironment()), ::geteuid());
        if (!stored.login)
            return {false, stored.error.isEmpty()
                               ? QStringLiteral("not logged in: pellory-aim-bridge --matrix-login")
                               : stored.error};
        const MatrixLogin& login = *stored.login;
        const QString failure =
            matrixFailure(login.homeserver, login.userId,
                          http_.send(whoamiRequest(login.homeserver, login.accessToken)));
        if (!failure.isEmpty())
            return {false, failure};
        return {true, QStringLiteral("logged in as %1 on %2, the login file private; the token "
                                     "works")
                          .arg(login.userId, login.homeserver)};
    }

private:
    Http& http_;
};

} // namespace

std::unique_ptr<Messenger> makeMatrixPresence(Transports& transports) {
    return std::make_unique<MatrixPresence>(transports.http);
}

} // namespace bridge
