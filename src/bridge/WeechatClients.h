// SPDX-License-Identifier: MIT
#pragma once

#include "Delivery.h"

#include <QString>

namespace bridge {

// Sets the away text of every running WeeChat through its FIFO. Never waits: a FIFO that
// nobody reads is a failure at once, and one whose process has ended is passed over.
Delivery setWeechatAway(const QString& plainText);

} // namespace bridge
