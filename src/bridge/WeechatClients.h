// SPDX-License-Identifier: MIT
#pragma once

#include "Messenger.h"

namespace bridge {

// Every running WeeChat, through its FIFO. Never waits: a FIFO that nobody reads is a failure
// at once, and one whose process has ended is passed over.
class WeechatClients final : public Messenger {
public:
    QString name() const override { return QStringLiteral("WeeChat"); }
    Delivery setAway(const MessengerText& text) override;
};

} // namespace bridge
