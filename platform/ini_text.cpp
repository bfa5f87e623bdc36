#include "platform/ini_text.h"

#include <strings.h>

namespace platform {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The name of a "[name]" header line, or nothing.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key, value;
};

std::optional<KeyLine> keyLine(std::string_view line)
{
    line = trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '[')
        return std::nullopt;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

bool blank(std::string_view line) { return trim(line).empty(); }

}  // namespace

IniText::IniText(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        bom_ = "\xEF\xBB\xBF";
        text.remove_prefix(3);
    }
    const size_t firstLf = text.find('\n');
    if (firstLf != std::string_view::npos && firstLf > 0 && text[firstLf - 1] == '\r')
        eol_ = "\r\n";
    finalEol_ = text.empty() || text.back() == '\n';
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        lines_.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
}

std::optional<IniText::Range> IniText::findSection(std::string_view section) const
{
    const std::string_view wanted = trim(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto name = sectionName(lines_[i]);
        if (!name || !sameName(*name, wanted))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && !sectionName(lines_[end]))
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> IniText::findKey(const Range& range, std::string_view key) const
{
    const std::string_view wanted = trim(key);
    for (size_t i = range.header + 1; i < range.end; ++i) {
        auto k = keyLine(lines_[i]);
        if (k && sameName(k->key, wanted))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const
{
    auto range = findSection(section);
    if (!range)
        return std::nullopt;
    auto line = findKey(*range, key);
    if (!line)
        return std::nullopt;
    return std::string(keyLine(lines_[*line])->value);
}

std::vector<std::string> IniText::keys(std::string_view section) const
{
    std::vector<std::string> names;
    auto range = findSection(section);
    if (!range)
        return names;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        auto k = keyLine(lines_[i]);
        if (!k)
            continue;
        bool seen = false;
        for (const std::string& n : names)
            seen = seen || sameName(n, k->key);
        if (!seen)
            names.emplace_back(k->key);
    }
    return names;
}

bool IniText::hasSection(std::string_view section) const { return findSection(section).has_value(); }

void IniText::set(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string cr = eol_ == "\r\n" ? "\r" : "";
    std::string entry = std::string(trim(key)) + "=" + std::string(value) + cr;
    auto range = findSection(section);
    if (!range) {
        finalEol_ = true;
        lines_.push_back("[" + std::string(trim(section)) + "]" + cr);
        lines_.push_back(std::move(entry));
        return;
    }
    if (auto line = findKey(*range, key)) {
        // The key keeps the spelling it has in the file.
        lines_[*line] = std::string(keyLine(lines_[*line])->key) + "=" + std::string(value) + cr;
        return;
    }
    // After the section's last non-blank line, so that blank lines that
    // separate it from the next section stay where they are.
    size_t at = range->end;
    while (at > range->header + 1 && blank(lines_[at - 1]))
        --at;
    if (at == lines_.size() && !finalEol_)
        finalEol_ = true;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
}

void IniText::removeKey(std::string_view section, std::string_view key)
{
    auto range = findSection(section);
    if (!range)
        return;
    if (auto line = findKey(*range, key))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*line));
}

void IniText::removeSection(std::string_view section)
{
    auto range = findSection(section);
    if (!range)
        return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

std::string IniText::text() const
{
    std::string out = bom_;
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i];
        if (i + 1 < lines_.size() || finalEol_)
            out += '\n';
    }
    return out;
}

}  // namespace platform
