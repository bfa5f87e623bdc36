#include "retriever/core/kept_copy.h"

#include <vector>

#include "mail/message.h"
#include "platform/error.h"
#include "platform/files.h"

namespace retriever {

namespace {

constexpr std::string_view kBoundaryParameter = "boundary=\"";

// The rank (from 1) of the boundary that the delimiter line closes or
// opens, 0 when it is none of them; `closing` tells "--" after it.
std::size_t delimiterRank(std::string_view line, const std::vector<std::string>& boundaries, bool& closing)
{
    if (line.substr(0, 2) != "--")
        return 0;
    line.remove_prefix(2);
    for (std::size_t i = 0; i < boundaries.size(); ++i) {
        const std::string& boundary = boundaries[i];
        if (line == boundary || (line.size() == boundary.size() + 2 && line.substr(0, boundary.size()) == boundary &&
                                 line.substr(boundary.size()) == "--")) {
            closing = line.size() != boundary.size();
            return i + 1;
        }
    }
    return 0;
}

}  // namespace

std::string WithoutDrawnBoundaries(std::string_view text)
{
    std::vector<std::string> boundaries;
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view whole = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        text.remove_prefix(whole.size());
        std::string_view line = whole;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        const std::string_view lineEnd = whole.substr(line.size());

        if (line.substr(0, 13) == "Content-Type:") {
            const std::size_t at = line.find(kBoundaryParameter);
            const std::size_t from = at == std::string_view::npos ? at : at + kBoundaryParameter.size();
            const std::size_t to = from == std::string_view::npos ? from : line.find('"', from);
            if (to != std::string_view::npos && to > from) {
                boundaries.emplace_back(line.substr(from, to - from));
                out.append(line.substr(0, from)).append(std::to_string(boundaries.size()));
                out.append(line.substr(to)).append(lineEnd);
                continue;
            }
        }
        bool closing = false;
        if (const std::size_t rank = delimiterRank(line, boundaries, closing)) {
            out.append("--").append(std::to_string(rank)).append(closing ? "--" : "").append(lineEnd);
            continue;
        }
        out.append(whole);
    }
    return out;
}

bool IsCopyOf(const std::string& path, const std::string& written)
{
    std::string kept;
    try {
        kept = platform::ReadWholeFile(path);
    } catch (const platform::FileError&) {
        return false;
    }
    if (WithoutDrawnBoundaries(kept) == written)
        return true;
    TmsMessage message;
    message.LoadFromString(kept);
    return WithoutDrawnBoundaries(message.SaveToString()) == written;
}

}  // namespace retriever
