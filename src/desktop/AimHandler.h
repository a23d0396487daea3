// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

namespace desktop {

// Whether the desktop has a default program for aim: links, as xdg-open and GIO see it;
// nothing when GIO can't be loaded to ask. GIO is loaded at the first question, not at start.
std::optional<bool> aimHandlerRegistered();

// Whether that default program is pellory-aim-bridge; nothing when GIO can't tell.
std::optional<bool> aimHandledByBridge();

} // namespace desktop
