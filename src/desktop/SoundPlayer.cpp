// SPDX-License-Identifier: MIT
#include "SoundPlayer.h"

#include <QFile>

#include <canberra.h>

namespace desktop {

CanberraPlayer::~CanberraPlayer() {
    if (context_)
        ca_context_destroy(context_);
}

ca_context* CanberraPlayer::context() {
    if (!context_ && ca_context_create(&context_) != CA_SUCCESS)
        context_ = nullptr;
    return context_;
}

bool CanberraPlayer::playFile(const QString& path) {
    ca_context* ctx = context();
    if (!ctx)
        return false;
    const QByteArray file = QFile::encodeName(path);
    return ca_context_play(ctx, 0, CA_PROP_MEDIA_FILENAME, file.constData(), nullptr) == CA_SUCCESS;
}

void CanberraPlayer::playEvent(const QString& eventId) {
    if (ca_context* ctx = context())
        ca_context_play(ctx, 0, CA_PROP_EVENT_ID, eventId.toUtf8().constData(), nullptr);
}

void playStartupSound(const QString& path, SoundPlayer& player) {
    if (!player.playFile(path))
        player.playEvent(QStringLiteral("bell"));
}

} // namespace desktop
