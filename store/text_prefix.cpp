#include "store/text_prefix.h"

namespace store {

namespace {
bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::string Utf8Prefix(std::string_view text, std::size_t bytes)
{
    if (text.size() <= bytes)
        return std::string(text);
    std::size_t cut = bytes;
    std::size_t back = 0;
    while (cut > 0 && back < 3 && continuation(text[cut])) {
        --cut;
        ++back;
    }
    // Only a lead byte of a sequence long enough to reach past the cut counts.
    if (back > 0) {
        const auto lead = static_cast<unsigned char>(text[cut]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || length <= back)
            cut = bytes;
    }
    return std::string(text.substr(0, cut));
}

}  // namespace store
