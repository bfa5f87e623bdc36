#pragma once
// The transparency rule of the mail protocols' data blocks: a block ends at
// a line holding only ".", and a line that begins with "." travels with one
// more "." in front.

#include <cstddef>
#include <string>
#include <string_view>

namespace mail::net {

// Reads a received data block, which starts at a line start. Lines come out
// with their own line ends and their leading dot removed; a zero byte becomes
// a blank. Stops after the lone "." line; what follows is not consumed.
class DotDecoder {
public:
    // Decodes from data, appending to out; returns how many bytes it took.
    std::size_t feed(std::string_view data, std::string& out);
    bool done() const { return done_; }

private:
    enum class State { LineStart, Dot, DotCr, Inside };
    State state_ = State::LineStart;
    bool done_ = false;
};

// Prepares message text for sending: every line that begins with "." gets
// another "." in front, and a line feed without its carriage return gets one.
class DotStuffer {
public:
    void feed(std::string_view data, std::string& out);
    // The end of the data: an empty line, then the lone ".".
    static std::string_view terminator() { return "\r\n.\r\n"; }

private:
    bool lineStart_ = true;
    bool afterCr_ = false;
};

}  // namespace mail::net
