// SPDX-License-Identifier: MIT
#pragma once

namespace engine {

// Positions and the count are 16-bit signed, so the list holds at most this many entries.
inline constexpr int kMaxMessages = 32767;

} // namespace engine
