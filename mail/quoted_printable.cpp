#include "mail/quoted_printable.h"

#include "platform/event_pump.h"
#include "platform/hex_digit.h"

namespace mail {

namespace {

constexpr std::size_t kPieceLength = 65;
constexpr char kHex[] = "0123456789ABCDEF";

void appendEncodedPiece(std::string_view piece, bool softBreak, std::vector<std::string>& lines)
{
    std::string line;
    line.reserve(piece.size() + 8);
    for (char ch : piece) {
        auto c = static_cast<unsigned char>(ch);
        // Blanks stay as they are, also at a line end.
        if (c < 32 || c == '=' || c >= 128) {
            line += '=';
            line += kHex[c >> 4];
            line += kHex[c & 15];
        } else {
            line += ch;
        }
    }
    if (softBreak)
        line += '=';
    lines.push_back(std::move(line));
}

// Cuts one paragraph into pieces of at most 65 source characters, at the
// last blank when there is one; that blank begins the next piece.
void encodeParagraph(std::string_view text, std::vector<std::string>& lines, platform::PumpThrottle& pump)
{
    while (text.size() >= kPieceLength) {
        std::size_t cut = kPieceLength;
        std::string_view window = text.substr(1, kPieceLength);
        std::size_t blank = window.rfind(' ');
        if (blank != std::string_view::npos)
            cut = blank + 1;
        appendEncodedPiece(text.substr(0, cut), true, lines);
        text.remove_prefix(cut);
        pump.tick();
    }
    appendEncodedPiece(text, false, lines);
    pump.tick();
}

}  // namespace

std::vector<std::string> quotedPrintableEncode(std::string_view bytes)
{
    std::vector<std::string> lines;
    platform::PumpThrottle pump;
    std::size_t start = 0;
    std::size_t pos = 0;
    const std::size_t size = bytes.size();
    while (pos < size) {
        char ch = bytes[pos];
        // A break that is the last byte of the text stays in the paragraph.
        if ((ch == '\r' || ch == '\n') && pos + 1 < size) {
            encodeParagraph(bytes.substr(start, pos - start), lines, pump);
            char next = bytes[pos + 1];
            pos += (next != ch && (next == '\r' || next == '\n')) ? 2 : 1;
            start = pos;
            continue;
        }
        ++pos;
        if (pos == size)
            encodeParagraph(bytes.substr(start, pos - start), lines, pump);
    }
    return lines;
}

void QuotedPrintableDecoder::feed(std::string_view line, std::string& out)
{
    // Relays may add blanks after a soft break; they are not text.
    std::size_t end = line.find_last_not_of(" \t");
    bool soft = end != std::string_view::npos && line[end] == '=';
    std::size_t textEnd = soft ? end : line.size();
    for (std::size_t i = 0; i < textEnd; ++i) {
        char ch = line[i];
        if (ch == '=' && i + 2 < textEnd) {
            int high = platform::HexDigitValue(line[i + 1]);
            int low = platform::HexDigitValue(line[i + 2]);
            if (high >= 0 && low >= 0) {
                paragraph_ += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        paragraph_ += ch;
    }
    open_ = true;
    if (soft)
        return;
    if (paragraph_.empty() || paragraph_.back() != '\x1a')
        paragraph_ += "\r\n";
    out += paragraph_;
    paragraph_.clear();
    open_ = false;
    pump_.tick();
}

void QuotedPrintableDecoder::finish(std::string& out)
{
    // Text after a final soft break is kept rather than lost.
    if (open_)
        out += paragraph_;
    paragraph_.clear();
    open_ = false;
}

std::string quotedPrintableDecode(const std::vector<std::string>& lines)
{
    std::string out;
    QuotedPrintableDecoder decoder;
    for (const std::string& line : lines)
        decoder.feed(line, out);
    decoder.finish(out);
    return out;
}

}  // namespace mail

TQuotedPrintable::TQuotedPrintable(std::string& bytes, std::vector<std::string>& lines)
    : bytes_(bytes), lines_(lines)
{
}

void TQuotedPrintable::Encode()
{
    std::vector<std::string> encoded = mail::quotedPrintableEncode(bytes_);
    lines_.insert(lines_.end(), std::make_move_iterator(encoded.begin()),
                  std::make_move_iterator(encoded.end()));
}

void TQuotedPrintable::Decode()
{
    bytes_ += mail::quotedPrintableDecode(lines_);
}
