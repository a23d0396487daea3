// SPDX-License-Identifier: MIT
#pragma once

#include "DBusPeer.h"
#include "Messenger.h"

namespace bridge {

// A running Gajim, reached over D-Bus once its setting remote_control is on (off by
// default). One call sets the plain text on every account that follows Gajim's global
// status, as Gajim's own status menu does.
class GajimClient final : public Messenger {
public:
    GajimClient(SessionBus& bus, QDeadlineTimer deadline);

    QString name() const override { return QStringLiteral("Gajim"); }
    Delivery setAway(const MessengerText& text) override;

private:
    DBusPeer peer_;
};

} // namespace bridge
