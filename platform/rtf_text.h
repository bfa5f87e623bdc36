#pragma once
// Rich text as the status logs keep it: paragraphs of runs, each run with
// its bold, italic, underline, colour and size. Texts are UTF-8; the RTF
// reader gives valid UTF-8 whatever the file held.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct RichTextRun {
    std::string text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hasColor = false;
    std::uint32_t color = 0;  // 0xRRGGBB, used when hasColor
    int fontSize = 0;         // points; 0 = the reader's default

    bool SameFormat(const RichTextRun& other) const;
};

struct RichTextParagraph {
    std::vector<RichTextRun> runs;
    std::string PlainText() const;
};

struct RichText {
    std::vector<RichTextParagraph> paragraphs;

    // Paragraphs joined with "\n".
    std::string PlainText() const;
    // One paragraph per line of plain text ("\r\n", "\n" or "\r").
    static RichText FromPlainText(std::string_view text);
};

// The text as UTF-8: kept when it is valid UTF-8, else read as Windows-1252.
std::string ToUtf8(std::string_view bytes);
bool IsValidUtf8(std::string_view bytes);
void AppendUtf8(std::string& out, char32_t code);
// One Windows-1252 byte as a Unicode code point.
char32_t Cp1252ToUnicode(unsigned char byte);

}  // namespace platform
