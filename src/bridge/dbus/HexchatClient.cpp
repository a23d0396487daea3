// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

namespace bridge {

// A running HexChat, through the remote interface of its D-Bus plugin (loaded by default).
// It sets the plain text as the away text on every server HexChat is connected to.
std::unique_ptr<Messenger> makeHexchatClient(Transports& transports) {
    return makeDBusMessenger(
        transports.bus, QStringLiteral("org.hexchat.service"), QStringLiteral("HexChat"),
        [](DBusPeer& peer, const MessengerText& text) {
            // HexChat makes an object for each connected program, known only on this
            // connection.
            const std::optional<QVariant> path = peer.call(
                QStringLiteral("/org/hexchat/Remote"), QStringLiteral("org.hexchat.connection"),
                QStringLiteral("Connect"),
                {QStringLiteral("pellory-aim-bridge"), QStringLiteral("Pellory AIM bridge"),
                 QStringLiteral("Sets the away message from aim: links"), QStringLiteral("1.0")});
            if (!path)
                return peer.error();
            const bool done = peer.call(path->toString(), QStringLiteral("org.hexchat.plugin"),
                                        QStringLiteral("Command"),
                                        {QStringLiteral("allserv away ") + text.plain()})
                                  .has_value();
            return done ? QString() : peer.error();
        });
}

} // namespace bridge
