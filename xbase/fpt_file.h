#pragma once
// A FoxPro memo file: a 512-byte header holding the next free block and the
// block size (both big-endian), then blocks; each memo starts on a block
// with an 8-byte header (type, length; big-endian) followed by its bytes.
// New memos always go to fresh blocks at the end, so a writer never
// disturbs a block another record still points to.

#include <cstdint>
#include <string>
#include <vector>

namespace xbase {

inline constexpr uint32_t kMemoTypePicture = 0;  // binary data
inline constexpr uint32_t kMemoTypeText = 1;

class FptFile {
public:
    FptFile(const std::string& path, bool readOnly);
    ~FptFile();
    FptFile(const FptFile&) = delete;
    FptFile& operator=(const FptFile&) = delete;

    static void create(const std::string& path, int blockSize);

    const std::string& path() const { return path_; }
    int fd() const { return fd_; }
    uint32_t blockSize() const { return blockSize_; }
    // The memo at block; XbaseError when the block lies outside the file.
    std::string read(uint32_t block, uint32_t* type = nullptr) const;
    // Writes data into fresh blocks; the caller holds the memo lock.
    uint32_t write(const std::string& data, uint32_t type);
    // The file belongs to a table opened exclusive: nobody else writes it,
    // so the next free block this open wrote last stays true without
    // reading the header again.
    void setSoleWriter(bool on) {
        sole_ = on;
        knownNext_ = 0;
    }
    // Replaces the whole file with these memos (pack); answers their blocks.
    std::vector<uint32_t> rewrite(const std::vector<std::pair<std::string, uint32_t>>& memos);

private:
    void readFully(int64_t offset, void* data, std::size_t size) const;
    void writeFully(int64_t offset, const void* data, std::size_t size);
    uint32_t nextFree() const;

    std::string path_;
    int fd_ = -1;
    uint32_t blockSize_ = 64;
    bool sole_ = false;
    uint32_t knownNext_ = 0;   // under sole_: the next free block as last written (0: read it)
};

}  // namespace xbase
