#pragma once
// The keys a message is known by between the retriever and the agent
// processor: the name of its pending file, and the received key that the
// agent processor files it under and the retriever looks up before fetching
// it again. Both programs compute them here, so they always agree. A
// message whose key another message holds gets a key of its own: the key
// and a tag of its bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class TmsHeaders;

// The text with the characters a file name cannot hold, or that would take
// it out of its folder or hide it from a "*.eml" listing, replaced by "-":
// | ? : " < > / \, NUL and other control characters, and a leading ".". Cut
// (never inside a UTF-8 sequence) so that the name plus ".eml" stays within
// a file name and the received table's FILENAME field.
std::string MakeSafeFileName(std::string_view text);

// The pending file's name without ".eml": the safe Message-ID, or without
// one the Date as "yyyymmddhhmmss" and the safe first 5 bytes of the Subject.
std::string PendingFileKey(const TmsHeaders& headers);

namespace retriever {

// Longest pending-file key, in bytes.
inline constexpr std::size_t kMaxFileKeyBytes = 250;

// The received key: the Message-ID as it is, or the date-and-subject form
// when there is none; cut to the width of the received table's MESSAGE_ID.
std::string ReceivedKey(const TmsHeaders& headers);
// The received key padded with blanks to the field's width, so that a seek
// on the MESSAGE_ID tag compares whole keys, not a prefix.
std::string ReceivedSeekKey(const TmsHeaders& headers);
// The same for a received key given as it is (a derived one too).
std::string ReceivedSeekKey(std::string_view receivedKey);

// "yyyymmddhhmmss" of the Date field (0 when it does not parse) followed by
// the first 5 bytes of the Subject after any leading blanks (never splitting
// a UTF-8 sequence);
// `safeSubject` makes the whole key safe for a file name.
std::string DateSubjectKey(const TmsHeaders& headers, bool safeSubject);

// A tag of a message's bytes as the server sent them: 16 lowercase hex
// digits. The same message gives the same tag at every fetch.
std::string ContentTag(std::string_view bytes);
// Tag lengths a key of its own uses: the short one first, the whole tag
// when a message with the same short tag holds that key already.
inline constexpr std::size_t kShortTagDigits = 8;
inline constexpr std::size_t kLongTagDigits = 16;

// The key, cut where needed, then "-" and the tag (or its first digits):
// as a pending-file key within kMaxFileKeyBytes, as a received key within
// the MESSAGE_ID field.
std::string DerivedFileKey(std::string_view key, std::string_view tag);
std::string DerivedReceivedKey(std::string_view key, std::string_view tag);

// How the mail file `fileName` (with or without its ".eml") is named after
// the pending-file key: "" when by the key itself, the tag when by a key of
// its own derived from it, none when by something else.
std::optional<std::string> TagInFileName(std::string_view fileName, std::string_view key);

// The received key of the message kept in the mail file `fileName`: the
// derived received key when the file is named by a key of its own derived
// from the message's key, else ReceivedKey.
std::string ReceivedKeyOf(const TmsHeaders& headers, std::string_view fileName);

// The first `width` bytes of a text, as a fixed-width field keeps it: a
// valid UTF-8 text is cut on a character boundary.
std::string CutToFieldWidth(std::string_view text, std::size_t width);

}  // namespace retriever
