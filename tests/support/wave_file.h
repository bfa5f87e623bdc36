#pragma once
// A minimal PCM wave file (a tenth of a second of silence) for tests that
// play sounds.

#include <string>

namespace test_support {

std::string waveFile();

}  // namespace test_support
