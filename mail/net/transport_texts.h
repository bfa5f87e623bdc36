#pragma once
// The transport's string table: its own texts (57000...) and one text per
// socket error number, as users see them in logs.

#include <string>
#include <string_view>

namespace mail::net {

inline constexpr int kTimedOut = 57000;
inline constexpr int kCanceled = 57001;
inline constexpr int kServerRequired = 57002;
inline constexpr int kInvalidWinsockVersion = 57003;
inline constexpr int kResolveError = 57004;
inline constexpr int kServiceRequired = 57005;
inline constexpr int kProxyPortRequired = 57006;
inline constexpr int kInvalidUrl = 57007;
inline constexpr int kNotConnected = 57008;
inline constexpr int kFunctionNotFound = 57010;
inline constexpr int kWinsockNotLoaded = 57011;
inline constexpr int kWinsockNotFound = 57012;

// Socket error numbers the transport raises itself.
inline constexpr int kWouldBlock = 10035;
inline constexpr int kAlreadyInProgress = 10037;
inline constexpr int kMessageTooLong = 10040;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kConnectionRefused = 10061;

// The table's text for a number; empty when the table has none.
std::string_view transportText(int number);

// The table's text (the mail texts 57100... included), or "Error #" and the
// number when there is none.
std::string errorText(int number);

}  // namespace mail::net
