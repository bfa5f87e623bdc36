#include "mail/encoded_words.h"

#include <optional>

#include "mail/base64_coding.h"
#include "mail/mail_error.h"
#include "platform/hex_digit.h"

namespace {

using platform::HexDigitValue;

struct EncodedWord {
    std::size_t end = 0;  // one past the closing "?="
    std::string text;     // decoded bytes
};

std::string decodeQ(std::string_view encoded)
{
    std::string out;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        char ch = encoded[i];
        if (ch == '_') {
            out += ' ';
        } else if (ch == '=' && i + 2 < encoded.size() && HexDigitValue(encoded[i + 1]) >= 0 &&
                   HexDigitValue(encoded[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(encoded[i + 1]) * 16 + HexDigitValue(encoded[i + 2]));
            i += 2;
        } else if (ch == '=' && i + 1 == encoded.size()) {
            // a soft break at the end joins nothing here
        } else {
            out += ch;
        }
    }
    return out;
}

// Finds closing "?=" marks for words read from left to right. Each search
// starts at or after the one before, so one found mark is reused until the
// words have passed it: a value full of unclosed "=?" costs one pass, not one
// pass per "=?" (a poison header must not stall a whole program).
class CloseFinder {
public:
    explicit CloseFinder(std::string_view text) : text_(text) {}
    std::size_t from(std::size_t position)
    {
        if (!searched_ || (found_ != std::string_view::npos && found_ < position)) {
            found_ = text_.find("?=", position);
            searched_ = true;
        }
        return found_;
    }

private:
    std::string_view text_;
    std::size_t found_ = std::string_view::npos;
    bool searched_ = false;
};

// Reads the word "=?charset?X?text?=" at `start`; nothing when it is not one.
// The closing "?=" is looked for only after the "?X?" marker, so a text that
// begins with "=" or is a lone "B" or "Q" is no terminator.
std::optional<EncodedWord> readWord(std::string_view text, std::size_t start, CloseFinder& closes)
{
    std::size_t q1 = text.find('?', start + 2);
    if (q1 == std::string_view::npos || q1 + 2 >= text.size() || text[q1 + 2] != '?')
        return std::nullopt;
    std::string_view charset = text.substr(start + 2, q1 - start - 2);
    if (charset.find_first_of(" \t") != std::string_view::npos)
        return std::nullopt;
    char letter = text[q1 + 1];
    if (letter != 'B' && letter != 'b' && letter != 'Q' && letter != 'q')
        return std::nullopt;
    std::size_t close = closes.from(q1 + 3);
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view encoded = text.substr(q1 + 3, close - q1 - 3);
    EncodedWord word;
    word.end = close + 2;
    try {
        // A "?" is no base64 character; telling so at once keeps a value of
        // many unclosed words from being decoded once per word.
        if ((letter == 'B' || letter == 'b') && encoded.find('?') != std::string_view::npos)
            return std::nullopt;
        if (letter == 'B' || letter == 'b')
            word.text = mail::base64DecodeLine(encoded);
        else
            word.text = decodeQ(encoded);
    } catch (const mail::EInOutError&) {
        return std::nullopt;  // a broken word is shown as it came
    }
    // A decoded word must not break the header into lines.
    for (char& ch : word.text)
        if (ch == '\r' || ch == '\n' || ch == '\0')
            ch = ' ';
    return word;
}

// Where to cut `text` to at most `limit` bytes without splitting a UTF-8
// character (the rule of mail::limitText, for any limit).
std::size_t utf8Cut(std::string_view text, std::size_t limit)
{
    std::size_t cut = limit;
    std::size_t back = 0;
    while (cut > 0 && back < 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
        ++back;
    }
    if (back == 0 || (static_cast<unsigned char>(text[cut]) & 0xC0) != 0xC0)
        return limit;  // not a UTF-8 sequence: a plain byte cut
    return cut;
}

bool onlyBlanks(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

std::string DecodeEncodedWords(std::string_view text, std::size_t maxLength)
{
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    bool afterWord = false;  // the last thing copied was a decoded word
    CloseFinder closes(text);
    while (pos < text.size()) {
        std::size_t start = text.find("=?", pos);
        if (start == std::string_view::npos)
            break;
        std::optional<EncodedWord> word = readWord(text, start, closes);
        if (!word) {
            out.append(text.substr(pos, start + 2 - pos));
            pos = start + 2;
            afterWord = false;
            continue;
        }
        std::string_view between = text.substr(pos, start - pos);
        // Blanks between two encoded words only separate them.
        if (!(afterWord && onlyBlanks(between)))
            out.append(between);
        out += word->text;
        pos = word->end;
        afterWord = true;
    }
    out.append(text.substr(pos));
    if (maxLength != 0 && out.size() > maxLength)
        out.resize(utf8Cut(out, maxLength));
    return out;
}
