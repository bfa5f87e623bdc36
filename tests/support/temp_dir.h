#pragma once
// A fresh folder under $TMPDIR (or /tmp), removed with everything in it when
// the object goes.

#include <string>

namespace test_support {

class TempDir {
public:
    // prefix: the start of the folder's name; parent: where it is made
    // ("" = $TMPDIR or /tmp). Where socket paths will live inside, keep both
    // short: such paths are limited to 108 bytes.
    explicit TempDir(const std::string& prefix = "tarsel", const std::string& parent = "");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, without a trailing "/".
    const std::string& path() const { return path_; }
    // path() + "/" + name.
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Where a TempDir lies on another file system than `folder`, for moves
// across file systems: /dev/shm, a memory file system on most machines;
// "" where it is none.
std::string otherFileSystemParent(const std::string& folder);

// Reads a whole file as bytes ("" when it cannot be read).
std::string readFile(const std::string& path);
// Writes bytes to a file, replacing it; throws std::runtime_error on failure.
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace test_support
