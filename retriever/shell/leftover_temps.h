#pragma once
// At start, a processor removes what a copy or write killed half-way left
// in the accounts' Pending/ and In/ folders: the hidden temporary files of
// the pending-file write and of the copy into In/. Mail files stay.

#include <chrono>
#include <string>

namespace shell {

// Removes those last changed before `start` (the processor's start: a
// write another program is making now stays). Gives the number removed.
int RemoveLeftoverMailTemps(const std::string& messagesFolder, std::chrono::system_clock::time_point start);

}  // namespace shell
