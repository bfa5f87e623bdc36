#pragma once
// One work area: an open table with its cursor (current record, Bof/Eof,
// the phantom record past the end), active order, scope, query and record
// locks. A position in an order is the pair (key, record number), so it
// survives keys that other programs insert or remove meanwhile.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "xbase/table.h"

namespace xbase {

class WorkArea {
public:
    WorkArea(std::unique_ptr<Table> table, std::string alias, std::string path);
    ~WorkArea();

    Table& table() { return *table_; }
    const std::string& alias() const { return alias_; }
    const std::string& path() const { return path_; }

    // Movement under order, scope, query and the deleted setting.
    void goTop();
    void goBottom();
    void skip(int32_t count);
    void go(uint32_t recNo);
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    uint32_t recNo() const;
    uint32_t count();
    uint32_t orderPosition();
    bool seek(const std::string& key);
    bool seekAfter(const std::string& key);

    // The record buffer: the current record as read, sx_RecSize bytes.
    char* buffer() { return buffer_.data(); }
    const std::string& bufferRecord() const { return buffer_; }
    // The current record for reads: read afresh from disk unless the caller
    // has changed the buffer in place (then the buffer as it is) or this
    // area holds the record's lock (then as this area last read or wrote it).
    const std::string& readRecord();
    bool onRecord() const { return !phantom_; }
    void refresh();

    int order();
    void setOrder(int order);
    const OpenTag* activeTag();
    const OpenTag& tagOf(int order);
    void setScope(const std::string& low, const std::string& high);
    bool hasScope() const { return scopeLow_.has_value() || scopeHigh_.has_value(); }
    void setQuery(const std::string& text);
    const std::string& queryText() const { return queryText_; }
    // The key the active order gives the record buffer.
    std::string currentKey();
    // A key text as the caller writes it, in the tag's stored form.
    std::string searchKey(const OpenTag& tag, const std::string& text, bool exact) const;

    // Writes (each under the record's lock, taken for the write when not held).
    void putRecord(const std::string& record);
    void replaceField(const FieldDef& field, int kind, const void* value);
    void deleteRecord();
    uint32_t append();
    // append and putRecord in one: under a shared open the row goes to disk
    // whole, with its keys, in one step (no blank row, no placeholder keys);
    // it stays locked only when asked.
    uint32_t appendRecord(const std::string& record, bool keepLock);
    void putBlob(const FieldDef& field, const std::string& data);

    bool lock(uint32_t recNo);
    void unlock(uint32_t recNo);
    void unlockAll();

private:
    uint32_t appendRow(const std::string& record, bool blank, bool keepLock);

    struct Position {
        uint32_t recNo = 0;
        std::string key;
    };
    class WriteLock;

    bool visible(const std::string& record, uint32_t recNo);
    // Stepping over positions of the active order (or record numbers).
    std::optional<Position> firstPos();
    std::optional<Position> lastPos();
    std::optional<Position> nextPos(Position p);
    std::optional<Position> prevPos(const Position& p);
    std::optional<Position> fromEntry(std::optional<IndexEntry>&& e);
    int scopeSide(const std::string& key);  // -1 before the scope, 0 inside, 1 after
    std::optional<Position> firstVisibleFrom(std::optional<Position> p, bool forward);
    std::optional<Position> settleFrom(std::optional<IndexEntry> e);
    void settle(const Position& p, const std::string& record);
    // One step forward in the active order without copying keys or records
    // (an exclusive open with no scope or filter); false when it cannot tell.
    bool quickStep();
    void settleOn(uint32_t recNo, const char* record);
    void setPhantom();
    Position currentPosition();
    void afterWrite(const std::string& record);
    // Whether the current row's writes may wait in memory: nobody else can
    // change it until this area lets it go.
    bool rowIsOurs() const;
    // The current record as stored (or as this open holds it back).
    std::string storedRecord() const;
    void setShadowStored();
    std::string keyOfBuffer(const OpenTag& tag);

    std::unique_ptr<Table> table_;
    std::string alias_;
    std::string path_;
    std::string buffer_;
    std::string shadow_;  // the buffer as the engine last filled it
    // Shared opens: shadow_ is the current record as stored, and this
    // area's lock on it keeps it so (no need to read it again).
    bool shadowStored_ = false;
    uint32_t recNo_ = 0;
    std::string posKey_;
    IndexEntry step_;   // quickStep's entry, kept for its key's storage
    bool phantom_ = true;
    bool bof_ = true;
    bool eof_ = true;
    std::string orderName_;
    CdxIndex* orderIndex_ = nullptr;
    const OpenTag* activeTag_ = nullptr;   // the active order's tag as of activeTagsVersion_
    uint64_t activeTagsVersion_ = 0;
    std::optional<std::string> scopeLow_;
    std::optional<std::string> scopeHigh_;
    std::string queryText_;
    Expression query_;
    std::set<uint32_t> locks_;
    uint32_t appendLock_ = 0;
    // The record this area appended and has not left since: the keys its
    // writes replace are the blank record's placeholders, so unique tags need
    // not look for another holder of them.
    uint32_t freshAppend_ = 0;
};

}  // namespace xbase
