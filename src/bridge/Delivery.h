// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace bridge {

// What handing the away text to one kind of messenger came to. A messenger that is not
// running neither took it nor failed.
struct Delivery {
    int taken = 0;        // running clients that took the text
    QStringList failures; // one line for each running client that did not

    Delivery& operator+=(const Delivery& other) {
        taken += other.taken;
        failures += other.failures;
        return *this;
    }
};

} // namespace bridge
