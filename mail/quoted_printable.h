#pragma once
// Quoted-printable for text bodies and text attachments: paragraphs cut into
// soft-broken lines of at most 65 source characters, and back.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_pump.h"

// Encoder and decoder over a byte buffer and a list of lines. No paragraph
// limit: any text that loads can be saved again.
class TQuotedPrintable {
public:
    TQuotedPrintable(std::string& bytes, std::vector<std::string>& lines);

    // Reads all of the bytes and appends the encoded lines.
    void Encode();
    // Reads all of the lines and appends the decoded bytes.
    void Decode();

private:
    std::string& bytes_;
    std::vector<std::string>& lines_;
};

namespace mail {

// Encodes text: CR, LF, CR LF and LF CR end a paragraph (a break that is the
// very last byte stays in the text); each paragraph gives its lines, the
// empty one an empty line. Lets window messages run, throttled.
std::vector<std::string> quotedPrintableEncode(std::string_view bytes);
// The same lines handed over one by one.
void quotedPrintableEncodeLines(std::string_view bytes, const std::function<void(std::string_view line)>& emit);
// Lines that decode to exactly the bytes: only CR LF is a line break, a lone
// CR or LF is escaped, a blank at a line end too, and bytes that do not end
// with CR LF end with a soft break. Lets window messages run, throttled.
void quotedPrintableEncodeExactLines(std::string_view bytes,
                                     const std::function<void(std::string_view line)>& emit);

// Decodes lines of any length, fed one by one or in groups: "=XX" (either
// case) gives its byte, a line ending in "=" (blanks after it ignored) runs on
// into the next, every other line ends its paragraph with CR LF (not after a
// byte 26). Never throws. Lets window messages run, throttled.
class QuotedPrintableDecoder {
public:
    void feed(std::string_view line, std::string& out);  // appends what is finished
    void finish(std::string& out);  // a paragraph left open by a soft break, without CR LF

private:
    std::string paragraph_;
    bool open_ = false;
    platform::PumpThrottle pump_;
};

// All lines at once.
std::string quotedPrintableDecode(const std::vector<std::string>& lines);

}  // namespace mail
