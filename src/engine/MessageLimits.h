#pragma once

namespace Engine {

// Positions and the count are 16-bit signed, so the list holds at most this many entries.
inline constexpr int MaxMessages = 32767;

} // namespace Engine
