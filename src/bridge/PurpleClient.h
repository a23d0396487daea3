// SPDX-License-Identifier: MIT
#pragma once

#include "DBusPeer.h"
#include "Delivery.h"

#include <optional>

namespace bridge {

// A running libpurple client (Pidgin, Finch) reached over D-Bus. libpurple strips the
// markup itself where a protocol (IRC) shows it as typed, so it gets the text as it came.
class PurpleClient {
public:
    PurpleClient(const QDBusConnection& bus, QDeadlineTimer deadline);

    // Makes text the current away message, reusing the transient status that already holds
    // it so that repeated messages do not pile up saved statuses.
    Delivery setAwayMessage(const QString& text);

private:
    QString activate(const QString& text); // why it failed, or an empty string
    std::optional<int> callForInt(const QString& method, const QVariantList& arguments);
    bool call(const QString& method, const QVariantList& arguments);

    DBusPeer peer_;
    QString error_;
};

} // namespace bridge
