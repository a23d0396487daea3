// SPDX-License-Identifier: MIT
#pragma once

#include "DBusPeer.h"
#include "Delivery.h"

namespace bridge {

// A running HexChat reached through its D-Bus remote interface, which HexChat offers while
// its D-Bus plugin is loaded (the default).
class HexchatClient {
public:
    HexchatClient(const QDBusConnection& bus, QDeadlineTimer deadline);

    // Sets plainText as the away text on every server HexChat is connected to.
    Delivery setAwayMessage(const QString& plainText);

private:
    DBusPeer peer_;
};

} // namespace bridge
