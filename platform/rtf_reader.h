#pragma once
// Reads the rich text of a log file: paragraphs, bold, italic, underline,
// colour and font size. Everything else (fonts, styles, pictures, fields,
// destinations marked ignorable) is skipped. Hostile input never crashes:
// unbalanced braces, huge numbers and deep nesting are absorbed.

#include <string_view>

#include "platform/rtf_text.h"

namespace platform {

// Text that does not begin with "{\rtf" is read as plain text, one
// paragraph per line, as a rich edit control loads it.
RichText ReadRtf(std::string_view source);

}  // namespace platform
