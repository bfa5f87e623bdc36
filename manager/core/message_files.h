#pragma once
// Where a message row's mail file lies: the row's FILENAME inside the
// account's In, Out or Sent folder. A FILENAME comes from a table that
// anything may have written, so it is taken only as a plain file name.

#include <string>

namespace manager {

// True for a name without "/", "\", NUL, "." or "..", and not empty.
bool IsPlainFileName(const std::string& name);

// folder: one of store's folder names ("In", "Out", "Sent"). Throws
// ManagerError "Not a message file name: NAME" for any other FILENAME.
std::string MessageFilePath(const std::string& messagesFolder, const std::string& accountId, const char* folder,
                            const std::string& fileName);

// Unlinks the path when it is a regular file (never a folder, nor what a
// link points to); false when nothing was removed.
bool DeleteRegularFile(const std::string& path);

}  // namespace manager
