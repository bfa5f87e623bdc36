#pragma once
// Small byte-text helpers shared by the table layer (ASCII case rules).

#include <string>
#include <string_view>

namespace tables {

std::string upperCase(std::string_view text);
bool sameText(std::string_view a, std::string_view b);
std::string trimRight(std::string_view text);
std::string trimLeft(std::string_view text);
// File name without folder ("/" or "\") and, when asked, without extension.
std::string fileNamePart(std::string_view path);
std::string withoutExtension(std::string_view name);
std::string extensionOf(std::string_view name);  // with the dot, "" when none

}  // namespace tables
