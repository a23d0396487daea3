// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace desktop {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the file in the background; false when it can't be played.
    virtual bool playFile(const QString& path) = 0;
    // Plays a sound of the desktop's sound theme, such as "bell".
    virtual void playEvent(const QString& eventId) = 0;
};

// libcanberra, loaded at the first sound, with one context kept for the program's life.
// The context is never destroyed: that unloads libcanberra's output driver while a sound
// started without waiting may still be playing on the driver's own thread, which then runs
// code that is no longer there.
class CanberraPlayer final : public SoundPlayer {
public:
    bool playFile(const QString& path) override;
    void playEvent(const QString& eventId) override;
};

// Plays the file without waiting for it; when it can't be played, the desktop's bell
// sounds instead.
void playStartupSound(const QString& path, SoundPlayer& player);

} // namespace desktop
