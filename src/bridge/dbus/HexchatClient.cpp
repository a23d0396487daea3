// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

#include <memory>

namespace bridge {

namespace {

// A running HexChat, through the remote interface of its D-Bus plugin (loaded by default).
// It sets the plain text as the away text on every server HexChat is connected to.
class HexchatClient final : public DBusMessenger {
public:
    explicit HexchatClient(Bus& bus)
        : DBusMessenger(bus, QStringLiteral("org.hexchat.service"), QStringLiteral("HexChat")) {}

private:
    QString deliver(const MessengerText& text) override {
        // HexChat makes an object for each connected program, known only on this connection.
        const std::optional<QVariant> path = peer_.call(
            QStringLiteral("/org/hexchat/Remote"), QStringLiteral("org.hexchat.connection"),
            QStringLiteral("Connect"),
            {QStringLiteral("pellory-aim-bridge"), QStringLiteral("Pellory AIM bridge"),
             QStringLiteral("Sets the away message from aim: links"), QStringLiteral("1.0")});
        if (!path)
            return peer_.error();
        const std::optional<QVariant> done =
            peer_.call(path->toString(), QStringLiteral("org.hexchat.plugin"),
                       QStringLiteral("Command"), {QStringLiteral("allserv away ") + text.plain()});
        return done ? QString() : peer_.error();
    }
};

} // namespace

std::unique_ptr<Messenger> makeHexchatClient(Transports& transports) {
    return std::make_unique<HexchatClient>(transports.bus);
}

} // namespace bridge
