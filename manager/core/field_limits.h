#pragma once
// The widths of the account, folder and restriction fields the windows
// edit, in bytes as the table holds them, and the check that refuses a text
// that would be stored cut (a cut password fails the log-in with no hint).

#include <string>

namespace manager {

inline constexpr int kNodeWidth = 40;
inline constexpr int kAddressWidth = 75;
inline constexpr int kLoginWidth = 25;
inline constexpr int kPasswordWidth = 25;
inline constexpr int kServerWidth = 50;
inline constexpr int kGroupWidth = 40;
inline constexpr int kRuleWidth = 49;
// A restriction's header field and the text it looks for.
inline constexpr int kConditionWidth = 254;

// ManagerError "The <what> is longer than <width> characters." when the
// text takes more bytes than the field holds.
void CheckFits(const std::string& what, const std::string& text, int width);

}  // namespace manager
