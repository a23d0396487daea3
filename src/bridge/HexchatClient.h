// SPDX-License-Identifier: MIT
#pragma once

#include "DBusPeer.h"
#include "Messenger.h"

namespace bridge {

// A running HexChat reached through its D-Bus remote interface, which HexChat offers while
// its D-Bus plugin is loaded (the default). It sets the plain text as the away text on every
// server HexChat is connected to.
class HexchatClient final : public Messenger {
public:
    HexchatClient(const SessionBus& bus, QDeadlineTimer deadline);

    QString name() const override { return QStringLiteral("HexChat"); }
    Delivery setAway(const MessengerText& text) override;

private:
    DBusPeer peer_;
};

} // namespace bridge
