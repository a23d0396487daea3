// SPDX-License-Identifier: MIT
#include "GajimClient.h"

namespace bridge {

GajimClient::GajimClient(SessionBus& bus, QDeadlineTimer deadline)
    : peer_(bus, QStringLiteral("org.gajim.Gajim"), QStringLiteral("Gajim"), deadline) {}

Delivery GajimClient::setAway(const MessengerText& text) {
    const std::optional<bool> running = peer_.running();
    if (running == false)
        return {};
    if (!running)
        return {0, {peer_.error()}};
    // An empty account stands for all of them.
    const std::optional<QVariant> done = peer_.call(
        QStringLiteral("/org/gajim/dbus/RemoteObject"),
        QStringLiteral("org.gajim.dbus.RemoteInterface"), QStringLiteral("change_status"),
        {QStringLiteral("away"), text.plain(), QString()});
    if (done && done->toBool())
        return {1, {}};
    // Gajim takes its bus name even while its remote control is off, and then has no object
    // (for the first 5 seconds of its run too).
    if (peer_.errorName().startsWith(QLatin1String("org.freedesktop.DBus.Error.Unknown")))
        return {0,
                {QStringLiteral("Gajim: switch its setting remote_control on to let it take "
                                "away messages")}};
    return {0, {done ? QStringLiteral("Gajim refused the away status") : peer_.error()}};
}

} // namespace bridge
