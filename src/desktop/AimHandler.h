// SPDX-License-Identifier: MIT
#pragma once

namespace desktop {

// Whether the desktop has a default program for aim: links, as xdg-open and GIO see it.
bool aimHandlerRegistered();

} // namespace desktop
