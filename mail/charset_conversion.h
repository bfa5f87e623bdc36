#pragma once
// Text of mail in any declared character set made UTF-8, the one character
// set the system keeps in memory. The conversions are the C library's
// (iconv); nothing here holds tables of its own.

#include <optional>
#include <string>
#include <string_view>

namespace mail {

// The bytes read in the named character set, as UTF-8; an invalid or cut
// sequence becomes U+FFFD and the rest of the text is read on. Nothing when
// the name is no character set known here.
std::optional<std::string> convertToUtf8(std::string_view bytes, std::string_view charset);

// Text declared in a character set, as UTF-8. Without a name, under a name
// not known here, and under "us-ascii" (which 8-bit bytes contradict) the
// text is kept when it is valid UTF-8 and read as Windows-1252 otherwise.
std::string declaredTextToUtf8(std::string_view bytes, std::string_view charset);

// Text that should be UTF-8 but may hold bytes of older files (table texts,
// agent files): valid UTF-8 sequences are kept, every other byte is read as
// Windows-1252, so a line mixing both comes out whole.
std::string repairUtf8(std::string_view text);

// Whether the text can name a charset: 1 to 40 ASCII letters, digits and
// "-_.:+". Only such a name is asked of the converters or written into
// mail again.
bool isCharsetName(std::string_view name);

bool isAscii(std::string_view text);

}  // namespace mail
