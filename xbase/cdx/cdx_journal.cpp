#include "xbase/cdx/cdx_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "xbase/cdx/cdx_bytes.h"
#include "xbase/cdx/cdx_errors.h"
#include "xbase/cdx/cdx_io.h"
#include "xbase/file_facts.h"

namespace xbase::cdx {
namespace {

// Journals of mark 2 carry a checksum taken eight bytes at a step, which a
// change's writer computes far faster; journals of mark 1 (left by earlier
// versions) are still read.
constexpr unsigned char kMark[8] = {'C', 'D', 'X', 'U', 'N', 'D', 'O', '2'};
constexpr unsigned char kByteSumMark[8] = {'C', 'D', 'X', 'U', 'N', 'D', 'O', '1'};
constexpr size_t kHeadSize = 32;
constexpr size_t kSizeField = 8;
constexpr size_t kCountField = 16;
constexpr size_t kSumField = 24;
constexpr size_t kRecordSize = 4 + kPageSize;
constexpr uint32_t kCounterField = 8;   // the change counter in the index's first page

constexpr uint64_t kFnvBasis = 0xcbf29ce484222325ull;
constexpr uint64_t kFnvPrime = 0x100000001b3ull;

// FNV-1a over the whole journal but the sum's own field, byte by byte (mark 1).
uint64_t byteChecksum(const unsigned char* data, size_t n) {
    uint64_t h = kFnvBasis;
    for (size_t i = 0; i < n; ++i)
        if (i < kSumField || i >= kSumField + 8) h = (h ^ data[i]) * kFnvPrime;
    return h;
}

// The same over little-endian eight-byte words, the bytes after the last whole word one by one (mark 2).
uint64_t checksum(const unsigned char* data, size_t n) {
    uint64_t h = kFnvBasis;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        if (i == kSumField) continue;
        const uint64_t w = uint64_t(readLe32(data + i)) | uint64_t(readLe32(data + i + 4)) << 32;
        h = (h ^ w) * kFnvPrime;
    }
    for (; i < n; ++i) h = (h ^ data[i]) * kFnvPrime;
    return h;
}

void writeLe64(unsigned char* p, uint64_t v) {
    writeLe32(p, uint32_t(v));
    writeLe32(p + 4, uint32_t(v >> 32));
}

uint64_t readLe64(const unsigned char* p) { return uint64_t(readLe32(p)) | uint64_t(readLe32(p + 4)) << 32; }

}  // namespace

CdxJournal::CdxJournal(const std::string& indexPath) : path_(indexPath + "-journal"), indexPath_(indexPath) {}

CdxJournal::~CdxJournal() {
    if (fd_ < 0) return;
    // Others find no journal once this open is gone, unless it still holds
    // a change that could not be undone.
    if (keepOpen_ && cleared_) ::ftruncate(fd_, 0);
    ::close(fd_);
}

bool CdxJournal::present() {
    FileFacts st;
    seen_ = Seen{};
    if (!factsOf(path_.c_str(), st)) {
        seen_.valid = errno == ENOENT;   // on any other failure save() asks the file itself
        return false;
    }
    seen_ = Seen{true, true, st.dev, st.ino, st.size};
    return st.size > 0;
}

// True when fd_ is still the journal that others find by its name (nobody
// removed it meanwhile); `size` is then its length.
bool CdxJournal::keptFileNamed(off_t& size) {
    if (fd_ < 0) return false;
    if (seen_.valid) {
        if (!seen_.exists || seen_.dev != fdDev_ || seen_.ino != fdIno_) return false;
        size = seen_.size;
        return true;
    }
    FileFacts st;
    if (!factsOf(fd_, st) || st.links == 0) return false;
    size = st.size;
    return true;
}

void CdxJournal::save(off_t originalSize, const std::vector<SavedPage>& given) {
    // The file stays open between changes: making and deleting, or opening
    // and closing, it for every change costs the file system far more than
    // the change. It is opened again when someone removed it meanwhile.
    off_t size = 0;
    const bool kept = keptFileNamed(size);
    // A journal kept open by the index's only writer is overwritten in place
    // rather than emptied and grown again: it is padded to the length it had
    // by repeating its last page (putting the same bytes back twice undoes
    // nothing more), so no bytes of an older one follow it.
    const bool reuse = keepOpen_ && kept;
    std::vector<SavedPage>& padded = padded_;
    const std::vector<SavedPage>* chosen = &given;
    if (reuse && !given.empty() && given.size() < keptPages_) {
        padded.assign(given.begin(), given.end());
        padded.resize(keptPages_, given.back());
        chosen = &padded;
    }
    const std::vector<SavedPage>& pages = *chosen;
    std::vector<unsigned char>& buf = buf_;
    buf.assign(kHeadSize + pages.size() * kRecordSize, 0);
    std::memcpy(buf.data(), kMark, sizeof kMark);
    writeLe64(&buf[kSizeField], uint64_t(originalSize));
    writeLe32(&buf[kCountField], uint32_t(pages.size()));
    unsigned char* at = buf.data() + kHeadSize;
    for (const auto& p : pages) {
        writeLe32(at, p.offset);
        std::memcpy(at + 4, p.bytes.data(), kPageSize);
        at += kRecordSize;
    }
    writeLe64(&buf[kSumField], checksum(buf.data(), buf.size()));

    if (!kept) {
        keptPages_ = 0;
        if (fd_ >= 0) ::close(fd_);
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0 && errno == EACCES && ::unlink(path_.c_str()) == 0)   // another user's empty journal
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) throwIo(indexPath_, "cannot create its journal " + path_);
    }
    try {
        if (!kept) {
            FileFacts st;
            if (!factsOf(fd_, st)) throwIo(indexPath_, "cannot empty its journal " + path_);
            fdDev_ = st.dev;
            fdIno_ = st.ino;
            size = st.size;
        }
        const bool tooLong = reuse ? pages.size() < keptPages_ : size != 0;
        if (tooLong && ::ftruncate(fd_, 0) != 0) throwIo(indexPath_, "cannot empty its journal " + path_);
        cleared_ = false;
        writeAll(fd_, buf.data(), buf.size(), 0, path_);
        keptPages_ = pages.size();
        if (seen_.valid) seen_ = Seen{true, true, fdDev_, fdIno_, std::max(tooLong ? 0 : size, off_t(buf.size()))};
    } catch (...) {
        // Nothing of the index was written yet: an incomplete journal only goes.
        ::close(fd_);
        fd_ = -1;
        ::unlink(path_.c_str());
        seen_.valid = false;
        throw;
    }
}

void CdxJournal::discard() {
    if (fd_ < 0) return;
    // An empty journal holds no change; removed if it cannot be emptied. A
    // journal kept open by the only writer loses its mark instead, which
    // makes it one that changed nothing (whoever meets it after a kill
    // removes it).
    if (keepOpen_) {
        static constexpr unsigned char kNoMark[sizeof kMark] = {};
        if (::pwrite(fd_, kNoMark, sizeof kNoMark, 0) == ssize_t(sizeof kNoMark)) {
            cleared_ = true;
            return;
        }
    }
    if (::ftruncate(fd_, 0) == 0) {
        seen_.size = 0;
        return;
    }
    seen_.valid = false;
    const bool gone = ::unlink(path_.c_str()) == 0 || errno == ENOENT;
    const int err = errno;
    ::close(fd_);
    fd_ = -1;
    if (!gone) {
        errno = err;
        throwIo(indexPath_, "cannot remove its journal " + path_);
    }
}

bool CdxJournal::load(int indexFd, Contents& out) const {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    std::vector<unsigned char> buf;
    if (::fstat(fd, &st) == 0 && st.st_size >= off_t(kHeadSize)) {
        buf.resize(size_t(st.st_size));
        try {
            buf.resize(readUpTo(fd, buf.data(), buf.size(), 0, path_));
        } catch (...) {
            buf.clear();
        }
    }
    ::close(fd);
    if (buf.size() < kHeadSize) return false;
    const bool wordSum = std::memcmp(buf.data(), kMark, sizeof kMark) == 0;
    if (!wordSum && std::memcmp(buf.data(), kByteSumMark, sizeof kByteSumMark) != 0) return false;
    const size_t count = readLe32(&buf[kCountField]);
    if ((buf.size() - kHeadSize) % kRecordSize != 0 || (buf.size() - kHeadSize) / kRecordSize != count) return false;
    const uint64_t sum = wordSum ? checksum(buf.data(), buf.size()) : byteChecksum(buf.data(), buf.size());
    if (readLe64(&buf[kSumField]) != sum) return false;

    out.originalSize = off_t(readLe64(&buf[kSizeField]));
    out.pages.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* at = &buf[kHeadSize + i * kRecordSize];
        out.pages[i].offset = readLe32(at);
        std::memcpy(out.pages[i].bytes.data(), at + 4, kPageSize);
    }

    // A journal left beside another file, or one whose change was followed
    // by others, must not be put back over them: the index is still the
    // size it was, and its counter is the saved one or one more.
    struct stat index {};
    if (::fstat(indexFd, &index) != 0 || index.st_size < out.originalSize) return false;
    for (const auto& p : out.pages) {
        if (p.offset != 0) continue;
        unsigned char now[4];
        if (::pread(indexFd, now, 4, kCounterField) != 4) return false;
        const uint32_t saved = readLe32(&p.bytes[kCounterField]);
        if (readLe32(now) != saved && readLe32(now) != saved + 1) return false;
    }
    return true;
}

bool CdxJournal::pendingFor(int fd) const {
    Contents c;
    return load(fd, c);
}

bool CdxJournal::rollBack(int fd) {
    Contents c;
    const bool pending = load(fd, c);
    if (!pending) {
        // It changed nothing: if it cannot go, the next change's journal replaces it.
        try {
            remove();
        } catch (const XbaseError&) {
        }
        return false;
    }
    for (const auto& p : c.pages) writeAll(fd, p.bytes.data(), kPageSize, p.offset, indexPath_);
    if (::ftruncate(fd, c.originalSize) != 0) throwIo(indexPath_, "cannot undo an unfinished change");
    remove();
    return true;
}

void CdxJournal::remove() {
    seen_.valid = false;
    if (fd_ >= 0) {   // a kept open journal would outlive its name
        ::close(fd_);
        fd_ = -1;
    }
    if (::unlink(path_.c_str()) == 0 || errno == ENOENT) return;
    const int fd = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    throwIo(indexPath_, "cannot remove its journal " + path_);
}

}  // namespace xbase::cdx
