#pragma once
// One open of a table with its memo file and compound indexes: record
// reads, writes and appends that keep every tag of every open index in
// step, memo storage, tag building, pack and zap. A work area owns one.

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "xbase/cdx/cdx_index.h"
#include "xbase/dbf_file.h"
#include "xbase/expr/expression.h"
#include "xbase/fpt_file.h"

namespace xbase {

// A tag ready for use: its spec, compiled key and condition, and its file.
struct OpenTag {
    CdxTagSpec spec;
    Expression key;
    Expression condition;   // empty when the tag has none
    CdxIndex* index = nullptr;
    ValueType keyType = ValueType::Character;
    // The record bytes (offset, length) key and condition read, and whether
    // they read more than those (clock, memo text): a record that differs
    // from another nowhere in them has the same key.
    std::vector<std::pair<int, int>> reads;
    bool readsMore = false;
    bool readsRecNo = false;
    // The key is this one field (index into the table's fields) as the
    // record holds it, read without evaluating the expression; -1 otherwise.
    int keyField = -1;
};

class KeyChanges;

class Table {
public:
    Table(const std::string& path, OpenMode mode, int driver);
    ~Table();

    DbfFile& dbf() { return *dbf_; }
    const std::vector<FieldDef>& fields() const { return dbf_->fields(); }
    int driver() const { return driver_; }
    bool readOnly() const { return dbf_->readOnly(); }
    bool exclusive() const { return dbf_->mode() == OpenMode::Exclusive; }

    // The tags of every open index in order (order n = tags()[n-1]); reread
    // when another program changed an index's directory.
    const std::vector<OpenTag>& tags();
    // Changes whenever tags() gives a new list (pointers into the old one go stale).
    uint64_t tagsVersion() const { return tagsVersion_; }
    // Opens a further compound index file; answers the number of its first tag.
    int openIndex(const std::string& path);
    // Creates or replaces a tag from the current records; answers its order.
    int createTag(const std::string& file, const CdxTagSpec& spec);
    std::string structuralIndexPath() const;

    // The key the tag stores for record, nullopt when its condition excludes it.
    std::optional<std::string> keyFor(const OpenTag& tag, const std::string& record, uint32_t recNo);
    Value evaluate(const Expression& e, const std::string& record, uint32_t recNo);

    std::string memoText(const FieldDef& f, const std::string& record);
    uint32_t memoBlock(const FieldDef& f, const std::string& record) const;
    // Stores data in fresh memo blocks under the memo lock and answers the
    // field text pointing to them (blanks for empty data).
    std::string storeMemo(const FieldDef& f, const std::string& data, uint32_t type);

    // Writes record recNo and moves its keys; the caller holds its lock.
    // When the record was the one a unique tag kept for its old key, the
    // key passes to the first other record that has it, so that a seek
    // still finds that key; handOverUniqueKeys false skips that search
    // (a just appended blank record gives up only its placeholder keys).
    // onDisk, when given, is the record as the caller knows it is stored.
    // mayWait: nobody else may change the row until this open lets it go
    // (an exclusive open, or the row locked by this open); the record and
    // its keys then wait in memory, for this open's reads, until commitRow().
    void update(uint32_t recNo, const std::string& record, bool handOverUniqueKeys = true,
                const std::string* onDisk = nullptr, bool mayWait = false);
    // Appends under the header lock, with the record's keys in every tag.
    // Under an exclusive open the new row waits instead, keys and all.
    // lockedHere: the records whose locks this open holds.
    uint32_t append(const std::string& record, int lockTimeoutMs, const std::set<uint32_t>& lockedHere);
    // Writes the waiting row once and moves every key it changed in one
    // change of each index; called before anything reads a tag, writes
    // another row, lets the row's lock go, or closes.
    void commitRow() {
        if (pendingRow_) commitPendingRow();
    }
    // The row waiting in memory (0: none).
    uint32_t pendingRow() const { return pendingRow_; }
    // Commits the waiting row of whichever table of this program has one
    // (at most one has), unless it is except's: a read of the files by any
    // other open must find it there.
    static void commitWaitingRow(const Table* except = nullptr);
    void pack();
    void zap();
    std::string blankRecord() const;

private:
    struct IndexFile {
        std::unique_ptr<CdxIndex> index;
        uint32_t seenCounter = 0;
        std::vector<CdxTagSpec> specs;
        uint64_t seenForeign = 0;   // its foreignGeneration() when specs were last known current
    };
    // Applies changes worked out from tags_ without reading the tags first;
    // when another program changed an index meanwhile, reads the tags again
    // and answers false (changes not all made). oneByOne: see
    // CdxIndex::applyIfUnchanged.
    bool applyForKnownTags(KeyChanges& changes, bool oneByOne = false);
    // Reads the tags again now, whatever this call read before.
    void reloadTags();
    void commitPendingRow();
    void holdRow(uint32_t recNo, const std::string& record, bool handOverUniqueKeys, const std::string* onDisk);
    void writeThrough(uint32_t recNo, const std::string& record, bool handOverUniqueKeys, const std::string* onDisk);
    void startWaiting(uint32_t recNo, std::vector<std::optional<std::string>> indexedKeys, bool owed);
    // Writes the waiting record and moves the keys it changed (final: and
    // gives the tags every key still owed).
    void moveRowKeys(bool final);
    void restartFromStored();
    void forgetWaitingRow();
    std::vector<std::optional<std::string>> keysOf(const std::vector<OpenTag>& ts, const std::string& record, uint32_t recNo);
    // The keys of the waiting row's record as changed: a tag that reads none
    // of the bytes changed since rowKeys_ were worked out keeps its key.
    std::vector<std::optional<std::string>> keysOfWaiting(const std::string& record, uint32_t recNo);
    // rowKeys_ are now the keys of record under the settings as they are.
    void noteRowKeys(const std::string& record);
    void handOverKey(const OpenTag& tag, const std::string& key, uint32_t leaving);
    void loadTags(bool force);
    void adoptNewStructuralIndex();
    void rebuildAllTags(const std::vector<std::string>& records);
    // Gives the last row the keys a program killed while appending it did
    // not give it (table_last_row.cpp).
    void keyLastRowIfKeyless(uint32_t count, bool lockedHere);
    bool lastRowLacksKeys(uint32_t recNo, KeyChanges& missing);
    void keyLastRowAtOpen();
    std::vector<IndexEntry> entriesFor(const OpenTag& tag, const std::vector<std::string>& records);
    OpenTag compileTag(const CdxTagSpec& spec, CdxIndex* index) const;

    std::unique_ptr<DbfFile> dbf_;
    std::unique_ptr<FptFile> fpt_;
    std::vector<IndexFile> indexes_;
    std::vector<OpenTag> tags_;
    int driver_;
    bool hasStructural_ = false;
    uint64_t tagsCheckedInCall_ = ~uint64_t{0};
    uint64_t tagsVersion_ = 1;
    uint32_t lastRowChecked_ = 0;   // the count whose last row was last seen keyed
    // The row whose writes wait in memory (0: none); per tag of tags_ (as
    // of pendingTagsVersion_) the key it holds for the row in the file, or,
    // when owed (a row appended under an exclusive open), the one it is to
    // take; and the row's keys as the waiting record stands.
    uint32_t pendingRow_ = 0;
    uint64_t pendingTagsVersion_ = 0;
    bool pendingHandOver_ = false;
    std::vector<std::optional<std::string>> indexedKeys_;
    std::vector<bool> owedKeys_;
    std::string pendingStored_;   // shared opens: the row as stored when it began to wait
    std::vector<std::optional<std::string>> rowKeys_;
    // The record, settings and tags rowKeys_ were worked out from.
    bool rowKeysKnown_ = false;
    std::string rowKeysRecord_;
    EvalSettings rowKeysSettings_;
    uint64_t rowKeysTagsVersion_ = 0;
    // The keys of a blank record as the last exclusive append worked them
    // out, for the tags that read neither the record number nor more than
    // the record, under these settings and tags.
    bool blankKeysKnown_ = false;
    std::vector<std::optional<std::string>> blankKeys_;
    std::string blankKeysRecord_;
    EvalSettings blankKeysSettings_;
    uint64_t blankKeysTagsVersion_ = 0;
};

}  // namespace xbase
