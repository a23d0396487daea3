// SPDX-License-Identifier: MIT
#include "dbus/DBusMessenger.h"

#include <memory>

namespace bridge {

namespace {

// A running Gajim, once its setting remote_control is on (off by default). One call sets
// the plain text on every account that follows Gajim's global status, as its status menu does.
class GajimClient final : public DBusMessenger {
public:
    explicit GajimClient(Bus& bus)
        : DBusMessenger(bus, QStringLiteral("org.gajim.Gajim"), QStringLiteral("Gajim")) {}

private:
    QString deliver(const MessengerText& text) override {
        // An empty account stands for all of them.
        const std::optional<QVariant> done = peer_.call(
            QStringLiteral("/org/gajim/dbus/RemoteObject"),
            QStringLiteral("org.gajim.dbus.RemoteInterface"), QStringLiteral("change_status"),
            {QStringLiteral("away"), text.plain(), QString()});
        if (done && done->toBool())
            return {};
        // Gajim takes its bus name even while its remote control is off, and then has no
        // object (for the first 5 seconds of its run too).
        if (peer_.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.Unknown")))
            return QStringLiteral("Gajim: switch its setting remote_control on to let it take "
                                  "away messages");
        return done ? QStringLiteral("Gajim refused the away status") : peer_.error();
    }
};

} // namespace

std::unique_ptr<Messenger> makeGajimClient(Transports& transports) {
    return std::make_unique<GajimClient>(transports.bus);
}

} // namespace bridge
