// Editing a table: edit under a record lock, insert, post, cancel, delete.
#include "tables/db_errors.h"
#include "tables/table.h"

using tables::cursors;
using tables::kOk;

void TTable::CheckBrowseMode() {
    requireActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    if (modified_) Post();
    else Cancel();
}

void TTable::Edit() {
    requireActive();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (ReadOnly) throw EDatabaseError(TableName + ": Cannot modify a read-only dataset");
    if (IsEmpty()) return Insert();
    // Lock the record and start from what is on disk now, not from what was
    // read when the table last moved.
    positionEngine();
    std::string record;
    check(cursors().GetRecord(cursor_, true, &record, nullptr));
    record_ = record;
    edit_ = std::move(record);
    modified_ = false;
    state_ = dsEdit;
    notify(deUpdateState);
    notify(deRecordChange);
    fire(AfterEdit);
}

void TTable::startInsert() {
    requireActive();
    CheckBrowseMode();
    if (ReadOnly) throw EDatabaseError(TableName + ": Cannot modify a read-only dataset");
    check(cursors().InitRecord(cursor_, edit_));
    state_ = dsInsert;
    modified_ = false;
    fillMasterFields();
    notify(deUpdateState);
    notify(deDataSetChange);
    fire(AfterInsert);
}

void TTable::Insert() { startInsert(); }
void TTable::Append() { startInsert(); }

void TTable::Post() {
    requireActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    fire(BeforePost);
    notify(deUpdateRecord);
    if (state_ == dsEdit) {
        check(cursors().ModifyRecord(cursor_, edit_, true));
        state_ = dsBrowse;
        settleOnPosted(recNo_);
    } else {
        check(cursors().InsertRecord(cursor_, false, edit_));
        int32_t newRecNo = 0;
        check(cursors().GetBookMark(cursor_, newRecNo));
        state_ = dsBrowse;
        settleOnPosted(newRecNo);
    }
    edit_.clear();
    modified_ = false;
    notify(deUpdateState);
    notify(deDataSetChange);
    fire(AfterPost);
}

void TTable::Cancel() {
    requireActive();
    if (state_ == dsEdit) {
        positionEngine();
        cursors().ReleaseRecordLock(cursor_, false);
    }
    if (state_ != dsEdit && state_ != dsInsert) return;
    state_ = dsBrowse;
    edit_.clear();
    modified_ = false;
    if (recNo_ > 0) settleOn(recNo_);
    else fetchFirst();
    notify(deUpdateState);
    notify(deDataSetChange);
    fire(AfterCancel);
}

void TTable::Delete() {
    requireActive();
    if (state_ == dsInsert) return Cancel();
    if (IsEmpty()) throw EDatabaseError(TableName + ": Cannot perform this operation on an empty dataset");
    if (ReadOnly) throw EDatabaseError(TableName + ": Cannot modify a read-only dataset");
    positionEngine();
    if (state_ != dsEdit) check(cursors().GetRecord(cursor_, true, nullptr, nullptr));
    const tables::DBIResult rc = cursors().DeleteRecord(cursor_);
    cursors().ReleaseRecordLock(cursor_, false);
    check(rc);
    state_ = dsBrowse;
    edit_.clear();
    modified_ = false;
    settleOn(recNo_);
    notify(deUpdateState);
    notify(deDataSetChange);
    fire(AfterDelete);
}
