// The last row of a table whose appending program was killed after the
// record and the count reached the table but before all of the row's keys
// reached the tags.

#include "xbase/engine_errors.h"
#include "xbase/error.h"
#include "xbase/file_lock.h"
#include "xbase/key_changes.h"
#include "xbase/table.h"

namespace xbase {

// The changes that give the last row the keys it lacks; false when it
// lacks none, or when a tag holds one of the row's keys that a blank row
// does not have (only a finished write of the row puts that there; a unique
// tag may keep another row for the key, so it tells nothing). Otherwise
// every tag takes the row's key, and loses the key a blank row has where
// the two differ: the append's own key, whose row was written since.
bool Table::lastRowLacksKeys(uint32_t recNo, KeyChanges& missing) {
    const std::string record = dbf_->readRecord(recNo);
    const std::string blank = blankRecord();
    const auto& ts = tags();
    std::vector<std::optional<std::string>> keys, blanks;
    for (const auto& t : ts) {
        keys.push_back(keyFor(t, record, recNo));
        blanks.push_back(record == blank ? keys.back() : keyFor(t, blank, recNo));
    }
    // What the tags hold of both, asked of each index file at once.
    std::vector<char> holdsKey(ts.size(), 0), holdsBlank(ts.size(), 0);
    for (const auto& f : indexes_) {
        std::vector<std::pair<std::string, IndexEntry>> asked;
        std::vector<char*> answers;
        for (std::size_t i = 0; i < ts.size(); ++i) {
            if (ts[i].index != f.index.get()) continue;
            if (keys[i]) {
                asked.push_back({ts[i].spec.name, IndexEntry{*keys[i], recNo}});
                answers.push_back(&holdsKey[i]);
            }
            if (blanks[i] && blanks[i] != keys[i]) {
                asked.push_back({ts[i].spec.name, IndexEntry{*blanks[i], recNo}});
                answers.push_back(&holdsBlank[i]);
            }
        }
        if (asked.empty()) continue;
        const std::vector<bool> held = f.index->holdsEach(asked);
        for (std::size_t k = 0; k < held.size(); ++k) *answers[k] = held[k];
    }
    for (std::size_t i = 0; i < ts.size(); ++i) {
        if (!ts[i].spec.unique && keys[i] && keys[i] != blanks[i] && holdsKey[i]) return false;
    }
    for (std::size_t i = 0; i < ts.size(); ++i) {
        if (keys[i] && !holdsKey[i]) missing.add(ts[i], IndexEntry{*keys[i], recNo}, true);
        if (holdsBlank[i]) missing.add(ts[i], IndexEntry{*blanks[i], recNo}, false);
    }
    return !missing.empty();
}

// Such a row is the last one and no live program holds its lock. Called
// under the header lock (or an exclusive open), so no append is half done
// meanwhile.
// lockedHere: this open holds the row's lock (so nobody else does).
// Best effort: whatever fails here leaves the open as it would have been.
void Table::keyLastRowIfKeyless(uint32_t count, bool lockedHere) {
    lastRowChecked_ = count;
    if (count == 0 || readOnly()) return;
    try {
        // Leaving the row alone is always safe: the usual answer needs no lock.
        KeyChanges unlocked;
        if (!lastRowLacksKeys(count, unlocked)) return;
        RangeLock row;
        if (!exclusive() && !lockedHere) {
            if (!lockRange(dbf_->fd(), lock_region::kRecord + count, 1, true, 0)) return;   // a live program has it
            row = RangeLock(dbf_->fd(), lock_region::kRecord + count, 1);
        }
        KeyChanges missing;
        if (lastRowLacksKeys(count, missing)) missing.apply();
    } catch (const XbaseError&) {
    }
}

// An open that may write looks once, if no append is under way (the
// appender then looks itself before its own row). The usual last row has
// its keys, which a look without the header lock tells as surely (an
// append half done shows as keys lacking), so that other programs'
// appends need not wait for an open that finds it so.
void Table::keyLastRowAtOpen() {
    if (readOnly() || tags_.empty()) return;
    if (exclusive()) return keyLastRowIfKeyless(dbf_->recordCount(), false);
    try {
        const uint32_t count = dbf_->recordCount();
        KeyChanges none;
        if (count == 0 || !lastRowLacksKeys(count, none)) {
            lastRowChecked_ = count;
            return;
        }
    } catch (const XbaseError&) {
    }
    if (!lockRange(dbf_->fd(), lock_region::kHeader, 1, true, 0)) return;
    RangeLock header(dbf_->fd(), lock_region::kHeader, 1);
    keyLastRowIfKeyless(dbf_->recordCount(), false);   // a fresh open holds no record lock
}

}  // namespace xbase
