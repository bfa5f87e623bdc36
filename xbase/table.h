#pragma once
// One open of a table with its memo file and compound indexes: record
// reads, writes and appends that keep every tag of every open index in
// step, memo storage, tag building, pack and zap. A work area owns one.

#include <memory>
#include <optional>
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
};

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
    // onDisk, when given, is the record as the caller just read it under its lock.
    void update(uint32_t recNo, const std::string& record, bool handOverUniqueKeys = true,
                const std::string* onDisk = nullptr);
    // Appends under the header lock, with the record's keys in every tag.
    // Under an exclusive open the new row's keys wait instead: each tag takes
    // its key at the first write that changes it, the rest at commitRow().
    uint32_t append(const std::string& record, int lockTimeoutMs);
    // Gives the tags every key the appended row still owes them; called
    // before anything reads a tag, writes another row, or closes.
    void commitRow() {
        if (pendingRow_) insertPendingKeys();
    }
    void pack();
    void zap();
    std::string blankRecord() const;

private:
    struct IndexFile {
        std::unique_ptr<CdxIndex> index;
        uint32_t seenCounter = 0;
        std::vector<CdxTagSpec> specs;
    };
    void insertPendingKeys();
    void handOverKey(const OpenTag& tag, const std::string& key, uint32_t leaving);
    void loadTags(bool force);
    void adoptNewStructuralIndex();
    void rebuildAllTags(const std::vector<std::string>& records);
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
    // The row appended under an exclusive open whose keys are not all in
    // place (0: none), and per tag of tags_ whether its key is still owed.
    uint32_t pendingRow_ = 0;
    std::vector<bool> owedKeys_;
    std::vector<std::optional<std::string>> rowKeys_;   // its keys as its record stands
};

}  // namespace xbase
