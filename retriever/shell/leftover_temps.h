#pragma once
// At start, a processor removes what a copy or write killed half-way left
// in the accounts' Pending/ and In/ folders: the hidden temporary files of
// the pending-file write and of the copy into In/. Mail files stay.

#include <string>

namespace shell {

// Temporary files this recent may belong to a write another program is
// making now, and stay.
inline constexpr int kLeftoverMinAgeSeconds = 5;

// Gives the number of files removed.
int RemoveLeftoverMailTemps(const std::string& messagesFolder);

}  // namespace shell
