#include "mail/headers.h"

#include <algorithm>

#include "mail/charset_conversion.h"
#include "mail/encoded_words.h"
#include "mail/text_case.h"

namespace mail {

bool headerLineMatches(std::string_view line, std::string_view name)
{
    if (!name.empty() && name.back() == ':')
        name.remove_suffix(1);
    return line.size() > name.size() && line[name.size()] == ':' &&
           equalsNoCase(line.substr(0, name.size()), name);
}

std::string blankControlBreaks(std::string text)
{
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    return text;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

}  // namespace mail

namespace {

bool startsWithBlank(std::string_view line)
{
    return !line.empty() && (line.front() == ' ' || line.front() == '\t');
}

// The text after "Name:"; one blank after the colon is the usual spacing, but
// a value written straight after the colon is kept whole.
std::string_view valueAfterColon(std::string_view line)
{
    return line.substr(line.find(':') + 1);
}

bool isUndecodedField(std::string_view name)
{
    if (!name.empty() && name.back() == ':')
        name.remove_suffix(1);
    return mail::equalsNoCase(name, "Content-Type") || mail::equalsNoCase(name, "X-UIDL");
}

// Commas inside a quoted display name are not separators; a backslash escapes
// the next character inside quotes.
std::vector<std::string_view> splitAtUnquotedCommas(std::string_view text)
{
    std::vector<std::string_view> pieces;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '\\') {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start <= text.size())
        pieces.push_back(text.substr(std::min(start, text.size())));
    return pieces;
}

void addListItems(std::string_view text, std::vector<std::string>& list)
{
    const auto pieces = splitAtUnquotedCommas(text);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string item = mail::trimmed(pieces[i]);
        // The rest after the last comma counts only when it holds text.
        if (i + 1 == pieces.size() && item.empty())
            continue;
        list.push_back(mail::blankControlBreaks(DecodeEncodedWords(item)));
    }
}

}  // namespace

void TmsHeaders::Insert(int index, std::string line)
{
    const auto at = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(index, 0)), 0, lines_.size());
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void TmsHeaders::Delete(int index)
{
    if (index >= 0 && static_cast<std::size_t>(index) < lines_.size())
        lines_.erase(lines_.begin() + index);
}

void TmsHeaders::SetText(std::string_view text) { lines_ = mail::splitLines(text); }

std::string TmsHeaders::GetRawFieldValue(std::string_view name) const
{
    auto it = std::find_if(lines_.begin(), lines_.end(),
                           [&](const std::string& line) { return mail::headerLineMatches(line, name); });
    if (it == lines_.end())
        return {};
    std::string value = mail::trimmed(valueAfterColon(*it));
    for (++it; it != lines_.end(); ++it) {
        if (it->find(':') != std::string::npos && !startsWithBlank(*it))
            break;
        value += ' ';
        value += mail::trimmed(*it);
    }
    return mail::blankControlBreaks(std::move(value));
}

std::string TmsHeaders::GetFieldValue(std::string_view name) const
{
    std::string value = GetRawFieldValue(name);
    if (isUndecodedField(name))
        return value;
    return DecodeEncodedWords(value);
}

void TmsHeaders::GetFieldList(std::string_view name, std::vector<std::string>& list) const
{
    list.clear();
    for (auto it = lines_.begin(); it != lines_.end(); ++it) {
        if (!mail::headerLineMatches(*it, name))
            continue;
        addListItems(valueAfterColon(*it), list);
        // Folded lines continue the list: they begin with a blank (a display
        // name may hold a colon) or hold no colon at all.
        while (it + 1 != lines_.end() &&
               (startsWithBlank(*(it + 1)) || (it + 1)->find(':') == std::string::npos)) {
            ++it;
            addListItems(*it, list);
        }
    }
}

std::vector<std::string> TmsHeaders::GetFieldList(std::string_view name) const
{
    std::vector<std::string> list;
    GetFieldList(name, list);
    return list;
}

void TmsHeaders::RemoveField(std::string_view name)
{
    auto it = std::find_if(lines_.begin(), lines_.end(),
                           [&](const std::string& line) { return mail::headerLineMatches(line, name); });
    if (it == lines_.end())
        return;
    auto end = it + 1;
    while (end != lines_.end() && startsWithBlank(*end))
        ++end;
    lines_.erase(it, end);
}

void TmsHeaders::CutAtBlankLine()
{
    auto it = std::find_if(lines_.begin(), lines_.end(), [](const std::string& line) { return line.empty(); });
    lines_.erase(it, lines_.end());
}

bool TmsHeaders::ContainsText(std::string_view text, bool caseSensitive) const
{
    const auto contains = [&](std::string_view line) {
        return caseSensitive ? line.find(text) != std::string_view::npos : mail::containsNoCase(line, text);
    };
    // A line is searched as it stands and as a reader sees it, so a text
    // typed here is found whatever charset or encoded words carried it.
    return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
        if (contains(line))
            return true;
        const bool coded = !mail::isAscii(line) || line.find("=?") != std::string::npos;
        return coded && contains(DecodeEncodedWords(line, 0));
    });
}
