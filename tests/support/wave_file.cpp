#include "tests/support/wave_file.h"

#include <cstdint>

namespace test_support {

std::string waveFile()
{
    const auto le32 = [](uint32_t v) {
        return std::string{char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char(v >> 24)};
    };
    const auto le16 = [](uint16_t v) { return std::string{char(v & 0xff), char(v >> 8)}; };
    const uint32_t samples = 800;
    std::string data(samples * 2, '\0');
    return "RIFF" + le32(36 + data.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) +
           le32(16000) + le16(2) + le16(16) + "data" + le32(data.size()) + data;
}

}  // namespace test_support
