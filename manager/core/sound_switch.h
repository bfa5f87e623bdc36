#pragma once
// Which sound file a main-window sound plays: none while [Misc]
// SoundsDisabled is set (read anew for every sound), none when the file is
// not shipped beside the program or in its share folder.

#include <string>

#include "store/settings.h"

namespace manager {

// Empty: play nothing.
std::string WaveToPlay(const store::Settings& settings, const std::string& fileName);

inline constexpr const char* kAboutWave = "about.wav";
inline constexpr const char* kNewItemWave = "newitem.wav";
inline constexpr const char* kExpandTreeWave = "expandtree.wav";
inline constexpr const char* kSlideWave = "slide.wav";

}  // namespace manager
