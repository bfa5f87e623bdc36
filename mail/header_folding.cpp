#include "mail/header_folding.h"

#include <algorithm>

namespace mail {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Where the value begins: after "Name:" and the blanks after it, or after
// the leading blanks of a line that continues a field.
std::size_t valueStart(std::string_view line)
{
    std::size_t i = 0;
    const std::size_t colon = line.find(':');
    if (!line.empty() && !isBlank(line.front()) && colon != std::string_view::npos &&
        line.substr(0, colon).find_first_of(" \t") == std::string_view::npos)
        i = colon + 1;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    return i;
}

// The last blank at a position in [from, to]; npos when none.
std::size_t lastBlank(std::string_view line, std::size_t from, std::size_t to)
{
    for (std::size_t p = std::min(to, line.size() - 1) + 1; p-- > from;)
        if (isBlank(line[p]))
            return p;
    return std::string_view::npos;
}

std::size_t firstBlank(std::string_view line, std::size_t from, std::size_t to)
{
    for (std::size_t p = from; p <= to && p < line.size(); ++p)
        if (isBlank(line[p]))
            return p;
    return std::string_view::npos;
}

// The last place in [from, to] where a structured field may take a blank.
std::size_t lastSafeCut(std::string_view line, std::size_t from, std::size_t to)
{
    for (std::size_t p = std::min(to, line.size() - 1) + 1; p-- > std::max<std::size_t>(from, 1);)
        if (line[p] == '<' || line[p - 1] == '>' || line[p - 1] == ',' || line[p - 1] == ';')
            return p;
    return std::string_view::npos;
}

}  // namespace

std::vector<std::string> foldHeaderLine(std::string_view line, std::size_t width)
{
    width = std::clamp<std::size_t>(width, 2, kLongestHeaderLine);
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t first = valueStart(line);
    bool ownBlank = false;  // the line being made begins with a blank the fold adds
    for (;;) {
        const std::size_t lead = ownBlank ? 1 : 0;
        std::string piece = ownBlank ? " " : "";
        if (line.size() - start + lead <= width || first >= line.size()) {
            lines.push_back(piece.append(line.substr(start)));
            return lines;
        }
        // The line keeps at least one character of text before its cut.
        const std::size_t from = first + 1;
        const std::size_t soft = start + width - lead;
        const std::size_t hard = start + kLongestHeaderLine - lead;
        std::size_t cut = lastBlank(line, from, soft);
        if (cut == std::string_view::npos)
            cut = firstBlank(line, std::max(from, soft + 1), hard);
        bool added = false;
        if (cut == std::string_view::npos) {
            if (line.size() - start + lead <= kLongestHeaderLine) {
                lines.push_back(piece.append(line.substr(start)));
                return lines;
            }
            cut = lastSafeCut(line, from, hard);
            if (cut == std::string_view::npos)
                cut = std::max(from, hard);
            added = true;
        }
        lines.push_back(piece.append(line.substr(start, cut - start)));
        start = cut;
        ownBlank = added;
        // A folded line's text begins after its blanks.
        first = start;
        while (first < line.size() && isBlank(line[first]))
            ++first;
    }
}

}  // namespace mail
