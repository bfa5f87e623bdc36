#pragma once
// A FoxPro compound index file (.cdx): a directory of named tags, each a
// B-tree of (key, record number) entries, shared by several processes.
// Every call takes the file's index lock (shared to read, exclusive to
// write) for its whole duration, so callers need no locking of their own.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/value.h"

namespace xbase {

struct CdxTagSpec {
    std::string name;            // upper case, <= 10 chars
    std::string keyExpression;   // as text (stored in the file)
    std::string forExpression;   // "" = none
    bool unique = false;
    bool descending = false;
    // 'C' character keys; 'N' numeric and 'D' date keys are 8-byte encoded
    // doubles; 'L' logical keys are "T"/"F". The file does not record it: for
    // tags read from a file this is what setKeyType() said, else a guess ('N'
    // for a bare field name keyed in 8 bytes, otherwise 'C').
    char keyType = 'C';
    int keyLength = 0;           // bytes (8 for N and D)
};

// One index entry; key in stored (encoded) form, keyLength bytes.
struct IndexEntry {
    std::string key;
    uint32_t recno = 0;
    bool operator==(const IndexEntry&) const = default;
};

// One key change of a record, for CdxIndex::apply.
struct IndexChange {
    std::string tag;
    IndexEntry entry;
    bool insert = true;   // false: remove the entry
};

// Encodes an evaluated key value the way the tag stores it: character keys
// cut or padded with blanks to keyLength; numbers and dates (as Julian day
// numbers) as 8-byte doubles transformed so that bytewise order is numeric
// order; logical values as "T" / "F".
std::string encodeKey(const Value& v, const CdxTagSpec& tag);
// The 8-byte form of a number, and back.
std::string encodeNumberKey(double d);
double decodeNumberKey(std::string_view key);

class CdxIndex {
public:
    static std::unique_ptr<CdxIndex> open(const std::string& path, bool readOnly); // XbaseError on a corrupt file
    // Runs before every open(): the table engine puts there the row it keeps
    // in memory, so that a fresh open of any index reads it.
    static void setBeforeOpen(void (*hook)());
    static std::unique_ptr<CdxIndex> create(const std::string& path);             // empty compound index (replaces a file)
    ~CdxIndex();
    CdxIndex(const CdxIndex&) = delete;
    CdxIndex& operator=(const CdxIndex&) = delete;

    const std::string& path() const;
    std::vector<CdxTagSpec> tags();                                                // in the order they were made
    std::optional<CdxTagSpec> tag(const std::string& name);                        // case-insensitive

    // Creates or replaces a tag built from the given entries (any order).
    // Unique tags keep the entry with the lowest record number of each key.
    void createTag(const CdxTagSpec& def, std::vector<IndexEntry> entries);
    void dropTag(const std::string& name);

    // Maintenance, each under the index lock. A unique tag keeps the entry
    // already present for a key and ignores later ones; removing that entry
    // leaves the key out of the tag until it is rebuilt or the key is
    // inserted again. Removing an entry that is not there does nothing.
    void insert(const std::string& tag, const IndexEntry& e);
    void remove(const std::string& tag, const IndexEntry& e);
    // The changes in order, as insert and remove make them, under one hold
    // of the lock and written as one change: a writer killed meanwhile
    // leaves all of them or none.
    void apply(const std::vector<IndexChange>& changes);
    // apply() unless another open may have changed the file since
    // foreignGeneration() answered seen: then false, with nothing changed,
    // so that a caller working from what it read before can read it again.
    // oneByOne: the changes are inserts into distinct tags that the caller
    // can complete after a kill; when each stays on one page in place they
    // are written without the journal, and a writer killed meanwhile leaves
    // some of them made and the others not, every tag whole.
    bool applyIfUnchanged(const std::vector<IndexChange>& changes, uint64_t seen, bool oneByOne = false);
    // Changes whenever the file may have been changed by another open.
    uint64_t foreignGeneration() const;
    // The index belongs to a table opened exclusive (see CdxFile::setSoleWriter).
    void setSoleWriter(bool on);

    // Stateless navigation in tag order: ascending tags run by (key, recno)
    // ascending, descending tags by (key, recno) descending.
    std::optional<IndexEntry> first(const std::string& tag);
    std::optional<IndexEntry> last(const std::string& tag);
    // The entry after / before `from` in tag order, even if `from` was removed meanwhile.
    std::optional<IndexEntry> next(const std::string& tag, const IndexEntry& from);
    std::optional<IndexEntry> prev(const std::string& tag, const IndexEntry& from);
    // next() in place: `at` becomes the entry after it (its key text reused,
    // so a walk allocates nothing); false at the end, `at` left as it was.
    // `following`, when given, is told the record number of the entry after
    // that one when it is already at hand (0 when not), for reading ahead.
    bool stepNext(const std::string& tag, IndexEntry& at, uint32_t* following = nullptr);
    // First entry in tag order whose key is not before `key`, comparing only
    // key.size() bytes when partial (a full key shorter than the key length
    // is padded with blanks, or zero bytes for numeric keys).
    std::optional<IndexEntry> seek(const std::string& tag, const std::string& key, bool partial);
    // Whether the tag has exactly this entry.
    bool holds(const std::string& tag, const IndexEntry& e);
    // The same for each (tag, entry), asked under one hold of the lock.
    std::vector<bool> holdsEach(const std::vector<std::pair<std::string, IndexEntry>>& entries);

    // Changes whenever an open of the file (any process, this one included) wrote.
    uint32_t changeCounter();
    // The same read without the index lock, and whether the changes from
    // `since` to `now` were all this object's own (which leave the tag
    // directory as it was unless they made or dropped a tag).
    uint32_t peekChangeCounter();
    bool changedOnlyHere(uint32_t since, uint32_t now) const;

    // Tells how the tag's keys are typed ('C', 'N', 'D' or 'L'), which the file
    // does not record; it decides which byte trailing compression drops
    // (blank or zero). Call it for each tag after open, from the compiled key
    // expression's type. Kept for the life of this object.
    void setKeyType(const std::string& tag, char keyType);

private:
    class Impl;
    explicit CdxIndex(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace xbase
