// SPDX-License-Identifier: MIT
#pragma once

#include "DBusPeer.h"
#include "Messenger.h"

#include <optional>

namespace bridge {

// A running libpurple client (Pidgin, Finch) reached over D-Bus. libpurple strips the
// markup itself where a protocol (IRC) shows it as typed, so it gets the markup.
class PurpleClient final : public Messenger {
public:
    PurpleClient(const SessionBus& bus, QDeadlineTimer deadline);

    QString name() const override { return QStringLiteral("Pidgin or Finch"); }
    // Makes the text the current away message, reusing the transient status that already
    // holds it so that repeated messages do not pile up saved statuses.
    Delivery setAway(const MessengerText& text) override;

private:
    QString activate(const QString& markup); // why it failed, or an empty string
    std::optional<int> callForInt(const QString& method, const QVariantList& arguments);
    bool call(const QString& method, const QVariantList& arguments);

    DBusPeer peer_;
    QString error_;
};

} // namespace bridge
