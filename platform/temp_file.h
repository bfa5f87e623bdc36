#pragma once
// A new, empty temporary file with a unique name beginning "ms", open for
// reading and writing, removed again when the object is released.

#include <string>

namespace platform {

// $TMPDIR, else "/tmp", ending with "/".
std::string TempDir();

class TempFile {
public:
    // Creates the file, private to its owner; throws FileError "Cannot
    // create file <name>" and leaves nothing behind when it cannot.
    TempFile();
    ~TempFile();  // release()
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }
    int fd() const { return fd_; }  // -1 once released

    // Closes and deletes the file; a failure to delete is ignored. Safe to
    // call more than once.
    void release();

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace platform
