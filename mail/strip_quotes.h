#pragma once
// Trimming of quoted header texts.

#include <string>
#include <string_view>

// Trims blanks and control characters at both ends, then removes every leading
// and every trailing double quote.
std::string StripQuotes(std::string_view text);
