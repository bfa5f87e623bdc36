#pragma once
// A hidden temporary file beside a target file, committed by renaming it over
// the target. Until committed, the destructor removes it, so a failed write
// leaves the target as it was and no stray file behind.

#include <string>
#include <string_view>

namespace platform {

class SiblingTempFile {
public:
    // Creates ".<name>.<random>" in the folder of `target`, private to its
    // owner; throws FileError.
    explicit SiblingTempFile(const std::string& target);
    ~SiblingTempFile();
    SiblingTempFile(const SiblingTempFile&) = delete;
    SiblingTempFile& operator=(const SiblingTempFile&) = delete;

    void write(std::string_view bytes);  // throws FileError
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    // Flushes to disk, takes the target's permissions when it exists (a new
    // target stays private), and renames over the target; throws FileError.
    void commit();

    // Flushes and closes without renaming; the caller then owns the file
    // (it is no longer removed by the destructor).
    void closeAndKeep();

private:
    std::string target_;
    std::string path_;
    int fd_ = -1;
    bool done_ = false;
};

// Flushes a folder's entry list after a rename, so the new name survives a
// crash; failures are ignored (some file systems refuse).
void SyncFolderOf(const std::string& path);

}  // namespace platform
