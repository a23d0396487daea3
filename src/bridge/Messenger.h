// SPDX-License-Identifier: MIT
#pragma once

#include "Delivery.h"
#include "text/MessengerText.h"

#include <optional>

namespace bridge {

// The away text to set, or nothing to come back: available, without a message.
using Away = std::optional<MessengerText>;

// Whether a kind of messenger would take a message now, and its state in a few words: not
// running, running and taking messages, or what to switch on.
struct Readiness {
    bool takes = false;
    QString state;
};

// One kind of messenger the bridge reaches; MessengerKinds.cpp lists them all.
class Messenger {
public:
    virtual ~Messenger() = default;
    // Sets the away text, or the user back, on every running client of this kind, never
    // starting one, and returns by the run's deadline.
    virtual Delivery set(const Away& away) = 0;
    // Looks without changing any status, by the run's deadline.
    virtual Readiness check() = 0;
};

} // namespace bridge
