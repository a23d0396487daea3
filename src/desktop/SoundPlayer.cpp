// SPDX-License-Identifier: MIT
#include "SoundPlayer.h"

#include <QFile>

#include <canberra.h>
#include <dlfcn.h>

namespace desktop {

// libcanberra is loaded at the first sound, as most starts play none; without it, no sound
// plays.
struct CanberraPlayer::Library {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;
    decltype(&ca_context_play) play = nullptr;

    Library() {
        if (void* library = ::dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL)) {
            create = reinterpret_cast<decltype(create)>(::dlsym(library, "ca_context_create"));
            destroy = reinterpret_cast<decltype(destroy)>(::dlsym(library, "ca_context_destroy"));
            play = reinterpret_cast<decltype(play)>(::dlsym(library, "ca_context_play"));
        }
    }
    bool loaded() const { return create && destroy && play; }
};

CanberraPlayer::~CanberraPlayer() {
    if (context_)
        library_->destroy(context_);
}

ca_context* CanberraPlayer::context() {
    static const Library library;
    if (!context_ && library.loaded()) {
        library_ = &library;
        if (library.create(&context_) != CA_SUCCESS)
            context_ = nullptr;
    }
    return context_;
}

bool CanberraPlayer::playFile(const QString& path) {
    ca_context* ctx = context();
    if (!ctx)
        return false;
    const QByteArray file = QFile::encodeName(path);
    return library_->play(ctx, 0, CA_PROP_MEDIA_FILENAME, file.constData(), nullptr) == CA_SUCCESS;
}

void CanberraPlayer::playEvent(const QString& eventId) {
    if (ca_context* ctx = context())
        library_->play(ctx, 0, CA_PROP_EVENT_ID, eventId.toUtf8().constData(), nullptr);
}

void playStartupSound(const QString& path, SoundPlayer& player) {
    if (!player.playFile(path))
        player.playEvent(QStringLiteral("bell"));
}

} // namespace desktop
