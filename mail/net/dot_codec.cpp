#include "mail/net/dot_codec.h"

#include <cstring>

namespace mail::net {

namespace {

void appendBlanked(std::string& out, std::string_view bytes)
{
    std::size_t start = out.size();
    out.append(bytes);
    for (std::size_t i = start; i < out.size(); ++i)
        if (out[i] == '\0')
            out[i] = ' ';
}

}  // namespace

std::size_t DotDecoder::feed(std::string_view data, std::string& out)
{
    std::size_t i = 0;
    while (i < data.size() && !done_) {
        char c = data[i];
        switch (state_) {
        case State::LineStart:
            if (c == '.') {
                state_ = State::Dot;
                ++i;
                continue;
            }
            state_ = State::Inside;
            continue;
        case State::Dot:
            ++i;
            if (c == '\n') {
                done_ = true;
            } else if (c == '\r') {
                state_ = State::DotCr;
            } else {
                // A stuffed line: the leading dot goes, the rest stays.
                appendBlanked(out, std::string_view(&c, 1));
                state_ = State::Inside;
            }
            continue;
        case State::DotCr:
            if (c == '\n') {
                ++i;
                done_ = true;
                continue;
            }
            out.push_back('\r');
            state_ = State::Inside;
            continue;
        case State::Inside: {
            // Copy up to and including the next line feed in one go.
            const void* found = std::memchr(data.data() + i, '\n', data.size() - i);
            std::size_t end = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data.data()) + 1
                                    : data.size();
            appendBlanked(out, data.substr(i, end - i));
            i = end;
            if (found)
                state_ = State::LineStart;
            continue;
        }
        }
    }
    return i;
}

void DotStuffer::feed(std::string_view data, std::string& out)
{
    out.reserve(out.size() + data.size() + data.size() / 64 + 2);
    for (char c : data) {
        if (c == '\n') {
            if (!afterCr_)
                out.push_back('\r');
            out.push_back('\n');
            lineStart_ = true;
            afterCr_ = false;
            continue;
        }
        if (lineStart_ && c == '.')
            out.push_back('.');
        out.push_back(c);
        lineStart_ = false;
        afterCr_ = c == '\r';
    }
}

}  // namespace mail::net
