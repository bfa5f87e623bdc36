#pragma once
// UU coding for attachments of UU-form mail: one block of bytes to one line
// (count character, then four characters per three bytes) and back.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace mail {

// Bytes per line the writer feeds: 45 bytes give a 61-character line "M...".
inline constexpr std::size_t kUUBlockSize = 45;

// One block of at most 63 bytes to one line; the empty block gives "`".
std::string uuEncodeBlock(std::string_view block);

// The writer's form of a whole content: one line per 45-byte block until a
// block shorter than 45, so a content whose length is a multiple of 45 (the
// empty one too) ends with the line "`". Lets window messages run, throttled.
void uuEncodeLines(std::string_view data, const std::function<void(std::string_view line)>& emit);

// Decodes one line: the first character gives the byte count, the rest is cut
// or zero-filled to it. "`" and a blank stand for 0; an empty line gives
// nothing. Throws mail::EInOutError "Invalid Character" on a character outside
// blank, "!".."_" and "`".
std::string uuDecodeLine(std::string_view line);

}  // namespace mail
