// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace engine {

// A number as typed (the countdown's minutes, an option value in the settings file): an
// optionally signed decimal with blanks around it allowed. Fractions round to the nearest
// whole number, halves to the even neighbour. Empty text, anything else, and values outside
// the 16-bit range give nothing.
std::optional<qint16> parseInt16(const QString& text);

} // namespace engine
