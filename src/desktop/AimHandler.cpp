// SPDX-License-Identifier: MIT
// GIO's headers name a struct member "signals", which Qt defines as a keyword: this file
// includes no Qt header.
#include "AimHandler.h"

#include <gio/gio.h>

#include <cstdio>
#include <dlfcn.h>

namespace desktop {
namespace {

// GIO and GObject with what they pull in cost about a megabyte and two milliseconds at
// start, for a question asked only once a message goes out: they are loaded then.
struct Gio {
    decltype(&g_app_info_get_default_for_uri_scheme) defaultForScheme = nullptr;
    decltype(&g_object_unref) unref = nullptr;

    Gio() {
        void* library = ::dlopen("libgio-2.0.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (library) {
            defaultForScheme = reinterpret_cast<decltype(defaultForScheme)>(
                ::dlsym(library, "g_app_info_get_default_for_uri_scheme"));
            unref = reinterpret_cast<decltype(unref)>(::dlsym(library, "g_object_unref"));
        }
        if (!defaultForScheme || !unref)
            std::fprintf(stderr, "pellory: cannot ask GIO who handles aim: links (%s)\n",
                         library ? "a function is missing" : ::dlerror());
    }
};

} // namespace

std::optional<bool> aimHandlerRegistered() {
    static const Gio gio;
    if (!gio.defaultForScheme || !gio.unref)
        return std::nullopt;
    GAppInfo* handler = gio.defaultForScheme("aim");
    if (!handler)
        return false;
    gio.unref(handler);
    return true;
}

} // namespace desktop
