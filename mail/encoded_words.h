#pragma once
// Encoded words ("=?charset?B?...?=", "=?charset?Q?...?=") in header values.

#include <cstddef>
#include <string>
#include <string_view>

// Decodes a header value to UTF-8: every encoded word from its charset, the
// text outside words kept when it is valid UTF-8 and read as Windows-1252
// otherwise. "_" is a blank only inside a Q word; blanks between two adjacent
// encoded words are dropped, others kept; CR, LF and NUL that a word decodes to
// become blanks. A word that does not parse stays as it is. The result is cut
// to maxLength bytes without splitting a UTF-8 character (0: not cut).
// Never throws.
std::string DecodeEncodedWords(std::string_view text, std::size_t maxLength = 255);
