#pragma once
// How the machine reaches the Internet, as [Connect] Method stores it:
// "LAN", "MANUAL" or "RAS" (dial-up), compared without regard to case.

#include <optional>
#include <string>

namespace manager {

enum class ConnectMethod { Lan, Manual, Dialup };

// Empty for a value that is none of the three.
std::optional<ConnectMethod> ParseConnectMethod(const std::string& stored);
// The text written for a method: "LAN", "MANUAL" or "RAS".
const char* ConnectMethodText(ConnectMethod method);

}  // namespace manager
