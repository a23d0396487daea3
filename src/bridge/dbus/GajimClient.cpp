// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

namespace bridge {

// A running Gajim, once its setting remote_control is on (off by default). One call sets
// the plain text on every account that follows Gajim's global status, as its status menu does.
std::unique_ptr<Messenger> makeGajimClient(Transports& transports) {
    return makeDBusMessenger(
        transports.bus, QStringLiteral("org.gajim.Gajim"), QStringLiteral("Gajim"),
        [](DBusPeer& peer, const MessengerText& text) {
            // An empty account stands for all of them.
            const std::optional<QVariant> done = peer.call(
                QStringLiteral("/org/gajim/dbus/RemoteObject"),
                QStringLiteral("org.gajim.dbus.RemoteInterface"), QStringLiteral("change_status"),
                {QStringLiteral("away"), text.plain(), QString()});
            if (done && done->toBool())
                return QString();
            // Gajim takes its bus name even while its remote control is off, and then has no
            // object (for the first 5 seconds of its run too).
            if (peer.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.Unknown")))
                return QStringLiteral("Gajim: switch its setting remote_control on to let it "
                                      "take away messages");
            return done ? QStringLiteral("Gajim refused the away status") : peer.error();
        });
}

} // namespace bridge
