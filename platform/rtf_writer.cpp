#include "platform/rtf_writer.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// Code points of a text: UTF-8 when valid, else each byte as Windows-1252.
std::vector<char32_t> codePoints(const std::string& text)
{
    std::string utf8 = ToUtf8(text);
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t code = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k <= extra; ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(code);
        i += extra + 1;
    }
    return out;
}

void writeUnit(std::string& out, char32_t unit)
{
    long value = static_cast<long>(unit);
    if (value > 32767)
        value -= 65536;
    out += "\\u" + std::to_string(value) + "?";
}

void writeText(std::string& out, const std::string& text)
{
    for (char32_t code : codePoints(text)) {
        if (code == '\\' || code == '{' || code == '}') {
            out += '\\';
            out += static_cast<char>(code);
        } else if (code == '\t') {
            out += "\\tab ";
        } else if (code == '\n') {
            out += "\\line ";
        } else if (code < 0x20) {
            // Other control characters have no place in a log line.
        } else if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x10000) {
            writeUnit(out, code);
        } else {
            char32_t v = code - 0x10000;
            writeUnit(out, 0xD800 + (v >> 10));
            writeUnit(out, 0xDC00 + (v & 0x3FF));
        }
    }
}

}  // namespace

std::string WriteRtf(const RichText& doc)
{
    std::vector<std::uint32_t> colors;
    for (const auto& p : doc.paragraphs)
        for (const auto& r : p.runs)
            if (r.hasColor && std::find(colors.begin(), colors.end(), r.color) == colors.end())
                colors.push_back(r.color);

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n";
    if (!colors.empty()) {
        out += "{\\colortbl ;";
        for (std::uint32_t c : colors)
            out += "\\red" + std::to_string((c >> 16) & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
                   "\\blue" + std::to_string(c & 0xFF) + ";";
        out += "}\r\n";
    }
    out += "\\pard\\plain\r\n";
    for (const auto& p : doc.paragraphs) {
        for (const auto& r : p.runs) {
            if (r.text.empty())
                continue;
            out += '{';
            std::string words;
            if (r.bold)
                words += "\\b";
            if (r.italic)
                words += "\\i";
            if (r.underline)
                words += "\\ul";
            if (r.hasColor) {
                auto index = std::find(colors.begin(), colors.end(), r.color) - colors.begin() + 1;
                words += "\\cf" + std::to_string(index);
            }
            if (r.fontSize > 0)
                words += "\\fs" + std::to_string(std::min(r.fontSize, 1638) * 2);
            if (!words.empty())
                out += words + ' ';
            writeText(out, r.text);
            out += '}';
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

}  // namespace platform
