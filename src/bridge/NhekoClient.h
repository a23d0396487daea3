// SPDX-License-Identifier: MIT
#pragma once

#include "DBusPeer.h"
#include "Messenger.h"

namespace bridge {

// A running nheko (Matrix), reached over D-Bus once its config has expose_dbus_api=true
// under [user] (off by default). The plain text becomes its status message.
class NhekoClient final : public Messenger {
public:
    NhekoClient(SessionBus& bus, QDeadlineTimer deadline);

    QString name() const override { return QStringLiteral("nheko"); }
    Delivery setAway(const MessengerText& text) override;

private:
    DBusPeer peer_;
};

} // namespace bridge
