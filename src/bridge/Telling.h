// SPDX-License-Identifier: MIT
#pragma once

#include "Delivery.h"
#include "Transports.h"

#include <QStringList>

namespace bridge {

// Which of the causes were not told yet in this login session. Remembers the causes as they
// stand now in `folder` (made 0700), so that one that went away and comes back is told
// again. Without a usable folder every cause counts as new.
QStringList untoldCauses(const QStringList& causes, const QString& folder);

// On a desktop the bridge's standard error goes nowhere: a failure that was not told yet is
// shown as one desktop notification (the freedesktop service, on the bus and within its
// deadline). Success is silent; without a notification service, standard error only.
void tellDesktop(const Delivery& delivery, bool away, Bus& bus, const QString& folder);

} // namespace bridge
