#pragma once
// Writing a fetched message into the pending folder, where the agent
// processor takes it from. The file appears whole or not at all, and a file
// that already waits is never replaced.

#include <string>
#include <string_view>

namespace retriever {

// Writes the bytes under a hidden temporary name in the target's folder,
// flushes them and moves them to `path` unless a file of that name exists.
// True when written; false when `path` already existed (nothing changed).
// Throws platform::FileError when the file cannot be written.
bool WriteNewFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace retriever
