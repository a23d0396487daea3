// SPDX-License-Identifier: MIT
// The D-Bus clients that take the away text in a call or two; libpurple, which needs more,
// has a file of its own.
#include "dbus/DBusMessenger.h"

namespace bridge {

// A running HexChat, through the remote interface of its D-Bus plugin (loaded by default).
// It sets the plain text as the away text on every server HexChat is connected to, and
// comes back on all of them with "allserv back" (an /away without a text does not).
std::unique_ptr<Messenger> makeHexchatClient(Transports& transports) {
    return makeDBusMessenger(
        transports.bus, QStringLiteral("org.hexchat.service"), QStringLiteral("HexChat"),
        [](DBusPeer& peer, const Away& away) {
            // HexChat makes an object for each connected program, known only on this
            // connection.
            const std::optional<QVariant> path = peer.call(
                QStringLiteral("/org/hexchat/Remote"), QStringLiteral("org.hexchat.connection"),
                QStringLiteral("Connect"),
                {QStringLiteral("pellory-aim-bridge"), QStringLiteral("Pellory AIM bridge"),
                 QStringLiteral("Sets the away message from aim: links"), QStringLiteral("1.0")});
            if (!path)
                return peer.error();
            return peer.run(path->toString(), QStringLiteral("org.hexchat.plugin"),
                            QStringLiteral("Command"),
                            {away ? QStringLiteral("allserv away ") + away->plain()
                                  : QStringLiteral("allserv back")});
        });
}

// A running Gajim, once its setting remote_control is on (off by default). One call sets
// the plain text on every account that follows Gajim's global status, as its status menu
// does; back is "online" with no message.
std::unique_ptr<Messenger> makeGajimClient(Transports& transports) {
    return makeDBusMessenger(
        transports.bus, QStringLiteral("org.gajim.Gajim"), QStringLiteral("Gajim"),
        [](DBusPeer& peer, const Away& away) {
            // An empty account stands for all of them.
            const std::optional<QVariant> done = peer.call(
                QStringLiteral("/org/gajim/dbus/RemoteObject"),
                QStringLiteral("org.gajim.dbus.RemoteInterface"), QStringLiteral("change_status"),
                {away ? QStringLiteral("away") : QStringLiteral("online"),
                 away ? away->plain() : QString(), QString()});
            if (done && done->toBool())
                return QString();
            // Gajim takes its bus name even while its remote control is off, and then has no
            // object (for the first 5 seconds of its run too).
            if (peer.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.Unknown")))
                return QStringLiteral("Gajim: switch its setting remote_control on (Preferences, "
                                      "Advanced, Advanced Configuration Editor) to let it take "
                                      "away messages");
            return done
                       ? QStringLiteral("Gajim refused the %1 status").arg(away ? "away" : "online")
                       : peer.error();
        },
        Offer{QStringLiteral("/org/gajim/dbus/RemoteObject"), QStringLiteral("change_status"),
              QStringLiteral("its remote control is off: switch its setting remote_control on "
                             "(Preferences, Advanced, Advanced Configuration Editor)")});
}

// A running nheko whose setting expose_dbus_api is on: the plain text becomes the status
// message of its Matrix account, and an empty one brings it back.
std::unique_ptr<Messenger> makeNhekoClient(Transports& transports) {
    return makeDBusMessenger(
        transports.bus, QStringLiteral("im.nheko.Nheko"), QStringLiteral("nheko"),
        [](DBusPeer& peer, const Away& away) {
            return peer.run(QStringLiteral("/"), QStringLiteral("im.nheko.Nheko"),
                            QStringLiteral("setStatusMessage"), {away ? away->plain() : QString()});
        },
        Offer{QStringLiteral("/"), QStringLiteral("setStatusMessage"),
              QStringLiteral("without its D-Bus interface: set "
                             "expose_dbus_api=true under [user] in "
                             "nheko.conf")});
}

// A running Konversation: setAway sets the text on every server it is connected to, as
// typed, and setBack clears it on all. Its interface also has sayToAll, which posts to
// every channel: never anything but these two.
std::unique_ptr<Messenger> makeKonversationClient(Transports& transports) {
    return makeDBusMessenger(
        transports.bus, QStringLiteral("org.kde.konversation"), QStringLiteral("Konversation"),
        [](DBusPeer& peer, const Away& away) {
            return peer.run(QStringLiteral("/irc"), QStringLiteral("org.kde.konversation"),
                            away ? QStringLiteral("setAway") : QStringLiteral("setBack"),
                            away ? QVariantList{away->plain()} : QVariantList{});
        },
        Offer{QStringLiteral("/irc"), QStringLiteral("setAway"),
              QStringLiteral("without its D-Bus interface")});
}

} // namespace bridge
