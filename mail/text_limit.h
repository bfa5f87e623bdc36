#pragma once
// Names, addresses, subjects, attachment names and content types of the
// message model are texts of at most 255 bytes.

#include <cstddef>
#include <string>
#include <string_view>

namespace mail {

inline constexpr std::size_t kShortTextLimit = 255;

// Cuts to at most 255 bytes without splitting a UTF-8 sequence.
inline std::string limitText(std::string_view text)
{
    if (text.size() <= kShortTextLimit)
        return std::string(text);
    std::size_t cut = kShortTextLimit;
    // Step back over continuation bytes so a multibyte character stays whole.
    std::size_t back = 0;
    while (cut > 0 && back < 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
        ++back;
    }
    if (back == 0 || (static_cast<unsigned char>(text[cut]) & 0xC0) != 0xC0)
        cut = kShortTextLimit;  // not a UTF-8 sequence: a plain byte cut
    return std::string(text.substr(0, cut));
}

}  // namespace mail
