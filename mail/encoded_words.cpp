#include "mail/encoded_words.h"

#include <optional>

#include "mail/base64_coding.h"
#include "mail/charset_conversion.h"
#include "mail/mail_error.h"
#include "mail/text_case.h"
#include "platform/hex_digit.h"
#include "platform/rtf_text.h"

namespace {

using platform::HexDigitValue;

struct EncodedWord {
    std::size_t end = 0;  // one past the closing "?="
    std::string_view charset;
    std::string bytes;  // decoded, still in the word's charset
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
    word.charset = charset;
    try {
        // A "?" is no base64 character; telling so at once keeps a value of
        // many unclosed words from being decoded once per word.
        if ((letter == 'B' || letter == 'b') && encoded.find('?') != std::string_view::npos)
            return std::nullopt;
        if (letter == 'B' || letter == 'b')
            word.bytes = mail::base64DecodeLine(encoded);
        else
            word.bytes = decodeQ(encoded);
    } catch (const mail::EInOutError&) {
        return std::nullopt;  // a broken word is shown as it came
    }
    return word;
}

// Gathers the decoded value as UTF-8. Adjacent words of one charset are
// converted together, as a sender may cut a character between two words;
// text outside words is read by the rule for undeclared text.
class Utf8Value {
public:
    explicit Utf8Value(std::size_t size) { out_.reserve(size); }
    void addText(std::string_view text)
    {
        flushWords();
        // ASCII reads the same under either rule: it need not wait.
        if (raw_.empty() && mail::isAscii(text))
            out_.append(text);
        else
            raw_.append(text);
    }
    void addWord(const EncodedWord& word)
    {
        flushText();
        if (!mail::equalsNoCase(word.charset, charset_))
            flushWords();
        charset_.assign(word.charset);
        bytes_ += word.bytes;
    }
    std::string finish()
    {
        flushText();
        flushWords();
        return std::move(out_);
    }

private:
    void flushText()
    {
        if (raw_.empty())
            return;
        out_ += platform::ToUtf8(raw_);
        raw_.clear();
    }
    void flushWords()
    {
        if (!bytes_.empty()) {
            std::string text = mail::declaredTextToUtf8(bytes_, charset_);
            // A decoded word must not break the header into lines.
            for (char& ch : text)
                if (ch == '\r' || ch == '\n' || ch == '\0')
                    ch = ' ';
            out_ += text;
            bytes_.clear();
        }
        charset_.clear();
    }

    std::string out_;
    std::string raw_;
    std::string bytes_;
    std::string charset_;
};

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
    Utf8Value value(text.size());
    std::size_t pos = 0;
    bool afterWord = false;  // the last thing taken was a decoded word
    CloseFinder closes(text);
    while (pos < text.size()) {
        std::size_t start = text.find("=?", pos);
        if (start == std::string_view::npos)
            break;
        std::optional<EncodedWord> word = readWord(text, start, closes);
        if (!word) {
            value.addText(text.substr(pos, start + 2 - pos));
            pos = start + 2;
            afterWord = false;
            continue;
        }
        std::string_view between = text.substr(pos, start - pos);
        // Blanks between two encoded words only separate them.
        if (!(afterWord && onlyBlanks(between)))
            value.addText(between);
        value.addWord(*word);
        pos = word->end;
        afterWord = true;
    }
    value.addText(text.substr(pos));
    std::string out = value.finish();
    if (maxLength != 0 && out.size() > maxLength)
        out.resize(utf8Cut(out, maxLength));
    return out;
}
