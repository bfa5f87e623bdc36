#pragma once
// Files and folders as the programs need them: folders created with their
// parents, names found without regard to case, whole files written so that
// another program never reads half of one, and moves that never overwrite.
// What they make holds mail and logs, so it is the user's alone, whatever
// the umask; what exists already keeps the mode the user gave it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr unsigned kPrivateFolderMode = 0700;
inline constexpr unsigned kPrivateFileMode = 0600;

// Creates the folder and every missing parent, each one it makes private
// (kPrivateFolderMode); a trailing "/" is ignored. True when the folder
// exists afterwards. An empty path throws FileError "Unable to create
// directory".
bool ForceDirectories(const std::string& path);

// Creates the file `path`, which must not exist yet, private
// (kPrivateFileMode), open with `flags` (O_WRONLY, O_APPEND, ...). The
// descriptor, or -1 with errno set (EEXIST when the file exists).
int CreatePrivateFile(const std::string& path, int flags);

bool FileExists(const std::string& path);       // a file, not a folder
bool DirectoryExists(const std::string& path);
bool DeleteFile(const std::string& path);       // false when nothing was removed

// The real path of an existing file or folder whose name matches `path`
// without regard to case: each component that does not exist as written is
// looked up case-insensitively in its parent (the exact spelling wins; of
// several variants the first in byte order). nullopt when none exists.
std::optional<std::string> FindIgnoreCase(const std::string& path);

// The whole file; throws FileError when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes `bytes` under a hidden temporary name in the same folder (never
// matching "*.eml" or any other extension pattern), flushes it to disk and
// renames it over `path`. A reader sees the old file or the new, never part.
// An existing file keeps its permissions; a new one is private. Throws
// FileError.
void WriteFileAtomic(const std::string& path, std::string_view bytes);

// Moves `from` to `to` unless `to` exists. True when moved, false when the
// target exists (nothing changes then); any other failure throws FileError.
// Works across file systems for files (copied with the source's mode, then
// the source removed).
bool RenameNoReplace(const std::string& from, const std::string& to);

// Copies `from` over `to` (replacing it atomically); an existing `to` keeps
// its mode, a new one is private. Throws FileError.
void CopyFileReplace(const std::string& from, const std::string& to);

// Names (not paths) of everything `folder` holds, hidden names included and
// "." and ".." left out, in the order the folder lists them; none when it
// cannot be listed.
std::vector<std::string> FolderEntries(const std::string& folder);

// The same for the folders it holds; a link to a folder is none.
std::vector<std::string> Subfolders(const std::string& folder);

// Names (not paths) of the regular files in `folder` whose name matches the
// wildcard `pattern` ("*.eml"), ignoring case, in byte order. Hidden names
// (leading ".") match only a pattern that starts with ".". A missing folder
// gives an empty list.
std::vector<std::string> FindFiles(const std::string& folder, const std::string& pattern);

}  // namespace platform
