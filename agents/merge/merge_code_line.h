#pragma once
// Finding the one merge code a template line may hold and putting a value
// in its place.

#include <optional>
#include <string>
#include <string_view>

namespace merge {

// The text shown where a code gives no value.
inline constexpr std::string_view noValueText = "<no value provided>";

struct MergeCodeSpan {
    std::size_t open = 0;   // index of "<<"
    std::size_t close = 0;  // index of the ">>" that ends the code
    std::string inner;      // text between them
};

// The first "<<" of the line and the first ">>" after it; none when either
// is missing. Only the first code of a line is ever expanded.
std::optional<MergeCodeSpan> findMergeCode(std::string_view line);

struct MergeCommand {
    std::string command;    // as written
    std::string parameter;  // as written (a name or a format keeps its case)
};

// Splits "command~parameter" at the first "~"; none without a "~".
std::optional<MergeCommand> splitMergeCode(std::string_view inner);

// The line with the code replaced by the value, or by the no-value text
// when the value is empty.
std::string replaceMergeCode(std::string_view line, const MergeCodeSpan& span,
                             std::string_view value);

// ASCII upper case, as commands and keywords are compared.
std::string upperAscii(std::string_view text);

}  // namespace merge
