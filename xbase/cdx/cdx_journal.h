#pragma once
// The rollback journal of an index file ("<index>-journal" beside it): the
// original bytes of every page a change is about to overwrite, and the
// file's size before the change. It holds something only while a change
// that touches several pages is being written (it is emptied when the
// change is complete), so whoever finds one with content under the index
// lock is looking at a change whose writer died; putting the pages back and
// cutting the file to its old size undoes it.
//
// Layout: a 32-byte head (mark, original size, page count, checksum over
// everything else) and then per page its offset and 512 bytes. The journal
// is written in one go before any index page; a journal cut short or
// failing its checksum was never complete, so no index page was touched.
// The only writer of an index (see CdxFile::setSoleWriter) clears the mark
// instead of emptying the file, which also makes it a journal that holds
// no change.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "xbase/cdx/cdx_node.h"

namespace xbase::cdx {

class CdxJournal {
public:
    struct SavedPage {
        uint32_t offset = 0;
        Page bytes{};
    };

    explicit CdxJournal(const std::string& indexPath);
    ~CdxJournal();
    CdxJournal(const CdxJournal&) = delete;
    CdxJournal& operator=(const CdxJournal&) = delete;

    const std::string& path() const { return path_; }
    // For an index whose only writer is this open: discard() clears the
    // journal's mark rather than emptying it, and it is emptied when this
    // object goes.
    void setKeepOpen(bool on) { keepOpen_ = on; }
    // A journal file with something in it exists (one stat, for every lock
    // taken). What the stat saw stands in for asking the kept file again in
    // save() until forget(): under the lock nobody else touches the journal.
    bool present();
    // The lock was given up: the journal may change from now on.
    void forget() { seen_.valid = false; }

    // Writes the journal of a change; it is complete once this returns.
    void save(off_t originalSize, const std::vector<SavedPage>& pages);
    // The change is fully written: the journal is emptied, which commits it.
    void discard();

    // True when the journal is complete and belongs to the index open on `fd`
    // as it stands (same file, its change not yet followed by another).
    bool pendingFor(int fd) const;
    // Undoes the journalled change on `fd` (open for writing, exclusive lock
    // held) if it is pending, then removes the journal whatever it held.
    // Gives true when pages were put back.
    bool rollBack(int fd);

private:
    struct Contents {
        off_t originalSize = 0;
        std::vector<SavedPage> pages;
    };
    // The journal's name as the last stat under the lock saw it.
    struct Seen {
        bool valid = false;
        bool exists = false;
        dev_t dev = 0;
        ino_t ino = 0;
        off_t size = 0;
    };
    bool load(int fd, Contents& out) const;
    void remove();
    bool keptFileNamed(off_t& size);


    std::string path_;
    std::string indexPath_;
    int fd_ = -1;   // the journal file, kept open between changes
    dev_t fdDev_ = 0;   // the file fd_ is open on
    ino_t fdIno_ = 0;
    Seen seen_;
    bool keepOpen_ = false;
    size_t keptPages_ = 0;
    bool cleared_ = false;   // the journal kept open holds no change
    // The bytes of the last journal written, kept for the next: a buffer
    // this large taken and given back for every change makes the allocator
    // sweep its free lists each time.
    std::vector<unsigned char> buf_;
    std::vector<SavedPage> padded_;
};

}  // namespace xbase::cdx
