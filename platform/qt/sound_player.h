#pragma once
// Plays a sound file asynchronously: play() returns at once, a new sound
// replaces the one still playing, and a missing file or a machine without
// a sound device plays nothing, silently.

#include <memory>
#include <string>

class QSoundEffect;

namespace platform {

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    void play(const std::string& file);

private:
    void release();

    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace platform
