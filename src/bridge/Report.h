// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdio>

namespace bridge {

// One line on standard error, as the bridge tells everything there.
inline void report(const QString& line) {
    std::fprintf(stderr, "pellory-aim-bridge: %s\n", line.toUtf8().constData());
}

} // namespace bridge
