// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

namespace bridge {

// A running nheko whose setting expose_dbus_api is on: the plain text becomes the status
// message of its Matrix account.
std::unique_ptr<Messenger> makeNhekoClient(Transports& transports) {
    return makeDBusMessenger(
        transports.bus, QStringLiteral("im.nheko.Nheko"), QStringLiteral("nheko"),
        [](DBusPeer& peer, const MessengerText& text) {
            const bool done = peer.call(QStringLiteral("/"), QStringLiteral("im.nheko.Nheko"),
                                        QStringLiteral("setStatusMessage"), {text.plain()})
                                  .has_value();
            return done ? QString() : peer.error();
        });
}

} // namespace bridge
