// SPDX-License-Identifier: MIT
#pragma once

#include "Delivery.h"
#include "MessengerText.h"

namespace bridge {

// One kind of messenger the bridge reaches. main.cpp keeps the list of them and hands each
// the same text at the same time; a new kind is one class like this and one line there.
class Messenger {
public:
    virtual ~Messenger() = default;
    // Who it is, in the line that says no messenger runs.
    virtual QString name() const = 0;
    // Sets the away text on every running client of this kind, never starting one, and
    // returns by the deadline the kind was made with.
    virtual Delivery setAway(const MessengerText& text) = 0;
};

} // namespace bridge
