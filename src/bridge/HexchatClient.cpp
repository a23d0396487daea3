// SPDX-License-Identifier: MIT
#include "HexchatClient.h"

namespace bridge {

namespace {

const QString kService = QStringLiteral("org.hexchat.service");

} // namespace

HexchatClient::HexchatClient(const SessionBus& bus, QDeadlineTimer deadline)
    : peer_(bus, kService, QStringLiteral("HexChat"), deadline) {}

Delivery HexchatClient::setAway(const MessengerText& text) {
    const std::optional<bool> running = peer_.running();
    if (running == false)
        return {};
    if (!running)
        return {0, {peer_.error()}};
    // HexChat makes an object for each connected program, known only on this connection.
    const std::optional<QVariant> path = peer_.call(
        QStringLiteral("/org/hexchat/Remote"), QStringLiteral("org.hexchat.connection"),
        QStringLiteral("Connect"),
        {QStringLiteral("pellory-aim-bridge"), QStringLiteral("Pellory AIM bridge"),
         QStringLiteral("Sets the away message from aim: links"), QStringLiteral("1.0")});
    if (!path)
        return {0, {peer_.error()}};
    const std::optional<QVariant> done =
        peer_.call(path->toString(), QStringLiteral("org.hexchat.plugin"),
                   QStringLiteral("Command"), {QStringLiteral("allserv away ") + text.plain()});
    return done ? Delivery{1, {}} : Delivery{0, {peer_.error()}};
}

} // namespace bridge
