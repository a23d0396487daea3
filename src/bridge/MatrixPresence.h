// SPDX-License-Identifier: MIT
#pragma once

#include "Messenger.h"

#include <QDeadlineTimer>

namespace bridge {

// The presence of the Matrix account logged in with --matrix-login, set on the homeserver
// itself: Element and the other clients have no local interface for it, and presence
// belongs to the account, so all its clients and contacts see it. Without a stored login
// Matrix counts as not running.
class MatrixPresence final : public Messenger {
public:
    explicit MatrixPresence(QDeadlineTimer deadline) : deadline_(deadline) {}

    QString name() const override { return QStringLiteral("Matrix (no --matrix-login)"); }
    // Sets "unavailable" with the plain text as the status message.
    Delivery setAway(const MessengerText& text) override;

private:
    QDeadlineTimer deadline_;
};

} // namespace bridge
