// SPDX-License-Identifier: MIT
// GIO's headers name a struct member "signals", which Qt defines as a keyword: this file
// includes no Qt header.
#include "AimHandler.h"

#include <gio/gio.h>

#include <cstdio>
#include <dlfcn.h>
#include <string>

namespace desktop {
namespace {

// GIO and GObject with what they pull in cost about a megabyte and two milliseconds at
// start, for a question asked only once a message goes out: they are loaded then.
struct Gio {
    decltype(&g_app_info_get_default_for_uri_scheme) defaultForScheme = nullptr;
    decltype(&g_object_unref) unref = nullptr;
    decltype(&g_app_info_get_id) id = nullptr;

    Gio() {
        void* library = ::dlopen("libgio-2.0.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (library) {
            defaultForScheme = reinterpret_cast<decltype(defaultForScheme)>(
                ::dlsym(library, "g_app_info_get_default_for_uri_scheme"));
            unref = reinterpret_cast<decltype(unref)>(::dlsym(library, "g_object_unref"));
            id = reinterpret_cast<decltype(id)>(::dlsym(library, "g_app_info_get_id"));
        }
        if (!defaultForScheme || !unref || !id)
            std::fprintf(stderr, "pellory: cannot ask GIO who handles aim: links (%s)\n",
                         library ? "a function is missing" : ::dlerror());
    }
};

// The desktop file id of the default program for aim: links ("" for none).
std::optional<std::string> aimHandlerId() {
    static const Gio gio;
    if (!gio.defaultForScheme || !gio.unref || !gio.id)
        return std::nullopt;
    GAppInfo* handler = gio.defaultForScheme("aim");
    if (!handler)
        return std::string();
    const char* id = gio.id(handler);
    std::string name = id ? id : "?";
    gio.unref(handler);
    return name;
}

} // namespace

std::optional<bool> aimHandlerRegistered() {
    const std::optional<std::string> id = aimHandlerId();
    return id ? std::optional(!id->empty()) : std::nullopt;
}

std::optional<bool> aimHandledByBridge() {
    const std::optional<std::string> id = aimHandlerId();
    return id ? std::optional(*id == "pellory-aim-bridge.desktop") : std::nullopt;
}

} // namespace desktop
