// A table's row writes: straight to the files, or held in memory while the
// row is this open's alone and then committed as one record write and one
// change of each index.

#include <algorithm>

#include "xbase/engine_errors.h"
#include "xbase/engine_settings.h"
#include "xbase/error.h"
#include "xbase/key_changes.h"
#include "xbase/table.h"

namespace xbase {

namespace {

// The one table of this program whose row waits in memory.
Table* waitingTable = nullptr;

}  // namespace

void Table::commitWaitingRow(const Table* except) {
    if (waitingTable && waitingTable != except) waitingTable->commitRow();
}

std::vector<std::optional<std::string>> Table::keysOf(const std::vector<OpenTag>& ts, const std::string& record,
                                                      uint32_t recNo) {
    std::vector<std::optional<std::string>> keys;
    keys.reserve(ts.size());
    for (const auto& t : ts) keys.push_back(keyFor(t, record, recNo));
    return keys;
}

namespace {

bool sameSettings(const EvalSettings& a, const EvalSettings& b) {
    return a.exact == b.exact && a.century == b.century && a.epoch == b.epoch && a.dateFormat == b.dateFormat;
}

}  // namespace

void Table::noteRowKeys(const std::string& record) {
    rowKeysRecord_ = record;
    rowKeysSettings_ = settings().evalSettings();
    rowKeysTagsVersion_ = tagsVersion_;
    rowKeysKnown_ = true;
}

std::vector<std::optional<std::string>> Table::keysOfWaiting(const std::string& record, uint32_t recNo) {
    const bool known = rowKeysKnown_ && pendingRow_ == recNo && rowKeysTagsVersion_ == tagsVersion_ &&
                       rowKeys_.size() == tags_.size() && rowKeysRecord_.size() == record.size() &&
                       sameSettings(rowKeysSettings_, settings().evalSettings());
    if (!known) return keysOf(tags_, record, recNo);
    std::vector<std::optional<std::string>> keys;
    keys.reserve(tags_.size());
    for (std::size_t i = 0; i < tags_.size(); ++i) {
        const OpenTag& t = tags_[i];
        bool same = !t.readsMore;
        for (const auto& [offset, width] : t.reads) {
            if (!same) break;
            same = rowKeysRecord_.compare(std::size_t(offset), std::size_t(width), record, std::size_t(offset),
                                          std::size_t(width)) == 0;
        }
        keys.push_back(same ? rowKeys_[i] : keyFor(t, record, recNo));
    }
    return keys;
}

void Table::startWaiting(uint32_t recNo, std::vector<std::optional<std::string>> indexedKeys, bool owed) {
    commitWaitingRow(this);
    pendingRow_ = recNo;
    pendingTagsVersion_ = tagsVersion_;
    pendingHandOver_ = false;
    owedKeys_.assign(indexedKeys.size(), owed);
    indexedKeys_ = std::move(indexedKeys);
    waitingTable = this;
    CdxIndex::setBeforeOpen([] { commitWaitingRow(); });
}

void Table::forgetWaitingRow() {
    pendingRow_ = 0;
    pendingStored_.clear();
    indexedKeys_.clear();
    owedKeys_.clear();
    rowKeys_.clear();
    rowKeysKnown_ = false;
    if (waitingTable == this) waitingTable = nullptr;
}

void Table::update(uint32_t recNo, const std::string& record, bool handOverUniqueKeys, const std::string* onDisk,
                   bool mayWait) {
    if (readOnly()) throw XbaseError(kErrReadOnly, "table is open read-only: " + dbf_->path());
    adoptNewStructuralIndex();
    if (pendingRow_ && pendingRow_ != recNo) commitRow();
    if (mayWait) return holdRow(recNo, record, handOverUniqueKeys, onDisk);
    commitRow();
    writeThrough(recNo, record, handOverUniqueKeys, onDisk);
}

void Table::holdRow(uint32_t recNo, const std::string& record, bool handOverUniqueKeys, const std::string* onDisk) {
    // The tags as last read: the commit reads them again and starts over
    // when another program changed them meanwhile.
    if (pendingRow_ && pendingTagsVersion_ != tagsVersion_) commitRow();
    // Keys first, so that a failing expression leaves the row as it was.
    auto keys = keysOfWaiting(record, recNo);
    if (pendingRow_ != recNo) {
        std::string stored = onDisk ? *onDisk : dbf_->readRecord(recNo);
        auto indexed = keysOf(tags_, stored, recNo);
        dbf_->holdRecord(recNo, record);
        startWaiting(recNo, std::move(indexed), false);
        pendingStored_ = std::move(stored);
    } else {
        dbf_->holdRecord(recNo, record);
    }
    pendingHandOver_ = pendingHandOver_ || handOverUniqueKeys;
    rowKeys_ = std::move(keys);
    noteRowKeys(record);
    // An exclusive open has the row to itself too, but a key it moves is
    // in the tags when the call returns: a program killed afterwards leaves
    // every key it was told is written.
    // A write that moves none of the row's keys puts in every key the row
    // still owes, so that a row whose writes are all done is in every tag.
    const bool owes = std::find(owedKeys_.begin(), owedKeys_.end(), true) != owedKeys_.end();
    if (exclusive() && (rowKeys_ != indexedKeys_ || owes)) moveRowKeys(false);
}

void Table::commitPendingRow() {
    // Whatever fails, the row is no longer waiting.
    struct Forget {
        Table& t;
        ~Forget() { t.forgetWaitingRow(); }
    } forget{*this};
    moveRowKeys(true);
}

void Table::restartFromStored() {
    // Another program changed the tags: they hold the row as the file had it
    // (a shared open is never owed keys).
    const uint32_t recNo = pendingRow_;
    indexedKeys_ = keysOf(tags_, pendingStored_.empty() ? dbf_->storedRecord(recNo) : pendingStored_, recNo);
    owedKeys_.assign(tags_.size(), false);
    const std::string record = dbf_->readRecord(recNo);
    rowKeys_ = keysOf(tags_, record, recNo);
    noteRowKeys(record);
    pendingTagsVersion_ = tagsVersion_;
}

void Table::moveRowKeys(bool final) {
    const uint32_t recNo = pendingRow_;
    // A shared open learns whether another program changed the tags when
    // it moves the keys, not by a read of its own beforehand.
    const bool quick = !exclusive();
    const auto& ts = quick || !final ? tags_ : tags();
    if (pendingTagsVersion_ != tagsVersion_) restartFromStored();
    auto& indexed = indexedKeys_;
    const auto& keys = rowKeys_;
    std::vector<bool> handOver(ts.size(), false);
    for (std::size_t i = 0; pendingHandOver_ && i < ts.size(); ++i) {
        const auto& before = indexed[i];
        if (!ts[i].spec.unique || owedKeys_[i] || !before || before == keys[i]) continue;
        const auto kept = ts[i].index->seek(ts[i].spec.name, *before, false);
        handOver[i] = kept && kept->recno == recNo && kept->key == *before;
    }
    // The record reaches the file before its keys, so no tag ever holds a
    // key its row lacks.
    dbf_->writeHeld();
    KeyChanges changes;
    std::vector<bool> moved(ts.size(), false);
    const bool movesAny = keys != indexed;
    for (std::size_t i = 0; i < ts.size(); ++i) {
        if (owedKeys_[i]) {
            // A tag owed the row's key takes it at the commit, at once when
            // it changes, or with the others when this write moves no key.
            if (!final && movesAny && keys[i] == indexed[i]) continue;
            changes.move(ts[i], recNo, std::nullopt, keys[i]);
        } else {
            changes.move(ts[i], recNo, indexed[i], keys[i]);
        }
        moved[i] = true;
    }
    if (!quick) {
        changes.apply();
    } else if (!applyForKnownTags(changes)) {
        if (pendingTagsVersion_ == tagsVersion_) {
            changes.apply();
        } else {
            // Every tag as read now takes the row's move (twice does no
            // harm); the row's lock keeps the record as written meanwhile.
            restartFromStored();
            KeyChanges again;
            for (std::size_t i = 0; i < tags_.size(); ++i) again.move(tags_[i], recNo, indexedKeys_[i], rowKeys_[i]);
            again.apply();
            return;
        }
    }
    for (std::size_t i = 0; i < ts.size(); ++i) {
        if (!moved[i]) continue;
        owedKeys_[i] = false;
        if (handOver[i]) handOverKey(ts[i], *indexed[i], recNo);
        indexed[i] = keys[i];
    }
}

void Table::writeThrough(uint32_t recNo, const std::string& record, bool handOverUniqueKeys, const std::string* onDisk) {
    const auto& ts = tags();
    const std::string old = onDisk ? *onDisk : dbf_->readRecord(recNo);
    // Keys first, so that a failing expression leaves file and tags as they were.
    const auto before = keysOf(ts, old, recNo);
    const auto after = keysOf(ts, record, recNo);
    std::vector<bool> handOver(ts.size(), false);
    for (std::size_t i = 0; handOverUniqueKeys && i < ts.size(); ++i) {
        if (!ts[i].spec.unique || !before[i] || before[i] == after[i]) continue;
        const auto kept = ts[i].index->seek(ts[i].spec.name, *before[i], false);
        handOver[i] = kept && kept->recno == recNo && kept->key == *before[i];
    }
    dbf_->writeRecord(recNo, record);
    KeyChanges changes;
    for (std::size_t i = 0; i < ts.size(); ++i) changes.move(ts[i], recNo, before[i], after[i]);
    changes.apply();
    for (std::size_t i = 0; i < ts.size(); ++i) {
        if (handOver[i]) handOverKey(ts[i], *before[i], recNo);
    }
}

void Table::handOverKey(const OpenTag& tag, const std::string& key, uint32_t leaving) {
    // The tag has no way to find the other rows with this key; the table has.
    // The write itself has succeeded: a damaged row met here does not undo it.
    try {
        const uint32_t count = dbf_->recordCount();
        for (uint32_t r = 1; r <= count; ++r) {
            if (r == leaving) continue;
            if (keyFor(tag, dbf_->readRecord(r), r) == key) {
                tag.index->insert(tag.spec.name, IndexEntry{key, r});
                return;
            }
        }
    } catch (const XbaseError&) {
    }
}

}  // namespace xbase
