// SPDX-License-Identifier: MIT
#pragma once

#include "Messenger.h"

namespace bridge {

// Every running WeeChat and mcabber of this user, through the FIFO it holds open, wherever
// its options put it. Never waits: a FIFO that takes nothing at once is a failure. Never
// writes to a process or a FIFO of another user, which could be made to run commands.
class FifoClients final : public Messenger {
public:
    QString name() const override { return QStringLiteral("WeeChat, mcabber"); }
    Delivery setAway(const MessengerText& text) override;
};

} // namespace bridge
