// Walking a table: first, next, prior, last, refresh and re-settling on
// the engine's position.
#include "tables/db_errors.h"
#include "tables/filter_text.h"
#include "tables/table.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

using tables::cursors;
using tables::kOk;

void TTable::takeRecord(std::string record) {
    record_ = std::move(record);
    int32_t recNo = 0;
    check(cursors().GetBookMark(cursor_, recNo));
    recNo_ = recNo;
}

void TTable::becomeEmpty() {
    check(cursors().InitRecord(cursor_, record_));
    recNo_ = 0;
    bof_ = eof_ = true;
}

bool TTable::fetchFirst() {
    check(cursors().SetToBegin(cursor_));
    std::string record;
    const tables::DBIResult rc = cursors().GetNextRecord(cursor_, false, &record, nullptr);
    if (rc == tables::kEndOfTable) {
        becomeEmpty();
        return false;
    }
    check(rc);
    takeRecord(std::move(record));
    bof_ = true;
    eof_ = false;
    return true;
}

void TTable::First() {
    requireActive();
    CheckBrowseMode();
    fetchFirst();
    notify(deDataSetChange);
    fire(AfterScroll);
}

void TTable::Next() {
    requireActive();
    CheckBrowseMode();
    if (eof_) return;
    bof_ = false;
    positionEngine();
    std::string record;
    const tables::DBIResult rc = cursors().GetNextRecord(cursor_, false, &record, nullptr);
    if (rc == tables::kEndOfTable) {
        eof_ = true;
        return;
    }
    check(rc);
    takeRecord(std::move(record));
    bof_ = false;
    notify(deDataSetScroll);
    fire(AfterScroll);
}

void TTable::Prior() {
    requireActive();
    CheckBrowseMode();
    if (bof_) return;
    eof_ = false;
    positionEngine();
    std::string record;
    const tables::DBIResult rc = cursors().GetPriorRecord(cursor_, false, &record, nullptr);
    if (rc == tables::kBeginOfTable) {
        bof_ = true;
        return;
    }
    check(rc);
    takeRecord(std::move(record));
    eof_ = false;
    notify(deDataSetScroll);
    fire(AfterScroll);
}

void TTable::Last() {
    requireActive();
    CheckBrowseMode();
    check(cursors().SetToEnd(cursor_));
    std::string record;
    const tables::DBIResult rc = cursors().GetPriorRecord(cursor_, false, &record, nullptr);
    if (rc == tables::kBeginOfTable) {
        becomeEmpty();
    } else {
        check(rc);
        takeRecord(std::move(record));
        bof_ = false;
        eof_ = true;
    }
    notify(deDataSetChange);
    fire(AfterScroll);
}

bool TTable::IsEmpty() const { return state_ != dsInsert && bof_ && eof_; }

int TTable::RecordCount() {
    requireActive();
    int32_t count = 0;
    check(cursors().GetRecordCount(cursor_, count));
    return count;
}

void TTable::positionEngine() {
    if (recNo_ > 0) check(cursors().SetToBookMark(cursor_, recNo_));
    else check(cursors().SetToBegin(cursor_));
}

// Stays on recNo when it is still visible, else takes the next visible
// record, else the previous one, else the table is empty.
void TTable::settleOn(int32_t recNo) {
    std::string record;
    if (recNo > 0) {
        check(cursors().SetToBookMark(cursor_, recNo));
        tables::DBIResult rc = cursors().GetRecord(cursor_, false, &record, nullptr);
        if (rc == kOk) {
            takeRecord(std::move(record));
            bof_ = eof_ = false;
            return;
        }
        if (rc != tables::kRecordNotVisible && rc != tables::kEndOfTable && rc != tables::kBeginOfTable) check(rc);
        rc = cursors().GetNextRecord(cursor_, false, &record, nullptr);
        if (rc == kOk) {
            takeRecord(std::move(record));
            bof_ = eof_ = false;
            return;
        }
        if (rc != tables::kEndOfTable) check(rc);
    }
    if (!fetchFirst()) return;
    check(cursors().SetToEnd(cursor_));
    check(cursors().GetPriorRecord(cursor_, false, &record, nullptr));
    takeRecord(std::move(record));
    bof_ = false;
    eof_ = true;
}

// The record just written stays current. Only a filter, a range it left or
// a deletion can hide it, and only then is it looked for by walking the
// order (the engine stands on it after the write).
void TTable::settleOnPosted(int32_t recNo) {
    std::string record;
    if (!filtered_ && postedKeyInRange() &&
        cursors().GetPostedRecord(cursor_, recNo, &record) == kOk) {
        takeRecord(std::move(record));
        bof_ = eof_ = false;
        return;
    }
    settleOn(recNo);
}

void TTable::Refresh() {
    requireActive();
    CheckBrowseMode();
    if (recNo_ > 0) settleOn(recNo_);
    else fetchFirst();
    notify(deDataSetChange);
}

void TTable::resyncFromEngine() {
    if (!Active()) return;
    tables::selectArea(cursor_);
    if (sx_Eof() || sx_RecNo() > sx_RecCount()) {
        Last();
        eof_ = true;
        return;
    }
    settleOn(sx_RecNo());
    notify(deDataSetChange);
}

bool TTable::Locate(const std::string& fieldName, const std::string& value, bool caseInsensitive) {
    requireActive();
    CheckBrowseMode();
    TField& field = FieldByName(fieldName);
    const std::string text =
        tables::lookupFilterText(field.FieldName(), value, caseInsensitive, field.DataType() == ftString);
    int handle = 0;
    check(cursors().AddFilter(cursor_, text, 2, nullptr, handle));
    std::string record;
    tables::DBIResult rc = cursors().ActivateFilter(cursor_, handle);
    if (rc == kOk) rc = cursors().GetNextRecord(cursor_, false, &record, nullptr);
    cursors().DropFilter(cursor_, handle);
    if (rc == tables::kEndOfTable) {
        positionEngine();
        return false;
    }
    check(rc);
    return landOn(std::move(record));
}

// A found record becomes the current one, as a scroll to it would.
bool TTable::landOn(std::string record) {
    takeRecord(std::move(record));
    bof_ = eof_ = false;
    notify(deDataSetScroll);
    fire(AfterScroll);
    return true;
}

bool TTable::FindKey(const std::string& key) {
    requireActive();
    CheckBrowseMode();
    if (filtered_) throw EDatabaseError(TableName + ": Cannot find a key in a filtered dataset");
    std::string record;
    const tables::DBIResult rc = cursors().GetRecordForKey(cursor_, true, 0, key, &record);
    if (rc == tables::kKeyNotFound) return false;
    check(rc);
    return landOn(std::move(record));
}
