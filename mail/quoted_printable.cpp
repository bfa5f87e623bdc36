#include "mail/quoted_printable.h"

#include <algorithm>
#include <functional>

#include "platform/event_pump.h"
#include "platform/hex_digit.h"

namespace mail {

namespace {

constexpr std::size_t kPieceLength = 65;
constexpr char kHex[] = "0123456789ABCDEF";

// Bytes below 32, "=" and bytes of 128 or more are escaped; blanks stay as
// they are, also at a line end.
bool needsEscape(unsigned char c) { return c < 32 || c == '=' || c >= 128; }

using Emit = std::function<void(std::string_view line)>;

// One piece as its encoded line, built in `line` (kept between pieces so a
// large text is not one allocation per line). A blank that would end the
// line is escaped when asked: readers drop blanks at a line end.
void emitEncodedPiece(std::string_view piece, bool softBreak, std::string& line, const Emit& emit,
                      bool escapeEndBlank = false)
{
    line.clear();
    std::size_t i = 0;
    while (i < piece.size()) {
        std::size_t run = i;
        while (run < piece.size() && !needsEscape(static_cast<unsigned char>(piece[run])))
            ++run;
        line.append(piece.substr(i, run - i));
        if (run == piece.size())
            break;
        const auto c = static_cast<unsigned char>(piece[run]);
        const char escape[3] = {'=', kHex[c >> 4], kHex[c & 15]};
        line.append(escape, 3);
        i = run + 1;
    }
    if (escapeEndBlank && !softBreak && !piece.empty() && piece.back() == ' ') {
        line.pop_back();  // a tab is escaped already, as a control character
        line += "=20";
    }
    if (softBreak)
        line += '=';
    emit(line);
}

// Cuts one paragraph into pieces of at most 65 source characters, at the
// last blank when there is one; that blank begins the next piece. In exact
// mode the last piece escapes a blank at its end, and ends with a soft break
// when the paragraph is no line of its own.
void encodeParagraph(std::string_view text, std::string& line, const Emit& emit, platform::PumpThrottle& pump,
                     bool exact = false, bool lastSoft = false)
{
    while (text.size() >= kPieceLength) {
        std::size_t cut = kPieceLength;
        std::string_view window = text.substr(1, kPieceLength);
        std::size_t blank = window.rfind(' ');
        if (blank != std::string_view::npos)
            cut = blank + 1;
        emitEncodedPiece(text.substr(0, cut), true, line, emit);
        text.remove_prefix(cut);
        pump.tick();
    }
    emitEncodedPiece(text, lastSoft, line, emit, exact);
    pump.tick();
}

}  // namespace

void quotedPrintableEncodeLines(std::string_view bytes, const Emit& emit)
{
    platform::PumpThrottle pump;
    std::string line;
    line.reserve(kPieceLength * 3 + 1);
    std::size_t start = 0;
    std::size_t pos = 0;
    const std::size_t size = bytes.size();
    while (pos < size) {
        char ch = bytes[pos];
        // A break that is the last byte of the text stays in the paragraph.
        if ((ch == '\r' || ch == '\n') && pos + 1 < size) {
            encodeParagraph(bytes.substr(start, pos - start), line, emit, pump);
            char next = bytes[pos + 1];
            pos += (next != ch && (next == '\r' || next == '\n')) ? 2 : 1;
            start = pos;
            continue;
        }
        ++pos;
        if (pos == size)
            encodeParagraph(bytes.substr(start, pos - start), line, emit, pump);
    }
}

void quotedPrintableEncodeExactLines(std::string_view bytes, const Emit& emit)
{
    platform::PumpThrottle pump;
    std::string line;
    line.reserve(kPieceLength * 3 + 1);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t crlf = bytes.find("\r\n", start);
        const std::size_t end = crlf == std::string_view::npos ? bytes.size() : crlf;
        // A lone CR or LF is a byte like any other; the line is cut after it
        // (with a soft break) so that text keeps its look.
        std::size_t piece = start;
        for (std::size_t lone; (lone = bytes.find_first_of("\r\n", piece)) < end; piece = lone + 1)
            encodeParagraph(bytes.substr(piece, lone + 1 - piece), line, emit, pump, true, true);
        if (piece < end || crlf != std::string_view::npos)
            encodeParagraph(bytes.substr(piece, end - piece), line, emit, pump, true, crlf == std::string_view::npos);
        start = crlf == std::string_view::npos ? bytes.size() : crlf + 2;
    }
}

std::vector<std::string> quotedPrintableEncode(std::string_view bytes)
{
    std::vector<std::string> lines;
    quotedPrintableEncodeLines(bytes, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

void QuotedPrintableDecoder::feed(std::string_view line, std::string& out)
{
    // Relays may add blanks after a soft break; they are not text.
    std::size_t end = line.find_last_not_of(" \t");
    bool soft = end != std::string_view::npos && line[end] == '=';
    std::size_t textEnd = soft ? end : line.size();
    // Text runs from one "=" to the next; each run is copied at once.
    std::size_t i = 0;
    while (i < textEnd) {
        const std::size_t escape = std::min(line.find('=', i), textEnd);
        paragraph_.append(line.substr(i, escape - i));
        if (escape == textEnd)
            break;
        i = escape + 1;
        if (escape + 2 < textEnd) {
            int high = platform::HexDigitValue(line[escape + 1]);
            int low = platform::HexDigitValue(line[escape + 2]);
            if (high >= 0 && low >= 0) {
                paragraph_ += static_cast<char>(high * 16 + low);
                i = escape + 3;
                continue;
            }
        }
        paragraph_ += '=';
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
