#pragma once
// Header texts as mail carries them: ASCII only, every other character in
// encoded words of UTF-8 (RFC 2047), attachment names also in the
// parameter form of RFC 2231. Texts given here are UTF-8; bytes of older
// files that are not are read as Windows-1252 first.

#include <cstddef>
#include <string>
#include <string_view>

namespace mail {

// The text as encoded words of UTF-8 ("=?utf-8?q?...?=" or "?b?", whichever
// is shorter), each at most 75 characters, separated by blanks; no word
// ends inside a character. A reader joins them back without the blanks.
std::string encodedWords(std::string_view text);

// An unstructured header value (a subject): words with non-ASCII characters,
// words a reader would take for encoded words and words longer than
// longestWord go out as encoded words, neighbouring ones together; every
// other word and blank as it is.
std::string encodeHeaderText(std::string_view text, std::size_t longestWord = std::string_view::npos);

// A display name as it goes before "<address>": as it is, quoted when it
// holds characters that would end it, or as encoded words.
std::string encodeDisplayName(std::string_view name);

// One header field ("Name: value", unfolded) whose value holds non-ASCII
// bytes or a word longer than longestWord, made ASCII: address fields name
// by name, other fields as unstructured text. Encoded words already in the
// value are decoded first, so nothing is encoded twice.
std::string encodeHeaderField(std::string_view field, std::size_t longestWord);

// True when the field's value is a list of addresses (From, Reply-To...).
bool isAddressField(std::string_view name);
// True when the field's value is free text, where encoded words may stand
// anywhere (Subject, Comments, X- fields...).
bool isUnstructuredField(std::string_view name);

// The name parameter of a Content-Type ("name=...") or a
// Content-Disposition ("filename=..."): quoted when the name is plain ASCII;
// otherwise the type's as encoded words inside the quotes and the
// disposition's in the RFC 2231 form, cut into numbered sections so that
// no piece is long; the pieces are separated by "; ", where lines may fold.
std::string typeNameParameter(std::string_view name);
std::string dispositionNameParameter(std::string_view name);

}  // namespace mail
