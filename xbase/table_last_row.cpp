// The last row of a table whose appending program was killed after the
// record and the count reached the table but before the row's keys reached
// the tags.

#include "xbase/engine_errors.h"
#include "xbase/error.h"
#include "xbase/file_lock.h"
#include "xbase/key_changes.h"
#include "xbase/table.h"

namespace xbase {

// False when some tag holds the row (a unique tag may keep another row for
// the key, so it tells nothing); otherwise `missing` gets the row's keys.
bool Table::rowIsKeyless(uint32_t recNo, KeyChanges& missing) {
    const std::string record = dbf_->readRecord(recNo);
    for (const auto& t : tags()) {
        auto key = keyFor(t, record, recNo);
        if (!key) continue;
        if (!t.spec.unique && t.index->holds(t.spec.name, IndexEntry{*key, recNo})) return false;
        missing.add(t, IndexEntry{std::move(*key), recNo}, true);
    }
    return true;
}

// Such a row is the last one, no live program holds its lock, and no tag
// holds it; a row that some tag holds was not left so. Called under the
// header lock (or an exclusive open), so no append is half done meanwhile.
// lockedHere: this open holds the row's lock (so nobody else does).
// Best effort: whatever fails here leaves the open as it would have been.
void Table::keyLastRowIfKeyless(uint32_t count, bool lockedHere) {
    lastRowChecked_ = count;
    if (count == 0 || readOnly()) return;
    try {
        // Leaving the row alone is always safe: the usual answer needs no lock.
        KeyChanges unlocked;
        if (!rowIsKeyless(count, unlocked)) return;
        RangeLock row;
        if (!exclusive() && !lockedHere) {
            if (!lockRange(dbf_->fd(), lock_region::kRecord + count, 1, true, 0)) return;   // a live program has it
            row = RangeLock(dbf_->fd(), lock_region::kRecord + count, 1);
        }
        KeyChanges missing;
        if (rowIsKeyless(count, missing)) missing.apply();
    } catch (const XbaseError&) {
    }
}

// An open that may write looks once, if no append is under way (the
// appender then looks itself before its own row).
void Table::keyLastRowAtOpen() {
    if (readOnly() || tags_.empty()) return;
    if (exclusive()) return keyLastRowIfKeyless(dbf_->recordCount(), false);
    if (!lockRange(dbf_->fd(), lock_region::kHeader, 1, true, 0)) return;
    RangeLock header(dbf_->fd(), lock_region::kHeader, 1);
    keyLastRowIfKeyless(dbf_->recordCount(), false);   // a fresh open holds no record lock
}

}  // namespace xbase
