#pragma once
// Base64 (standard alphabet, "=" padding) for attachments: one block of bytes
// to one mail line and back.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/event_pump.h"

namespace mail {

// Bytes per line the writer feeds: 57 bytes give a 76-character line.
inline constexpr std::size_t kBase64BlockSize = 57;

// One block (any length; the writer uses at most 57 bytes) to one line.
std::string base64EncodeBlock(std::string_view block);

// The writer's form of a whole content: one line per 57-byte block until a
// block shorter than 57, so a content whose length is a multiple of 57 (the
// empty one too) ends with an empty line. Lets window messages run, throttled.
void base64EncodeLines(std::string_view data, const std::function<void(std::string_view line)>& emit);

// Decodes one line. Blanks, tabs, CR and LF are skipped; a trailing group of
// 2 or 3 characters gives 1 or 2 bytes, a lone character nothing.
// Throws mail::EInOutError "Invalid Character" on any other character.
std::string base64DecodeLine(std::string_view line);

// Decoder over many lines: a group of four split between lines is joined.
// Same skipping and same exception as base64DecodeLine; lets window
// messages run, throttled.
class Base64Decoder {
public:
    void feed(std::string_view line, std::string& out);  // appends decoded bytes
    void finish(std::string& out);                       // flushes a partial group

private:
    void flushPartial(char*& dst);

    unsigned quad_[4] = {0, 0, 0, 0};
    int count_ = 0;
    int padding_ = 0;
    platform::PumpThrottle pump_;
};

}  // namespace mail
