#pragma once
// Result codes of the cursor interface: 16-bit, 0 = success. The table class
// turns any other code into EDBEngineError with the text of GetErrorText.

#include <cstdint>

namespace tables {

using DBIResult = uint16_t;

inline constexpr DBIResult kOk = 0;
inline constexpr DBIResult kBeginOfTable = 8705;
inline constexpr DBIResult kEndOfTable = 8706;
inline constexpr DBIResult kRecordNotVisible = 8709;
inline constexpr DBIResult kKeyNotFound = 8710;
inline constexpr DBIResult kBlobShortRead = 8711;
inline constexpr DBIResult kNotImplemented = 8712;
inline constexpr DBIResult kBlobOffsetBeyondEnd = 9998;
inline constexpr DBIResult kInvalidHandle = 9990;
inline constexpr DBIResult kValueTooWide = 10019;
inline constexpr DBIResult kOpenFailed = 10024;
inline constexpr DBIResult kBlobLengthMismatch = 10030;
inline constexpr DBIResult kRecordLocked = 10245;
inline constexpr DBIResult kBlobReadFailed = 10753;
inline constexpr DBIResult kNoIndexOrder = 10757;
inline constexpr DBIResult kNoActiveOrder = 10764;
inline constexpr DBIResult kLanguageDriverNotFound = 10013;
// Append refusals of the engine (its answers 3 to 6).
inline constexpr DBIResult kAppendFailed3 = 10243;
inline constexpr DBIResult kAppendFailed4 = 9218;
inline constexpr DBIResult kAppendFailed5 = 8965;
inline constexpr DBIResult kAppendFailed6 = 10763;
// Our own: every database slot taken, a filter with no free slot left, and
// a path or text longer than its buffer. None of them is cut or overrun.
inline constexpr DBIResult kNoDatabaseSlot = 10498;
inline constexpr DBIResult kNoFilterSlot = 10499;
inline constexpr DBIResult kTextTooLong = 10500;
// A filter text the engine cannot evaluate.
inline constexpr DBIResult kBadFilterExpression = 10501;
// The version check of the engine failed.
inline constexpr DBIResult kEngineVersion = 99;
// The one code with a text of its own.
inline constexpr DBIResult kFileOpenError = 11011;

}  // namespace tables
