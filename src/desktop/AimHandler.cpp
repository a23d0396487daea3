// SPDX-License-Identifier: MIT
// GIO's headers name a struct member "signals", which Qt defines as a keyword: this file
// includes no Qt header.
#include "AimHandler.h"

#include <gio/gio.h>

namespace desktop {

bool aimHandlerRegistered() {
    GAppInfo* handler = g_app_info_get_default_for_uri_scheme("aim");
    if (!handler)
        return false;
    g_object_unref(handler);
    return true;
}

} // namespace desktop
