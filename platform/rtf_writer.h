#pragma once
// Writes rich text as RTF that the reader (and word processors) read back:
// each run in its own group with its formatting, a colour table of the
// colours used, characters outside ASCII as \u with a "?" fallback.

#include <string>

#include "platform/rtf_text.h"

namespace platform {

std::string WriteRtf(const RichText& text);

}  // namespace platform
