#pragma once
// What the account and folder windows refuse as typed, so that no row is
// written from it: a name of blanks only, a server text that is not "host"
// or "host:port", a polling interval outside what the schedule offers.
// Each check throws ManagerError with the text the window shows.

#include <string>

namespace manager {

// The polling interval the properties window's spin edit keeps.
inline constexpr int kFewestMinutes = 1;
inline constexpr int kMostMinutes = 600;

// `what` names the field: "folder name", "account name".
void CheckName(const std::string& what, const std::string& name);

// `what` names the field: "SMTP server address", "POP server address". An
// empty text passes (the retriever falls back from POP to SMTP); otherwise
// a host without blanks, and after a ":" a port from 1 to 65535.
void CheckServerAddress(const std::string& what, const std::string& address);

// The whole minutes of a polling interval typed as text.
int ReadPollingInterval(const std::string& minutes);

}  // namespace manager
