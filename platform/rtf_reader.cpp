#include "platform/rtf_reader.h"

#include "platform/hex_digit.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

namespace {

// Deeper groups are still balanced but their text is dropped; no real log
// nests anywhere near this.
constexpr std::size_t kMaxDepth = 256;
constexpr std::size_t kMaxWordLength = 32;
constexpr std::int64_t kMaxParameter = 2147483647;

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int colorIndex = 0;  // 0: automatic colour
    int fontSize = 0;    // points; 0 when never set
};

struct GroupState {
    CharState chars;
    int unicodeSkip = 1;
    bool skip = false;        // text of this group is dropped
    bool colorTable = false;  // inside \colortbl
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isSkippedDestination(std::string_view word)
{
    static constexpr std::array<std::string_view, 30> names{
        "fonttbl",  "stylesheet", "info",      "pict",        "object",       "header",
        "headerl",  "headerr",    "headerf",   "footer",      "footerl",      "footerr",
        "footerf",  "footnote",   "fldinst",   "listtable",   "listoverridetable", "revtbl",
        "rsidtbl",  "generator",  "xmlnstbl",  "themedata",   "colorschememapping", "datastore",
        "latentstyles", "filetbl", "pgdsctbl", "annotation", "bkmkstart",   "bkmkend"};
    return std::find(names.begin(), names.end(), word) != names.end();
}

class Reader {
public:
    explicit Reader(std::string_view src) : src_(src) {}

    RichText read()
    {
        stack_.push_back(GroupState{});
        while (pos_ < src_.size()) {
            char c = src_[pos_++];
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                controlSequence();
                break;
            case '\r':
            case '\n':
                break;
            default:
                // Raw control characters carry no text; a tab is \tab.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                    text(Cp1252ToUnicode(static_cast<unsigned char>(c)));
                break;
            }
        }
        flushSurrogate();
        if (!paragraph_.runs.empty())
            doc_.paragraphs.push_back(std::move(paragraph_));
        return std::move(doc_);
    }

private:
    GroupState& top() { return stack_.back(); }
    bool skipping() const { return overflow_ > 0 || stack_.back().skip; }

    void openGroup()
    {
        if (overflow_ > 0 || stack_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        GroupState next = top();
        next.colorTable = false;
        stack_.push_back(next);
        groupStart_ = true;
    }

    void closeGroup()
    {
        groupStart_ = false;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (top().colorTable)
            finishColorEntry(false);
        // A stray closing brace at the outermost level is ignored.
        if (stack_.size() > 1)
            stack_.pop_back();
    }

    std::int64_t readParameter(bool& has)
    {
        bool negative = false;
        if (pos_ < src_.size() && src_[pos_] == '-' && pos_ + 1 < src_.size() && isDigit(src_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        has = pos_ < src_.size() && isDigit(src_[pos_]);
        std::int64_t value = 0;
        while (pos_ < src_.size() && isDigit(src_[pos_])) {
            value = std::min<std::int64_t>(value * 10 + (src_[pos_] - '0'), kMaxParameter);
            ++pos_;
        }
        return negative ? -value : value;
    }

    void controlSequence()
    {
        if (pos_ >= src_.size())
            return;
        char c = src_[pos_];
        if (!isLetter(c)) {
            ++pos_;
            controlSymbol(c);
            groupStart_ = false;
            return;
        }
        std::size_t start = pos_;
        while (pos_ < src_.size() && isLetter(src_[pos_]))
            ++pos_;
        std::string_view word = src_.substr(start, std::min(pos_ - start, kMaxWordLength));
        bool has = false;
        std::int64_t param = readParameter(has);
        if (pos_ < src_.size() && src_[pos_] == ' ')
            ++pos_;
        bool first = groupStart_;
        groupStart_ = false;
        controlWord(word, has, param, first);
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            text(static_cast<unsigned char>(c));
            break;
        case '~':
            text(0xA0);
            break;
        case '_':
            text(0x2011);
            break;
        case '*':
            if (overflow_ == 0)
                top().skip = true;
            break;
        case '\'': {
            int hi = pos_ < src_.size() ? HexDigitValue(src_[pos_]) : -1;
            int lo = pos_ + 1 < src_.size() ? HexDigitValue(src_[pos_ + 1]) : -1;
            if (hi < 0 || lo < 0)
                break;
            pos_ += 2;
            if (pendingSkip_ > 0) {
                --pendingSkip_;
                break;
            }
            text(Cp1252ToUnicode(static_cast<unsigned char>(hi * 16 + lo)), false);
            break;
        }
        case '\r':
        case '\n':
            paragraphBreak();
            break;
        default:
            break;  // \- and other symbols carry no text
        }
    }

    void controlWord(std::string_view w, bool has, std::int64_t p, bool firstInGroup)
    {
        if (w == "bin") {
            // Raw bytes follow; they may hold braces and backslashes.
            const auto left = static_cast<std::int64_t>(src_.size() - pos_);
            pos_ += static_cast<std::size_t>(std::clamp<std::int64_t>(p, 0, left));
            return;
        }
        if (overflow_ > 0)
            return;
        GroupState& g = top();
        if (firstInGroup && isSkippedDestination(w)) {
            g.skip = true;
            return;
        }
        if (w == "colortbl" && firstInGroup) {
            g.colorTable = true;
            g.skip = true;
            colors_.clear();
            entry_ = Entry{};
            return;
        }
        if (g.colorTable) {
            int v = static_cast<int>(std::clamp<std::int64_t>(p, 0, 255));
            if (w == "red")
                entry_.r = v, entry_.set = true;
            else if (w == "green")
                entry_.g = v, entry_.set = true;
            else if (w == "blue")
                entry_.b = v, entry_.set = true;
            return;
        }
        bool on = !has || p != 0;
        if (w == "par" || w == "line" || w == "sect" || w == "page") {
            if (!g.skip)
                paragraphBreak();
        } else if (w == "tab") {
            text('\t');
        } else if (w == "b") {
            g.chars.bold = on;
        } else if (w == "i") {
            g.chars.italic = on;
        } else if (w == "ul") {
            g.chars.underline = on;
        } else if (w == "ulnone") {
            g.chars.underline = false;
        } else if (w == "cf") {
            g.chars.colorIndex = static_cast<int>(std::clamp<std::int64_t>(p, 0, kMaxParameter));
        } else if (w == "fs") {
            g.chars.fontSize = has && p > 0 ? static_cast<int>(std::min<std::int64_t>(p / 2, 1638)) : 0;
        } else if (w == "plain") {
            g.chars = CharState{};
        } else if (w == "uc") {
            g.unicodeSkip = static_cast<int>(std::clamp<std::int64_t>(p, 0, 8));
        } else if (w == "u" && has) {
            std::int64_t code = p < 0 ? p + 65536 : p;
            unicode(static_cast<char32_t>(std::clamp<std::int64_t>(code, 0, 0xFFFF)));
            pendingSkip_ = g.unicodeSkip;
        } else if (w == "emdash") {
            text(0x2014);
        } else if (w == "endash") {
            text(0x2013);
        } else if (w == "bullet") {
            text(0x2022);
        } else if (w == "lquote") {
            text(0x2018);
        } else if (w == "rquote") {
            text(0x2019);
        } else if (w == "ldblquote") {
            text(0x201C);
        } else if (w == "rdblquote") {
            text(0x201D);
        }
    }

    void unicode(char32_t unit)
    {
        if (skipping())
            return;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            flushSurrogate();
            highSurrogate_ = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (highSurrogate_) {
                char32_t code = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
                highSurrogate_ = 0;
                append(code);
            } else {
                append(0xFFFD);
            }
            return;
        }
        flushSurrogate();
        append(unit);
    }

    void flushSurrogate()
    {
        if (highSurrogate_) {
            highSurrogate_ = 0;
            append(0xFFFD);
        }
    }

    // Plain text and \'hh both count as the fallback characters of \u.
    void text(char32_t code, bool literal = true)
    {
        if (literal && pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        if (top().colorTable && code == ';') {
            finishColorEntry(true);
            return;
        }
        if (skipping())
            return;
        flushSurrogate();
        append(code);
    }

    void append(char32_t code)
    {
        const CharState& cs = top().chars;
        RichTextRun format;
        format.bold = cs.bold;
        format.italic = cs.italic;
        format.underline = cs.underline;
        format.fontSize = cs.fontSize;
        if (cs.colorIndex > 0 && static_cast<std::size_t>(cs.colorIndex) < colors_.size() &&
            colors_[cs.colorIndex].set) {
            const Entry& e = colors_[cs.colorIndex];
            format.hasColor = true;
            format.color = (static_cast<std::uint32_t>(e.r) << 16) | (e.g << 8) | e.b;
        }
        auto& runs = paragraph_.runs;
        if (runs.empty() || !runs.back().SameFormat(format))
            runs.push_back(format);
        AppendUtf8(runs.back().text, code);
    }

    void paragraphBreak()
    {
        if (skipping())
            return;
        flushSurrogate();
        doc_.paragraphs.push_back(std::move(paragraph_));
        paragraph_ = RichTextParagraph{};
    }

    struct Entry {
        int r = 0, g = 0, b = 0;
        bool set = false;
    };

    void finishColorEntry(bool semicolon)
    {
        if (semicolon || entry_.set) {
            // A table far longer than any real one is not grown further.
            if (colors_.size() < 4096)
                colors_.push_back(entry_);
        }
        entry_ = Entry{};
    }

    std::string_view src_;
    std::size_t pos_ = 0;
    std::vector<GroupState> stack_;
    std::size_t overflow_ = 0;
    bool groupStart_ = false;
    int pendingSkip_ = 0;
    char32_t highSurrogate_ = 0;
    std::vector<Entry> colors_;
    Entry entry_;
    RichText doc_;
    RichTextParagraph paragraph_;
};

bool looksLikeRtf(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
        ++i;
    return s.substr(i, 5) == "{\\rtf";
}

}  // namespace

RichText ReadRtf(std::string_view source)
{
    if (!looksLikeRtf(source))
        return RichText::FromPlainText(source);
    return Reader(source).read();
}

}  // namespace platform
