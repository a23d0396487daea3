// SPDX-License-Identifier: MIT
#pragma once

#include "Delivery.h"
#include "text/MessengerText.h"

#include <optional>

namespace bridge {

// The away text to set, or nothing to come back: available, without a message.
using Away = std::optional<MessengerText>;

// One kind of messenger the bridge reaches; MessengerKinds.cpp lists them all.
class Messenger {
public:
    virtual ~Messenger() = default;
    // Sets the away text, or the user back, on every running client of this kind, never
    // starting one, and returns by the run's deadline.
    virtual Delivery set(const Away& away) = 0;
};

} // namespace bridge
