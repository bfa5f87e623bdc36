#include "xbase/fpt_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "xbase/engine_errors.h"
#include "xbase/error.h"
#include "xbase/file_facts.h"

namespace xbase {

namespace {

constexpr uint32_t kHeaderSize = 512;
constexpr uint32_t kMaxMemo = 64u << 20;  // refuse absurd lengths from damaged files
constexpr std::size_t kFirstRead = 512;      // bytes read at once: most memos are shorter

uint32_t be32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
void putBe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

std::string header(uint32_t nextFree, uint32_t blockSize) {
    std::string h(kHeaderSize, '\0');
    auto* u = reinterpret_cast<unsigned char*>(h.data());
    putBe32(u, nextFree);
    u[6] = static_cast<unsigned char>(blockSize >> 8);
    u[7] = static_cast<unsigned char>(blockSize & 0xFF);
    return h;
}

uint32_t blocksFor(uint64_t bytes, uint32_t blockSize) {
    return static_cast<uint32_t>((bytes + blockSize - 1) / blockSize);
}

}  // namespace

FptFile::FptFile(const std::string& path, bool readOnly) : path_(path) {
    fd_ = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd_ < 0) {
        const FileFault fault = systemFault(path);
        throw XbaseError(kErrOpen, "cannot open memo file " + path + ": " + fault.reason, fault);
    }
    try {
        unsigned char h[8];
        readFully(0, h, 8);
        blockSize_ = (uint32_t(h[6]) << 8) | h[7];
        if (blockSize_ == 0 || blockSize_ > 16384) {
            throw XbaseError(kErrBadMemo, "damaged memo file header: " + path, FileFault{path, "not a memo file: header damaged"});
        }
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

FptFile::~FptFile() {
    if (fd_ >= 0) ::close(fd_);
}

void FptFile::create(const std::string& path, int blockSize) {
    if (blockSize < 32 || blockSize > 16384) throw XbaseError(kErrArgument, "memo block size must be 32 to 16384");
    const uint32_t bs = static_cast<uint32_t>(blockSize);
    const std::string h = header(blocksFor(kHeaderSize, bs), bs);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw XbaseError(kErrOpen, "cannot create memo file " + path, systemFault(path));
    const bool ok = ::write(fd, h.data(), h.size()) == static_cast<ssize_t>(h.size());
    const int error = errno;
    ::close(fd);
    if (!ok) throw XbaseError(kErrIo, "cannot write memo file " + path, systemFault(path, error));
}

void FptFile::readFully(int64_t offset, void* data, std::size_t size) const {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::pread(fd_, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw XbaseError(kErrIo, "cannot read memo file " + path_, systemFault(path_));
        if (n == 0) throw XbaseError(kErrBadMemo, "memo lies beyond the end of " + path_, FileFault{path_, "memo file truncated"});
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

void FptFile::writeFully(int64_t offset, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw XbaseError(kErrIo, "cannot write memo file " + path_, systemFault(path_));
        p += n;
        size -= static_cast<std::size_t>(n);
        offset += n;
    }
}

std::string FptFile::read(uint32_t block, uint32_t* type) const {
    if (block * uint64_t(blockSize_) < kHeaderSize) throw XbaseError(kErrBadMemo, "memo points into the header of " + path_, FileFault{path_, "memo file damaged"});
    // The block header and a short memo's bytes come in one read; what the
    // read finds short of the announced length lies beyond the file's end.
    const int64_t at = int64_t(block) * blockSize_;
    std::string data(kFirstRead, '\0');
    std::size_t got = 0;
    while (got < data.size()) {
        const ssize_t n = ::pread(fd_, data.data() + got, data.size() - got, at + int64_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw XbaseError(kErrIo, "cannot read memo file " + path_, systemFault(path_));
        if (n == 0) break;
        got += std::size_t(n);
    }
    if (got < 8) throw XbaseError(kErrBadMemo, "memo lies beyond the end of " + path_, FileFault{path_, "memo file truncated"});
    const auto* h = reinterpret_cast<const unsigned char*>(data.data());
    const uint32_t len = be32(h + 4);
    if (len > kMaxMemo || (got < data.size() && 8 + std::size_t(len) > got)) {
        throw XbaseError(kErrBadMemo, "damaged memo block in " + path_, FileFault{path_, "memo file damaged"});
    }
    if (type) *type = be32(h);
    if (8 + std::size_t(len) <= got) return data.substr(8, len);
    const std::size_t have = got - 8;
    data.erase(0, 8);
    data.resize(len);
    try {
        readFully(at + 8 + int64_t(have), data.data() + have, len - have);
    } catch (const XbaseError& e) {
        if (e.code() != kErrBadMemo) throw;
        throw XbaseError(kErrBadMemo, "damaged memo block in " + path_, FileFault{path_, "memo file damaged"});
    }
    return data;
}

uint32_t FptFile::nextFree() const {
    unsigned char h[4];
    readFully(0, h, 4);
    uint32_t next = be32(h);
    // Never hand out a block inside the header or before the file's end.
    FileFacts st;
    if (factsOf(fd_, st)) {
        const uint32_t end = blocksFor(uint64_t(st.size), blockSize_);
        if (next < end) next = end;
    }
    return std::max(next, blocksFor(kHeaderSize, blockSize_));
}

uint32_t FptFile::write(const std::string& data, uint32_t type) {
    if (data.size() > kMaxMemo) throw XbaseError(kErrValue, "memo too long");
    const uint32_t block = knownNext_ ? knownNext_ : nextFree();
    // A write that fails may leave the header either way: the next one reads it.
    knownNext_ = 0;
    std::string out(8, '\0');
    putBe32(reinterpret_cast<unsigned char*>(out.data()), type);
    putBe32(reinterpret_cast<unsigned char*>(out.data()) + 4, static_cast<uint32_t>(data.size()));
    out += data;
    const uint32_t used = blocksFor(out.size(), blockSize_);
    out.resize(uint64_t(used) * blockSize_, '\0');
    writeFully(int64_t(block) * blockSize_, out.data(), out.size());
    unsigned char h[4];
    putBe32(h, block + used);
    writeFully(0, h, 4);
    if (sole_) knownNext_ = block + used;
    return block;
}

std::vector<uint32_t> FptFile::rewrite(const std::vector<std::pair<std::string, uint32_t>>& memos) {
    knownNext_ = 0;
    std::vector<uint32_t> blocks;
    std::string body;
    uint32_t next = blocksFor(kHeaderSize, blockSize_);
    std::string h = header(0, blockSize_);
    h.resize(uint64_t(next) * blockSize_, '\0');
    for (const auto& [data, type] : memos) {
        std::string out(8, '\0');
        putBe32(reinterpret_cast<unsigned char*>(out.data()), type);
        putBe32(reinterpret_cast<unsigned char*>(out.data()) + 4, static_cast<uint32_t>(data.size()));
        out += data;
        const uint32_t used = blocksFor(out.size(), blockSize_);
        out.resize(uint64_t(used) * blockSize_, '\0');
        blocks.push_back(next);
        next += used;
        body += out;
    }
    putBe32(reinterpret_cast<unsigned char*>(h.data()), next);
    h += body;
    writeFully(0, h.data(), h.size());
    if (::ftruncate(fd_, static_cast<off_t>(h.size())) != 0) throw XbaseError(kErrIo, "cannot shorten " + path_, systemFault(path_));
    return blocks;
}

}  // namespace xbase
