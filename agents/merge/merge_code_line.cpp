#include "agents/merge/merge_code_line.h"

namespace merge {

std::optional<MergeCodeSpan> findMergeCode(std::string_view line)
{
    const std::size_t open = line.find("<<");
    if (open == std::string_view::npos)
        return std::nullopt;
    // The closing mark is looked for after the opening one: a ">>" earlier in
    // the line (a quoted reply, say) is ordinary text, not the code's end.
    const std::size_t close = line.find(">>", open + 2);
    if (close == std::string_view::npos)
        return std::nullopt;
    return MergeCodeSpan{open, close, std::string(line.substr(open + 2, close - open - 2))};
}

std::optional<MergeCommand> splitMergeCode(std::string_view inner)
{
    const std::size_t tilde = inner.find('~');
    if (tilde == std::string_view::npos)
        return std::nullopt;
    return MergeCommand{std::string(inner.substr(0, tilde)), std::string(inner.substr(tilde + 1))};
}

std::string replaceMergeCode(std::string_view line, const MergeCodeSpan& span,
                             std::string_view value)
{
    std::string result(line.substr(0, span.open));
    result += value.empty() ? noValueText : value;
    result += line.substr(span.close + 2);
    return result;
}

std::string upperAscii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

}  // namespace merge
