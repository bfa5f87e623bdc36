#include "mail/base64_coding.h"

#include <array>

#include "mail/mail_error.h"
#include "platform/event_pump.h"

namespace mail {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr unsigned kSkip = 0xFE;
constexpr unsigned kPad = 0xFD;
constexpr unsigned kBad = 0xFF;

constexpr std::array<unsigned char, 256> makeDecodeTable()
{
    std::array<unsigned char, 256> table{};
    for (auto& entry : table)
        entry = kBad;
    for (unsigned i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
    table['='] = kPad;
    // Real mail carries folded and padded lines: whitespace is no data.
    for (unsigned char c : {' ', '\t', '\r', '\n'})
        table[c] = kSkip;
    return table;
}

constexpr auto kDecode = makeDecodeTable();

}  // namespace

namespace {

// Encodes a block into `out`, which has room for (size + 2) / 3 * 4
// characters; returns how many it wrote.
std::size_t encodeBlockInto(std::string_view block, char* out)
{
    const auto* in = reinterpret_cast<const unsigned char*>(block.data());
    const std::size_t whole = block.size() / 3 * 3;
    char* dst = out;
    for (std::size_t i = 0; i < whole; i += 3) {
        const unsigned v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        dst[0] = kAlphabet[(v >> 18) & 63];
        dst[1] = kAlphabet[(v >> 12) & 63];
        dst[2] = kAlphabet[(v >> 6) & 63];
        dst[3] = kAlphabet[v & 63];
        dst += 4;
    }
    const std::size_t rest = block.size() - whole;
    if (rest > 0) {
        unsigned v = in[whole] << 16;
        if (rest == 2)
            v |= in[whole + 1] << 8;
        dst[0] = kAlphabet[(v >> 18) & 63];
        dst[1] = kAlphabet[(v >> 12) & 63];
        dst[2] = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        dst[3] = '=';
        dst += 4;
    }
    return static_cast<std::size_t>(dst - out);
}

}  // namespace

std::string base64EncodeBlock(std::string_view block)
{
    std::string line((block.size() + 2) / 3 * 4, '\0');
    line.resize(encodeBlockInto(block, line.data()));
    return line;
}

void base64EncodeLines(std::string_view data, const std::function<void(std::string_view line)>& emit)
{
    platform::PumpThrottle pump;
    char line[(kBase64BlockSize + 2) / 3 * 4];
    std::size_t pos = 0;
    for (;;) {
        std::string_view block = data.substr(pos, kBase64BlockSize);
        emit(std::string_view(line, encodeBlockInto(block, line)));
        pump.tick();
        pos += block.size();
        if (block.size() < kBase64BlockSize)
            break;
    }
}

void Base64Decoder::feed(std::string_view line, std::string& out)
{
    pump_.tick();
    // Decoded bytes go straight into room made once per line: this runs for
    // every line of a large attachment.
    const std::size_t start = out.size();
    out.resize(start + (line.size() + 3) / 4 * 3 + 3);
    char* dst = out.data() + start;
    const auto* src = reinterpret_cast<const unsigned char*>(line.data());
    const auto* end = src + line.size();
    while (src != end) {
        if (count_ == 0 && padding_ == 0) {
            // Whole groups of four alphabet characters, nearly all of a
            // line: every special character has a table value of 64 or more.
            for (; end - src >= 4; src += 4) {
                const unsigned a = kDecode[src[0]];
                const unsigned b = kDecode[src[1]];
                const unsigned c = kDecode[src[2]];
                const unsigned d = kDecode[src[3]];
                if ((a | b | c | d) >= 64)
                    break;
                *dst++ = static_cast<char>((a << 2) | (b >> 4));
                *dst++ = static_cast<char>(((b & 15) << 4) | (c >> 2));
                *dst++ = static_cast<char>(((c & 3) << 6) | d);
            }
            if (src == end)
                break;
        }
        const unsigned v = kDecode[*src++];
        if (v == kSkip)
            continue;
        if (v == kBad) {
            out.resize(start);
            throw EInOutError(std::string(kInvalidCharacter));
        }
        if (v == kPad) {
            // Padding closes the current group; a stray "=" elsewhere is no data.
            if (count_ >= 2)
                ++padding_;
            if (count_ + padding_ == 4)
                flushPartial(dst);
            continue;
        }
        if (padding_ > 0)
            flushPartial(dst);  // data after padding starts a new group
        quad_[count_++] = v;
        if (count_ == 4) {
            *dst++ = static_cast<char>((quad_[0] << 2) | (quad_[1] >> 4));
            *dst++ = static_cast<char>(((quad_[1] & 15) << 4) | (quad_[2] >> 2));
            *dst++ = static_cast<char>(((quad_[2] & 3) << 6) | quad_[3]);
            count_ = 0;
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
}

void Base64Decoder::finish(std::string& out)
{
    char tail[2];
    char* dst = tail;
    flushPartial(dst);
    out.append(tail, static_cast<std::size_t>(dst - tail));
}

void Base64Decoder::flushPartial(char*& dst)
{
    if (count_ >= 2)
        *dst++ = static_cast<char>((quad_[0] << 2) | (quad_[1] >> 4));
    if (count_ >= 3)
        *dst++ = static_cast<char>(((quad_[1] & 15) << 4) | (quad_[2] >> 2));
    count_ = 0;
    padding_ = 0;
}

std::string base64DecodeLine(std::string_view line)
{
    std::string out;
    out.reserve(line.size() / 4 * 3 + 2);
    Base64Decoder decoder;
    decoder.feed(line, out);
    decoder.finish(out);
    return out;
}

}  // namespace mail
