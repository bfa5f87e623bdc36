#include "xbase/cdx/cdx_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "xbase/cdx/cdx_bytes.h"
#include "xbase/cdx/cdx_errors.h"
#include "xbase/cdx/cdx_tag_header.h"

namespace xbase::cdx {
namespace {

constexpr size_t kCacheLimit = 8192;   // pages; dropped whole when exceeded
constexpr uint32_t kFreeListField = 4;
constexpr uint32_t kCounterField = 8;

void writeAll(int fd, const unsigned char* data, size_t n, off_t at, const std::string& path) {
    while (n > 0) {
        const ssize_t w = ::pwrite(fd, data, n, at);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) throwIo(path, "cannot write");
        data += w;
        n -= size_t(w);
        at += w;
    }
}

int64_t stampOf(const struct stat& st) { return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec; }

bool isFreePage(const Page& p) {
    return std::all_of(p.begin() + 4, p.end(), [](unsigned char c) { return c == 0; });
}

}  // namespace

CdxFile::CdxFile(std::string path, int fd, bool readOnly) : path_(std::move(path)), fd_(fd), readOnly_(readOnly) {}

CdxFile::~CdxFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<CdxFile> CdxFile::open(const std::string& path, bool readOnly, bool create) {
    const int flags = (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | (create ? O_CREAT : 0);
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) throwIo(path, "cannot open");
    std::unique_ptr<CdxFile> file(new CdxFile(path, fd, readOnly));
    if (create) {
        file->lock(true);
        try {
            // The counter carries on from a file being replaced, so that other
            // opens of it never take the new content for the old.
            unsigned char old[4] = {0, 0, 0, 0};
            const bool hadCounter = ::pread(fd, old, 4, kCounterField) == 4;
            if (::ftruncate(fd, 0) != 0) throwIo(path, "cannot truncate");
            TagHeader h;
            h.root = kFirstPage;
            h.options = kOptStructure | kOptCompound | kOptCompact;
            h.changeCounter = (hadCounter ? readLe32(old) : 0) + 1;
            Page first, second;
            encodeTagHeader(h, first, second);
            Node directory;
            directory.root = true;
            const Page root = encodeNode(directory, KeyFormat{10, ' '});
            writeAll(fd, first.data(), kPageSize, 0, path);
            writeAll(fd, second.data(), kPageSize, kPageSize, path);
            writeAll(fd, root.data(), kPageSize, kFirstPage, path);
        } catch (...) {
            file->unlock();
            throw;
        }
        file->unlock();
    }
    Hold check(*file, false);   // a file too short to be an index fails here
    return file;
}

void CdxFile::lock(bool exclusive) {
    struct flock fl {};
    fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockOffset;
    fl.l_len = 1;
    while (::fcntl(fd_, F_OFD_SETLKW, &fl) != 0) {
        if (errno != EINTR) throwIo(path_, "cannot lock");
    }
}

void CdxFile::unlock() {
    struct flock fl {};
    fl.l_type = F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockOffset;
    fl.l_len = 1;
    ::fcntl(fd_, F_OFD_SETLK, &fl);
}

void CdxFile::refresh() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throwIo(path_, "cannot read its size");
    if (st.st_size < off_t(kFirstPage + kPageSize)) throwCorrupt(path_, "the file is too short to be an index");
    unsigned char counter[4];
    if (::pread(fd_, counter, 4, kCounterField) != 4) throwIo(path_, "cannot read");
    const uint32_t now = readLe32(counter);
    if (!cacheValid_ || now != cachedCounter_ || st.st_size != cachedSize_ || stampOf(st) != cachedStamp_) {
        dropCaches();
        cachedCounter_ = now;
        cachedSize_ = st.st_size;
        cachedStamp_ = stampOf(st);
        cacheValid_ = true;
    }
    size_ = st.st_size;
}

CdxFile::Hold::Hold(CdxFile& file, bool exclusive) : file_(file), exclusive_(exclusive) {
    if (exclusive && file.readOnly_) throwBadArgument("Index file " + file.path_ + " is open read-only");
    file.lock(exclusive);
    try {
        file.refresh();
    } catch (...) {
        file.unlock();
        throw;
    }
}

CdxFile::Hold::~Hold() {
    if (!file_.dirty_.empty()) {   // changes not committed are dropped
        file_.dirty_.clear();
        file_.dropCaches();
    }
    file_.unlock();
}

void CdxFile::Hold::commit() {
    if (exclusive_) file_.flush();
}

void CdxFile::flush() {
    if (dirty_.empty()) return;
    Page header = page(0);
    writeLe32(&header[kCounterField], readLe32(&header[kCounterField]) + 1);
    dirty_[0] = header;
    try {
        // Pages first, the header (root of the directory, free list, counter) last.
        for (auto it = std::next(dirty_.begin()); it != dirty_.end(); ++it)
            writeAll(fd_, it->second.data(), kPageSize, it->first, path_);
        writeAll(fd_, header.data(), kPageSize, 0, path_);
    } catch (...) {
        cacheValid_ = false;
        dirty_.clear();
        dropCaches();
        throw;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        cacheValid_ = false;
        dirty_.clear();
        throwIo(path_, "cannot read its size");
    }
    for (auto& [offset, p] : dirty_) cache_[offset] = p;
    dirty_.clear();
    ++generation_;
    cachedCounter_ = readLe32(&header[kCounterField]);
    cachedSize_ = st.st_size;
    cachedStamp_ = stampOf(st);
}

void CdxFile::checkOffset(uint32_t offset) {
    if (offset % kPageSize != 0) throwCorrupt(path_, "page offset " + std::to_string(offset) + " is not page aligned");
    if (off_t(offset) + off_t(kPageSize) > size_)
        throwCorrupt(path_, "page " + std::to_string(offset) + " lies beyond the end of the file (truncated?)");
}

Page CdxFile::readFromDisk(uint32_t offset) {
    Page p;
    size_t got = 0;
    while (got < kPageSize) {
        const ssize_t r = ::pread(fd_, p.data() + got, kPageSize - got, off_t(offset) + off_t(got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throwIo(path_, "cannot read");
        if (r == 0) throwCorrupt(path_, "page " + std::to_string(offset) + " is cut short (truncated file)");
        got += size_t(r);
    }
    return p;
}

Page CdxFile::page(uint32_t offset) {
    checkOffset(offset);
    if (auto d = dirty_.find(offset); d != dirty_.end()) return d->second;
    if (auto c = cache_.find(offset); c != cache_.end()) return c->second;
    Page p = readFromDisk(offset);
    if (cache_.size() >= kCacheLimit) dropCaches();
    cache_[offset] = p;
    return p;
}

std::shared_ptr<const Node> CdxFile::node(uint32_t offset, const KeyFormat& fmt) {
    if (!dirty_.count(offset)) {
        auto it = nodes_.find(offset);
        if (it != nodes_.end() && it->second.fmt.keyLength == fmt.keyLength && it->second.fmt.pad == fmt.pad)
            return it->second.node;
    }
    const Page p = page(offset);
    auto decoded = std::make_shared<const Node>(decodeNode(p, offset, fmt, path_));
    if (!dirty_.count(offset)) nodes_[offset] = Decoded{fmt, decoded};
    return decoded;
}

void CdxFile::dropCaches() {
    cache_.clear();
    nodes_.clear();
    ++generation_;
}

void CdxFile::writePage(uint32_t offset, const Page& p) {
    checkOffset(offset);
    dirty_[offset] = p;
    nodes_.erase(offset);
}

uint32_t CdxFile::allocatePage() {
    Page header = page(0);
    const uint32_t head = readLe32(&header[kFreeListField]);
    if (head != 0 && head != kNoPage) {
        const bool usable = head >= kFirstPage && head % kPageSize == 0 && off_t(head) + off_t(kPageSize) <= size_;
        const Page candidate = usable ? page(head) : Page{};
        // A list that leads anywhere but to a free page is dropped, never followed.
        writeLe32(&header[kFreeListField], usable && isFreePage(candidate) ? readLe32(&candidate[0]) : 0);
        writePage(0, header);
        if (usable && isFreePage(candidate)) return head;
    }
    const uint32_t offset = uint32_t(size_);
    if (size_ + off_t(kPageSize) > kLockOffset) throwBadArgument("Index file " + path_ + " is full");
    size_ += kPageSize;
    writePage(offset, Page{});
    return offset;
}

uint32_t CdxFile::allocateHeader() {
    const uint32_t offset = uint32_t(size_);
    if (size_ + off_t(2 * kPageSize) > kLockOffset) throwBadArgument("Index file " + path_ + " is full");
    size_ += 2 * kPageSize;
    writePage(offset, Page{});
    writePage(offset + kPageSize, Page{});
    return offset;
}

void CdxFile::freePage(uint32_t offset) {
    Page header = page(0);
    Page freed{};
    writeLe32(&freed[0], readLe32(&header[kFreeListField]));
    writePage(offset, freed);
    writeLe32(&header[kFreeListField], offset);
    writePage(0, header);
}

uint32_t CdxFile::changeCounter() { return readLe32(&page(0)[kCounterField]); }

}  // namespace xbase::cdx
