#include "xbase/cdx/cdx_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "xbase/cdx/cdx_bytes.h"
#include "xbase/cdx/cdx_errors.h"
#include "xbase/cdx/cdx_io.h"
#include "xbase/cdx/cdx_tag_header.h"

namespace xbase::cdx {
namespace {

constexpr size_t kCacheLimit = 8192;   // pages; dropped whole when exceeded
constexpr uint32_t kFreeListField = 4;
constexpr uint32_t kCounterField = 8;

constexpr int kSettleRounds = 100;   // journals met one after another before giving up

void setLock(int fd, short type, const std::string& path) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = kLockOffset;
    fl.l_len = 1;
    if (type == F_UNLCK) {
        ::fcntl(fd, F_OFD_SETLK, &fl);
        return;
    }
    while (::fcntl(fd, F_OFD_SETLKW, &fl) != 0) {
        if (errno != EINTR) throwIo(path, "cannot lock");
    }
}

int64_t stampOf(const struct stat& st) { return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec; }

bool isFreePage(const Page& p) {
    return std::all_of(p.begin() + 4, p.end(), [](unsigned char c) { return c == 0; });
}

}  // namespace

CdxFile::CdxFile(std::string path, int fd, bool readOnly)
    : path_(std::move(path)), fd_(fd), readOnly_(readOnly), journal_(path_) {}

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
            // A journal left for the file being replaced must not be put back later over the new one.
            file->settleJournal(true);
            // The counter carries on from a file being replaced, so that other
            // opens of it never take the new content for the old.
            unsigned char old[4] = {0, 0, 0, 0};
            const bool hadCounter = ::pread(fd, old, 4, kCounterField) == 4;
            struct stat st {};
            if (::fstat(fd, &st) != 0) throwIo(path, "cannot read its size");
            TagHeader h;
            h.root = kFirstPage;
            h.options = kOptStructure | kOptCompound | kOptCompact;
            h.changeCounter = (hadCounter ? readLe32(old) : 0) + 1;
            Page first, second;
            encodeTagHeader(h, first, second);
            Node directory;
            directory.root = true;
            const Page root = encodeNode(directory, KeyFormat{10, ' '});
            // An index being replaced stays whole until the new header is in
            // place; the pages after it are cut off only then.
            const bool replacing = st.st_size >= off_t(kFirstPage + kPageSize);
            if (replacing) {
                std::vector<CdxJournal::SavedPage> saved;
                for (uint32_t at : {0u, kPageSize, kFirstPage}) saved.push_back({at, file->readFromDisk(at)});
                file->journal_.save(st.st_size, saved);
            }
            writeAll(fd, root.data(), kPageSize, kFirstPage, path);
            writeAll(fd, second.data(), kPageSize, kPageSize, path);
            writeAll(fd, first.data(), kPageSize, 0, path);
            if (replacing) file->journal_.discard();
            if (::ftruncate(fd, off_t(kFirstPage + kPageSize)) != 0) throwIo(path, "cannot truncate");
        } catch (...) {
            file->unlock();
            throw;
        }
        file->unlock();
    }
    Hold check(*file, false);   // a file too short to be an index fails here
    return file;
}

void CdxFile::lock(bool exclusive) { setLock(fd_, exclusive ? F_WRLCK : F_RDLCK, path_); }

void CdxFile::unlock() {
    journal_.forget();
    setLock(fd_, F_UNLCK, path_);
}

// A journal met under the lock was left by a writer that died in the middle
// of a change (a live writer holds the lock until its journal is gone).
// Undoing it needs the exclusive lock: a reader gives up its shared lock
// and waits for the exclusive one like any writer, then steps back down.
void CdxFile::settleJournal(bool exclusive) {
    for (int round = 0; round < kSettleRounds && journal_.present(); ++round) {
        if (exclusive) {
            rollBack(fd_);
            return;
        }
        if (readOnly_) {
            if (!rollBackReadOnly()) return;
            continue;
        }
        unlock();
        lock(true);
        if (journal_.present()) rollBack(fd_);
        lock(false);   // turns the exclusive lock into a shared one with no gap
        return;
    }
}

void CdxFile::rollBack(int fd) {
    journal_.rollBack(fd);
    cacheValid_ = false;
    dropCaches();
}

// A read-only open undoes the change through a writable open of its own, if
// the file allows one; otherwise it cannot read the file safely. Gives false
// when the journal is left alone because it holds no change.
bool CdxFile::rollBackReadOnly() {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (!journal_.pendingFor(fd_)) return false;   // torn or stale: it changed nothing in the index
        throw XbaseError(kIoError, "Index file " + path_ + " holds an unfinished change that must be undone " +
                                       "before it can be read, and it cannot be opened for writing (" +
                                       std::strerror(err) + "); journal " + journal_.path(),
                         FileFault{path_, std::string("an unfinished change cannot be undone: ") + std::strerror(err)});
    }
    unlock();
    try {
        setLock(fd, F_WRLCK, path_);
        if (journal_.present()) rollBack(fd);
    } catch (...) {
        ::close(fd);
        lock(false);
        throw;
    }
    ::close(fd);   // drops its lock
    lock(false);
    return true;
}

void CdxFile::refresh() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throwIo(path_, "cannot read its size");
    if (st.st_size < off_t(kFirstPage + kPageSize)) throwCorrupt(path_, "the file is too short to be an index");
    // The whole first page for the counter in it: when the file changed,
    // the operation asks for that page next.
    Page header;
    if (readUpTo(fd_, header.data(), kPageSize, 0, path_) != kPageSize) throwIo(path_, "cannot read");
    const uint32_t now = readLe32(&header[kCounterField]);
    if (!cacheValid_ || now != cachedCounter_ || st.st_size != cachedSize_ || stampOf(st) != cachedStamp_) {
        dropCaches();
        cache_[0] = header;
        cachedCounter_ = now;
        cachedSize_ = st.st_size;
        cachedStamp_ = stampOf(st);
        cacheValid_ = true;
    }
    size_ = st.st_size;
    heldSize_ = st.st_size;
}

CdxFile::Hold::Hold(CdxFile& file, bool exclusive) : file_(file), exclusive_(exclusive) {
    if (exclusive && file.readOnly_) throwBadArgument("Index file " + file.path_ + " is open read-only");
    if (file.sole_ && file.cacheValid_) {
        // Nothing changed since this open last looked: only it writes.
        if (exclusive) file.lock(true);
        locked_ = exclusive;
        file.heldSize_ = file.size_;
        return;
    }
    file.lock(exclusive);
    locked_ = true;
    try {
        file.settleJournal(exclusive);
        file.refresh();
    } catch (...) {
        file.unlock();
        throw;
    }
}

CdxFile::Hold::~Hold() {
    if (!file_.dirty_.empty()) {   // changes not committed are dropped
        file_.dropDirty();
        file_.dropCaches();
        file_.cacheValid_ = false;   // the size counted pages that were never written
    }
    if (locked_) file_.unlock();
}

void CdxFile::Hold::commit(bool pageByPage) {
    if (exclusive_) file_.flush(pageByPage);
}

void CdxFile::flush(bool pageByPage) {
    if (dirty_.empty()) return;
    const bool headerChanged = dirty_.count(0) != 0;
    // The counter tells other opens that their cached pages went stale. A
    // sole writer has no others to tell after its first change (opens made
    // after it closes start with nothing cached), and leaving the header
    // alone lets a one-page change go without a journal.
    const uint32_t before = word(0, kCounterField);
    uint32_t after = before;
    if (!sole_ || !counterRaised_ || headerChanged) {
        Page header = page(0);
        after = before + 1;
        writeLe32(&header[kCounterField], after);
        dirty_[0] = header;
    }
    try {
        if (needsJournal(headerChanged, pageByPage))
            writeJournalled();
        else
            writeDirty();
    } catch (...) {
        cacheValid_ = false;
        dropDirty();
        dropCaches();
        throw;
    }
    int64_t stamp = cachedStamp_;
    off_t size = size_;
    if (!sole_) {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            cacheValid_ = false;
            dropDirty();
            throwIo(path_, "cannot read its size");
        }
        stamp = stampOf(st);
        size = st.st_size;
    }
    for (auto& [offset, p] : dirty_) cache_[offset] = p;
    for (auto& [offset, d] : dirtyNodes_) nodes_[offset] = std::move(d);
    dropDirty();
    counterRaised_ = sole_;
    ++generation_;
    cachedCounter_ = after;
    if (cachedCounter_ != before) {
        if (!ownValid_ || before != ownTo_) ownFrom_ = before;
        ownTo_ = cachedCounter_;
        ownValid_ = true;
    }
    cachedSize_ = size;
    cachedStamp_ = stamp;
}

// One pwrite of a page is never half done by a killed process, so a change
// needs no journal when it overwrites one page, or one page and the header
// whose only change is the counter (written first: a kill in between leaves
// the old page under a raised counter, which only costs others a re-read).
// Appended pages would be left over, so they always go through the journal.
// Pages that are each a change by themselves need none either: a kill
// leaves each of them old or new, and their caller completes the rest.
bool CdxFile::needsJournal(bool headerChanged, bool pageByPage) const {
    if (std::prev(dirty_.end())->first >= heldSize_) return true;
    if (pageByPage) return headerChanged;
    if (!dirty_.count(0)) return dirty_.size() > 1;
    const size_t others = dirty_.size() - 1;
    return others > 1 || (others == 1 && headerChanged);
}

// Writes the dirty pages in file order (the header, at offset 0, first),
// those that follow one another in one call, which a kill can cut only
// between whole pages. A gap of a few pages whose bytes the cache holds is
// written over with those bytes, the file's own under the exclusive lock,
// rather than cutting the run: a call costs more than the copy.
void CdxFile::writeDirty() {
    constexpr uint32_t kMaxGap = 8;   // pages
    std::vector<const unsigned char*>& run = run_;
    run.clear();
    uint32_t runStart = 0;
    auto runEnd = [&] { return runStart + uint32_t(run.size()) * kPageSize; };
    auto writeOut = [&] {
        if (!run.empty()) writeRun(fd_, run.data(), run.size(), kPageSize, runStart, path_);
        run.clear();
    };
    auto gapCached = [&](uint32_t from, uint32_t to) {
        if (to - from > kMaxGap * kPageSize) return false;
        for (uint32_t at = from; at < to; at += kPageSize)
            if (!cache_.count(at)) return false;
        return true;
    };
    for (const auto& [offset, p] : dirty_) {
        if (!run.empty() && offset != runEnd()) {
            if (gapCached(runEnd(), offset)) {
                for (uint32_t at = runEnd(); at < offset; at += kPageSize) run.push_back(cache_.find(at)->second.data());
            } else {
                writeOut();
            }
        }
        if (run.empty()) runStart = offset;
        run.push_back(p.data());
    }
    writeOut();
}

void CdxFile::writeJournalled() {
    std::vector<CdxJournal::SavedPage>& saved = saved_;
    saved.clear();
    // The cache holds the pages as they are on disk (it is dropped whenever
    // the file may have changed behind it).
    for (const auto& [offset, p] : dirty_) {
        if (off_t(offset) >= heldSize_) continue;
        const auto cached = cache_.find(offset);
        saved.push_back({offset, cached != cache_.end() ? cached->second : readFromDisk(offset)});
    }
    journal_.save(heldSize_, saved);
    try {
        // In what order the pages land does not matter: until the journal
        // is discarded, a kill anywhere is undone.
        writeDirty();
        journal_.discard();
    } catch (...) {
        try {
            rollBack(fd_);   // the lock is still ours: undo now rather than leave it to the next one
        } catch (...) {
        }
        throw;
    }
}

void CdxFile::checkOffset(uint32_t offset) {
    if (offset % kPageSize != 0) throwCorrupt(path_, "page offset " + std::to_string(offset) + " is not page aligned");
    if (off_t(offset) + off_t(kPageSize) > size_)
        throwCorrupt(path_, "page " + std::to_string(offset) + " lies beyond the end of the file (truncated?)");
}

Page CdxFile::readFromDisk(uint32_t offset) {
    Page p;
    if (readUpTo(fd_, p.data(), kPageSize, off_t(offset), path_) < kPageSize)
        throwCorrupt(path_, "page " + std::to_string(offset) + " is cut short (truncated file)");
    return p;
}

Page CdxFile::page(uint32_t offset) { return pageRef(offset); }

const Page& CdxFile::pageRef(uint32_t offset) {
    checkOffset(offset);
    if (auto d = dirty_.find(offset); d != dirty_.end()) return d->second;
    if (auto c = cache_.find(offset); c != cache_.end()) return c->second;
    Page p = readFromDisk(offset);
    if (cache_.size() >= kCacheLimit) dropCaches();
    return cache_[offset] = p;
}

std::shared_ptr<const Node> CdxFile::node(uint32_t offset, const KeyFormat& fmt) {
    auto& known = dirty_.count(offset) ? dirtyNodes_ : nodes_;
    auto it = known.find(offset);
    if (it != known.end() && it->second.fmt.keyLength == fmt.keyLength && it->second.fmt.pad == fmt.pad)
        return it->second.node;
    const Page p = page(offset);
    auto decoded = std::make_shared<Node>(decodeNode(p, offset, fmt, path_));
    known[offset] = Decoded{fmt, decoded};
    return decoded;
}

void CdxFile::writeNode(const Node& node, const KeyFormat& fmt) { writeNode(node, fmt, encodeNode(node, fmt)); }

void CdxFile::writeNode(std::shared_ptr<const Node> node, const KeyFormat& fmt, const Page& encoded) {
    const uint32_t offset = node->offset;
    writePage(offset, encoded);
    dirtyNodes_[offset] = Decoded{fmt, std::move(node)};
}

void CdxFile::writeNode(const Node& node, const KeyFormat& fmt, const Page& encoded) {
    writePage(node.offset, encoded);
    // What the page decodes to, so that reading it back needs no decoding.
    dirtyNodes_[node.offset] = Decoded{fmt, std::make_shared<Node>(node)};
}

bool CdxFile::releaseNode(const std::shared_ptr<const Node>& node) {
    if (!node) return false;
    const auto cached = nodes_.find(node->offset);
    const bool inCache = cached != nodes_.end() && cached->second.node == node;
    const auto dirty = dirtyNodes_.find(node->offset);
    const bool inDirty = dirty != dirtyNodes_.end() && dirty->second.node == node;
    if (node.use_count() != 1 + long(inCache) + long(inDirty)) return false;
    // Read again from its page if it is asked for before it is written.
    if (inCache) nodes_.erase(cached);
    if (inDirty) dirtyNodes_.erase(dirty);
    return true;
}

void CdxFile::dropDirty() {
    dirty_.clear();
    dirtyPool_.release();
    dirtyNodes_.clear();
}

void CdxFile::dropCaches() {
    cache_.clear();
    nodes_.clear();
    ++generation_;
    ++foreignGeneration_;
}

void CdxFile::writePage(uint32_t offset, const Page& p) {
    checkOffset(offset);
    dirty_[offset] = p;
    nodes_.erase(offset);
    dirtyNodes_.erase(offset);
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

void CdxFile::freePage(uint32_t offset) { freePages({offset}); }

void CdxFile::freePages(const std::vector<uint32_t>& offsets) {
    if (offsets.empty()) return;
    Page header = page(0);
    uint32_t next = readLe32(&header[kFreeListField]);
    Page freed{};
    for (uint32_t offset : offsets) {
        writeLe32(&freed[0], next);
        writePage(offset, freed);
        next = offset;
    }
    writeLe32(&header[kFreeListField], next);
    writePage(0, header);
}

uint32_t CdxFile::changeCounter() { return word(0, kCounterField); }

uint32_t CdxFile::peekChangeCounter() {
    if (sole_ && cacheValid_) return cachedCounter_;
    unsigned char counter[4];
    if (::pread(fd_, counter, 4, kCounterField) != 4) {
        Hold hold(*this, false);   // fails with the reason
        return changeCounter();
    }
    return readLe32(counter);
}

uint32_t CdxFile::word(uint32_t offset, uint32_t at) {
    checkOffset(offset);
    if (auto d = dirty_.find(offset); d != dirty_.end()) return readLe32(&d->second[at]);
    if (auto c = cache_.find(offset); c != cache_.end()) return readLe32(&c->second[at]);
    return readLe32(&page(offset)[at]);
}

}  // namespace xbase::cdx
