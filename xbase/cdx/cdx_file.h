#pragma once
// The index file as a set of 512-byte pages shared by several processes:
// an OFD byte-range lock (shared to read, exclusive to write) around every
// operation, a page cache kept only while the file's change counter and
// stamp show nobody else wrote, and page allocation with a free list.
//
// Lock: one byte at kLockOffset, far beyond any page, so it never
// conflicts with the data or with other tools' record locks.
// Change counter: bytes 8-11 of the file header (reserved, ignored by other
// readers), incremented by every committed change.
// Free list: bytes 4-7 of the file header; a free page holds the next free
// page's offset in its first four bytes and zeros after (0 = end).
// A change that overwrites more than one page keeps their old bytes in a
// journal first, so that a writer killed halfway is undone by whoever takes
// the lock next (see cdx_journal.h), unless its caller takes each page for
// a change of its own (see Hold::commit).

#include <sys/types.h>

#include <cstdint>
#include <cstddef>
#include <map>
#include <memory_resource>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "xbase/cdx/cdx_journal.h"
#include "xbase/cdx/cdx_node.h"

namespace xbase::cdx {

constexpr off_t kLockOffset = 0x7FFFFFFE;
constexpr uint32_t kFirstPage = 1024;   // pages before it belong to the file header

class CdxFile {
public:
    // Opens an existing file; `create` makes a new empty compound index instead.
    static std::unique_ptr<CdxFile> open(const std::string& path, bool readOnly, bool create);
    ~CdxFile();
    CdxFile(const CdxFile&) = delete;
    CdxFile& operator=(const CdxFile&) = delete;

    const std::string& path() const { return path_; }
    bool readOnly() const { return readOnly_; }
    // The file belongs to a table opened exclusive: no other open writes it,
    // so what this open read stays valid without asking the file again, and
    // reads need no lock. Writes still take the lock, for programs that read
    // the index file directly.
    void setSoleWriter(bool on) {
        sole_ = on;
        journal_.setKeepOpen(on);
    }

    // Holds the lock for one operation. An exclusive hold writes its changes
    // on commit(); without commit they are dropped.
    class Hold {
    public:
        Hold(CdxFile& file, bool exclusive);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        // pageByPage: every page changed is a whole change by itself, which
        // the caller can complete after a kill, so that the pages may go
        // without a journal, one write each, when none is new and the file
        // header changed only in its counter (written first).
        void commit(bool pageByPage = false);

    private:
        CdxFile& file_;
        bool exclusive_;
        bool locked_ = false;
    };

    Page page(uint32_t offset);
    // The same without a copy: valid until the next page is read or written.
    const Page& pageRef(uint32_t offset);
    // The little-endian word at byte `at` of a page, without copying the page.
    uint32_t word(uint32_t offset, uint32_t at);
    // The page decoded as a tree node; kept while the page cache is valid.
    std::shared_ptr<const Node> node(uint32_t offset, const KeyFormat& fmt);
    // Drops the cache's hold of a node it gave out (every node it makes is
    // created non-const) when the caller's is the only other one, so that the
    // caller may change it in place before writing it; false when others
    // hold it too.
    bool releaseNode(const std::shared_ptr<const Node>& node);
    // Changes whenever cached pages may have gone stale.
    uint64_t generation() const { return generation_; }
    // Changes whenever pages may have changed by others' hands (not by this
    // open's own writes).
    uint64_t foreignGeneration() const { return foreignGeneration_; }
    void writePage(uint32_t offset, const Page& p);
    // Writes the node encoded onto its page.
    void writeNode(const Node& node, const KeyFormat& fmt);
    // The same with the page already encoded from the node.
    void writeNode(const Node& node, const KeyFormat& fmt, const Page& encoded);
    void writeNode(std::shared_ptr<const Node> node, const KeyFormat& fmt, const Page& encoded);
    uint32_t allocatePage();
    uint32_t allocateHeader();     // two fresh pages at the end of the file
    void freePage(uint32_t offset);
    // The same for each page in turn, the last one freed heading the list.
    void freePages(const std::vector<uint32_t>& offsets);
    // Upper bound on the pages a walk can meet, to stop loops in a damaged file.
    uint32_t pageCount() const { return uint32_t(size_ / kPageSize); }
    // The pages changed in this hold so far (the file header counted when its
    // change is more than the counter).
    size_t changedPages() const { return dirty_.size(); }
    uint32_t changeCounter();
    // The counter as the file holds it, read without the lock (one aligned
    // word: a change under way shows either its old or its new value).
    uint32_t peekChangeCounter();
    // True when every change that took the counter from `since` to `now`
    // was made by this open.
    bool changedOnlyHere(uint32_t since, uint32_t now) const {
        return ownValid_ && now == ownTo_ && since - ownFrom_ <= ownTo_ - ownFrom_;
    }

private:
    CdxFile(std::string path, int fd, bool readOnly);
    void lock(bool exclusive);
    void unlock();
    void settleJournal(bool exclusive);
    void rollBack(int fd);
    bool rollBackReadOnly();
    void refresh();
    void dropCaches();
    void dropDirty();
    void flush(bool pageByPage);
    bool needsJournal(bool headerChanged, bool pageByPage) const;
    void writeJournalled();
    void writeDirty();
    void checkOffset(uint32_t offset);
    Page readFromDisk(uint32_t offset);

    std::string path_;
    int fd_ = -1;
    bool readOnly_ = false;
    alignas(std::max_align_t) unsigned char dirtyPoolStart_[16 * 1024];
    bool sole_ = false;
    bool counterRaised_ = false;   // by this open, since it became the sole writer
    // The counter values from ownFrom_ to ownTo_ were each this open's change.
    bool ownValid_ = false;
    uint32_t ownFrom_ = 0;
    uint32_t ownTo_ = 0;
    CdxJournal journal_;
    off_t size_ = 0;                 // current size including pages allocated in this hold
    off_t heldSize_ = 0;             // size when the hold began: pages past it are new
    // Looked up for every page an operation touches: hashed, as a tree of
    // thousands of pages costs a cache miss at each of its levels.
    std::unordered_map<uint32_t, Page> cache_;
    // The pages a change writes, in file order; their nodes come from a pool
    // emptied after every change, not from the allocator one by one.
    std::pmr::monotonic_buffer_resource dirtyPool_{dirtyPoolStart_, sizeof dirtyPoolStart_};
    std::pmr::map<uint32_t, Page> dirty_{&dirtyPool_};
    struct Decoded {
        KeyFormat fmt;
        std::shared_ptr<const Node> node;
    };
    std::unordered_map<uint32_t, Decoded> nodes_;
    std::unordered_map<uint32_t, Decoded> dirtyNodes_;   // of pages in dirty_
    std::vector<CdxJournal::SavedPage> saved_;   // writeJournalled's, kept for its storage
    std::vector<const unsigned char*> run_;       // the same
    uint64_t generation_ = 0;
    uint64_t foreignGeneration_ = 0;
    bool cacheValid_ = false;
    uint32_t cachedCounter_ = 0;
    off_t cachedSize_ = 0;
    int64_t cachedStamp_ = 0;
};

}  // namespace xbase::cdx
