#include "manager/core/sound_switch.h"

#include "platform/paths.h"

namespace manager {

std::string WaveToPlay(const store::Settings& settings, const std::string& fileName)
{
    if (settings.SoundsDisabled())
        return {};
    return platform::FindAsset(fileName);
}

}  // namespace manager
