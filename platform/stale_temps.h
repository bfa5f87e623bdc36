#pragma once
// What a write killed half-way leaves behind: the hidden temporary files
// of SiblingTempFile (".<target name>.<six letters or digits>"). A program
// that starts again removes those of the folders it writes into.

#include <chrono>
#include <string>
#include <string_view>

namespace platform {

// True for a name of the sibling temporary pattern. A mail file ("*.eml")
// never is one.
bool IsSiblingTempName(std::string_view name);

// Removes the sibling temporary files in `folder` last changed before
// `changedBefore` (a program starting passes its start: what a killed run
// left is older, a write another program is making now is not) whose
// target name starts with `targetPrefix`. A missing folder has none.
// Gives the number removed.
int RemoveSiblingTemps(const std::string& folder, std::chrono::system_clock::time_point changedBefore,
                       std::string_view targetPrefix = {});

}  // namespace platform
