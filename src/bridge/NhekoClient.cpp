// SPDX-License-Identifier: MIT
#include "NhekoClient.h"

namespace bridge {

NhekoClient::NhekoClient(SessionBus& bus, QDeadlineTimer deadline)
    : peer_(bus, QStringLiteral("im.nheko.Nheko"), QStringLiteral("nheko"), deadline) {}

Delivery NhekoClient::setAway(const MessengerText& text) {
    const std::optional<bool> running = peer_.running();
    if (running == false)
        return {};
    if (!running)
        return {0, {peer_.error()}};
    const bool done = peer_
                          .call(QStringLiteral("/"), QStringLiteral("im.nheko.Nheko"),
                                QStringLiteral("setStatusMessage"), {text.plain()})
                          .has_value();
    return done ? Delivery{1, {}} : Delivery{0, {peer_.error()}};
}

} // namespace bridge
