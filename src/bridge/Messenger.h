// SPDX-License-Identifier: MIT
#pragma once

#include "Delivery.h"
#include "text/MessengerText.h"

namespace bridge {

// One kind of messenger the bridge reaches; MessengerKinds.cpp lists them all.
class Messenger {
public:
    virtual ~Messenger() = default;
    // Sets the away text on every running client of this kind, never starting one, and
    // returns by the run's deadline.
    virtual Delivery setAway(const MessengerText& text) = 0;
};

} // namespace bridge
