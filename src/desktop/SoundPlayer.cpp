// SPDX-License-Identifier: MIT
#include "SoundPlayer.h"

#include <QFile>

#include <canberra.h>
#include <dlfcn.h>

namespace desktop {

namespace {

// libcanberra is loaded at the first sound, as most starts play none; without it, no sound
// plays.
struct Library {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_play) play = nullptr;

    Library() {
        if (void* library = ::dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL)) {
            create = reinterpret_cast<decltype(create)>(::dlsym(library, "ca_context_create"));
            play = reinterpret_cast<decltype(play)>(::dlsym(library, "ca_context_play"));
        }
    }
    bool loaded() const { return create && play; }
};

const Library& library() {
    static const Library loaded;
    return loaded;
}

// Made at the first sound and shared by every player until the program ends.
ca_context* sharedContext() {
    static ca_context* const context = [] {
        ca_context* made = nullptr;
        if (!library().loaded() || library().create(&made) != CA_SUCCESS)
            return static_cast<ca_context*>(nullptr);
        return made;
    }();
    return context;
}

} // namespace

bool CanberraPlayer::playFile(const QString& path) {
    ca_context* context = sharedContext();
    if (!context)
        return false;
    const QByteArray file = QFile::encodeName(path);
    return library().play(context, 0, CA_PROP_MEDIA_FILENAME, file.constData(), nullptr) ==
           CA_SUCCESS;
}

void CanberraPlayer::playEvent(const QString& eventId) {
    if (ca_context* context = sharedContext())
        library().play(context, 0, CA_PROP_EVENT_ID, eventId.toUtf8().constData(), nullptr);
}

void playStartupSound(const QString& path, SoundPlayer& player) {
    if (!player.playFile(path))
        player.playEvent(QStringLiteral("bell"));
}

} // namespace desktop
