// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

struct ca_context;

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
class CanberraPlayer final : public SoundPlayer {
public:
    CanberraPlayer() = default;
    ~CanberraPlayer() override;
    CanberraPlayer(const CanberraPlayer&) = delete;
    CanberraPlayer& operator=(const CanberraPlayer&) = delete;

    bool playFile(const QString& path) override;
    void playEvent(const QString& eventId) override;

private:
    struct Library;
    ca_context* context();
    const Library* library_ = nullptr;
    ca_context* context_ = nullptr;
};

// Plays the file without waiting for it; when it can't be played, the desktop's bell
// sounds instead.
void playStartupSound(const QString& path, SoundPlayer& player);

} // namespace desktop
