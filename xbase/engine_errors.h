#pragma once
// Error numbers the table engine reports through XbaseError (the expression
// and index layers keep their own ranges).

#include <cstddef>

namespace xbase {

inline constexpr int kErrNoTable = 1001;        // no table in the area, or a bad area number
inline constexpr int kErrOpen = 1002;           // a file could not be opened
inline constexpr int kErrBadTable = 1003;       // the table file is damaged or not a table
inline constexpr int kErrIo = 1004;             // reading or writing failed
inline constexpr int kErrLocked = 1005;         // a lock could not be had in time
inline constexpr int kErrReadOnly = 1006;       // a write on a read-only area
inline constexpr int kErrNeedExclusive = 1007;  // pack, zap need an exclusive open
inline constexpr int kErrNoField = 1008;        // no such field
inline constexpr int kErrValue = 1009;          // a value that does not fit its field
inline constexpr int kErrNoOrder = 1010;        // no such order or tag, or none active
inline constexpr int kErrDriver = 1011;         // the area's driver cannot do this
inline constexpr int kErrTooLong = 1012;        // a path or text beyond the engine's limits
inline constexpr int kErrAlias = 1013;          // alias taken or invalid
inline constexpr int kErrNoArea = 1014;         // all work areas are taken
inline constexpr int kErrBadMemo = 1015;        // the memo file is damaged
inline constexpr int kErrArgument = 1016;       // a call got an argument it cannot use

// Limits: longer texts are refused, never cut.
inline constexpr std::size_t kMaxPathLength = 1023;
inline constexpr std::size_t kMaxAliasLength = 31;
inline constexpr std::size_t kMaxExpressionLength = 1023;
inline constexpr std::size_t kMaxKeyLength = 240;

}  // namespace xbase
