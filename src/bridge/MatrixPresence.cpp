// SPDX-License-Identifier: MIT
#include "MatrixPresence.h"

#include "MatrixHttp.h"

#include <unistd.h>

namespace bridge {

Delivery MatrixPresence::setAway(const MessengerText& text) {
    const StoredLogin stored =
        readMatrixLogin(matrixLoginPath(QProcessEnvironment::systemEnvironment()), ::geteuid());
    if (!stored.login)
        return stored.error.isEmpty() ? Delivery{} : Delivery{0, {stored.error}};
    const MatrixLogin& login = *stored.login;
    const QString failure =
        matrixFailure(login.homeserver, login.userId,
                      sendRequest(presenceRequest(login, text.plain()), deadline_));
    return failure.isEmpty() ? Delivery{1, {}} : Delivery{0, {failure}};
}

} // namespace bridge
