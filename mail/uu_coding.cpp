#include "mail/uu_coding.h"

#include "mail/mail_error.h"
#include "platform/event_pump.h"

namespace mail {

namespace {

// Value 0 is the grave accent, not a blank, so no line ends in blanks that a
// mail relay could strip.
char uuChar(unsigned value)
{
    value &= 63;
    return value == 0 ? '`' : static_cast<char>(value + 32);
}

unsigned uuValue(char ch)
{
    auto c = static_cast<unsigned char>(ch);
    // Older encoders write 0 as a blank; both spellings are read.
    if (c == '`' || c == ' ')
        return 0;
    if (c >= '!' && c <= '_')
        return c - 32u;
    throw EInOutError(std::string(kInvalidCharacter));
}

}  // namespace

std::string uuEncodeBlock(std::string_view block)
{
    std::string line;
    line.reserve(1 + (block.size() + 2) / 3 * 4);
    line += uuChar(static_cast<unsigned>(block.size()));
    for (std::size_t i = 0; i < block.size(); i += 3) {
        std::size_t n = block.size() - i < 3 ? block.size() - i : 3;
        unsigned v = static_cast<unsigned char>(block[i]) << 16;
        if (n > 1)
            v |= static_cast<unsigned char>(block[i + 1]) << 8;
        if (n > 2)
            v |= static_cast<unsigned char>(block[i + 2]);
        line += uuChar(v >> 18);
        line += uuChar(v >> 12);
        if (n > 1)
            line += uuChar(v >> 6);
        if (n > 2)
            line += uuChar(v);
    }
    return line;
}

void uuEncodeLines(std::string_view data, const std::function<void(std::string_view line)>& emit)
{
    platform::PumpThrottle pump;
    std::size_t pos = 0;
    for (;;) {
        std::string_view block = data.substr(pos, kUUBlockSize);
        emit(uuEncodeBlock(block));
        pump.tick();
        pos += block.size();
        if (block.size() < kUUBlockSize)
            break;
    }
}

std::string uuDecodeLine(std::string_view line)
{
    std::string out;
    if (line.empty())
        return out;
    std::size_t count = uuValue(line[0]);
    out.reserve(count + 2);
    std::size_t pos = 1;
    while (out.size() < count) {
        // A group cut short by the line end (relays strip trailing blanks) is
        // filled with zero bits.
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            v <<= 6;
            if (pos < line.size())
                v |= uuValue(line[pos++]);
        }
        out += static_cast<char>(v >> 16);
        out += static_cast<char>(v >> 8);
        out += static_cast<char>(v);
    }
    out.resize(count);
    return out;
}

}  // namespace mail
