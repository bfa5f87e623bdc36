// Moving a cursor and reading its records.
#include <algorithm>

#include "tables/cursor_interface.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

namespace tables {

namespace {

std::string readEngineRecord() {
    std::string record(static_cast<size_t>(std::max(sx_RecSize(), 0)), ' ');
    sx_GetRecord(record.data());
    return record;
}

void fillInfo(RecordInfo* info, bool atEnd) {
    if (!info) return;
    info->recNo = atEnd ? 0 : sx_RecNo();
    info->deleted = !atEnd && sx_Deleted();
}

}  // namespace

DBIResult CursorInterface::SetToBegin(int handle) {
    if (!selectArea(handle)) return kInvalidHandle;
    sx_GoTop();
    sx_Skip(-1);
    return kOk;
}

DBIResult CursorInterface::SetToEnd(int handle) {
    if (!selectArea(handle)) return kInvalidHandle;
    sx_GoBottom();
    sx_Skip(1);
    return kOk;
}

bool CursorInterface::passesRecordFilters(TTableWorkArea& wa, const std::string* buffer) {
    if (!wa.hasRecordFilters) return true;
    for (const FilterSlot& slot : wa.filters) {
        if (!slot.perRecord || !slot.active || !slot.test) continue;
        if (buffer) return slot.test(*buffer, sx_RecNo());
        sx_GetRecord(wa.spare.data());
        return slot.test(wa.spare, sx_RecNo());
    }
    return true;
}

// One step at a time until a record passes the per-record filters. A lock is
// taken only on the record handed back: a fetch that ends, or a record that a
// filter turns away, keeps no lock.
DBIResult CursorInterface::fetch(int handle, bool forward, bool lock, std::string* buffer,
                                 RecordInfo* info) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    while (true) {
        if (forward) {
            if (sx_Bof()) sx_GoTop();
            else sx_Skip(1);
        } else {
            sx_Skip(-1);
        }
        const bool atEnd = forward ? sx_Eof() : sx_Bof();
        fillInfo(info, atEnd && forward);
        if (atEnd) {
            if (forward) sx_GoBottom();
            else sx_GoTop();
            return forward ? kEndOfTable : kBeginOfTable;
        }
        std::string record = readEngineRecord();
        if (!passesRecordFilters(wa, &record)) continue;
        if (lock) {
            const int32_t recNo = sx_RecNo();
            if (!sx_Rlock(recNo)) return plainFailure(kRecordLocked);
            record = readEngineRecord();
            if (!passesRecordFilters(wa, &record)) {
                sx_Unlock(recNo);
                continue;
            }
        }
        if (buffer) *buffer = std::move(record);
        return kOk;
    }
}

DBIResult CursorInterface::GetNextRecord(int handle, bool lock, std::string* buffer, RecordInfo* info) {
    return fetch(handle, true, lock, buffer, info);
}

DBIResult CursorInterface::GetPriorRecord(int handle, bool lock, std::string* buffer, RecordInfo* info) {
    return fetch(handle, false, lock, buffer, info);
}

// Whether the current record can still be reached by moving under the
// engine's query, scope and deleted setting.
bool CursorInterface::recordVisible() {
    const int32_t remembered = sx_RecNo();
    sx_Skip(1);
    if (!sx_Eof()) {
        sx_Skip(-1);
        return sx_RecNo() == remembered;
    }
    sx_Go(remembered);
    sx_Skip(-1);
    if (!sx_Bof()) {
        sx_Skip(1);
        return sx_RecNo() == remembered;
    }
    sx_Go(remembered);
    if (sx_Eof() && sx_Bof()) return false;
    sx_GoBottom();
    return sx_RecNo() == remembered;
}

DBIResult CursorInterface::GetRecord(int handle, bool lock, std::string* buffer, RecordInfo* info) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    if (sx_Eof()) return kEndOfTable;
    if (sx_Bof()) return kBeginOfTable;
    const int32_t recNo = sx_RecNo();
    if (!sx_DBFilter().empty() || sx_SysProp(SX_SP_HIDES_RECORDS, 0) == 1) {
        if (!recordVisible()) {
            sx_Go(recNo);
            return kRecordNotVisible;
        }
        sx_Go(recNo);
    }
    std::string record = readEngineRecord();
    if (!passesRecordFilters(wa, &record)) return kRecordNotVisible;
    if (lock) {
        if (!sx_Rlock(recNo)) return plainFailure(kRecordLocked);
        record = readEngineRecord();
    }
    if (buffer) *buffer = std::move(record);
    fillInfo(info, false);
    return kOk;
}

DBIResult CursorInterface::GetPostedRecord(int handle, int32_t recNo, std::string* buffer) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    if (sx_Eof() || sx_Bof() || sx_RecNo() != recNo || !sx_DBFilter().empty()) return kRecordNotVisible;
    std::string record = readEngineRecord();
    // The deletion byte leads the record.
    if (record.empty() || record[0] == '*' || !passesRecordFilters(wa, &record)) return kRecordNotVisible;
    if (buffer) *buffer = std::move(record);
    return kOk;
}

DBIResult CursorInterface::GetBookMark(int handle, int32_t& bookmark) {
    if (!selectArea(handle)) return kInvalidHandle;
    bookmark = sx_RecNo();
    return kOk;
}

DBIResult CursorInterface::SetToBookMark(int handle, int32_t bookmark) {
    if (!selectArea(handle)) return kInvalidHandle;
    if (bookmark > sx_RecCount() || bookmark < 1) {
        sx_GoBottom();
        sx_Skip(1);
    } else {
        sx_Go(bookmark);
    }
    return kOk;
}

DBIResult CursorInterface::SetToCursor(int target, int source) {
    if (!areaInUse(target) || !areaInUse(source)) return kInvalidHandle;
    sx_Select(source);
    const int32_t recNo = sx_RecNo();
    return SetToBookMark(target, recNo);
}

DBIResult CursorInterface::SetToSeqNo(int handle, int32_t seqNo) {
    if (!selectArea(handle)) return kInvalidHandle;
    sx_GoTop();
    sx_Skip(seqNo);
    return kOk;
}

DBIResult CursorInterface::CompareBookMarks(int handle, int32_t a, int32_t b, int& result) {
    TWA guard(handle);
    if (!guard.valid()) return kInvalidHandle;
    int32_t pa = a, pb = b;
    if (sx_IndexOrd() != 0) {
        const int32_t current = sx_RecNo();
        sx_Go(a);
        pa = sx_OrderRecNo();
        sx_Go(b);
        pb = sx_OrderRecNo();
        sx_Go(current);
    }
    result = pa < pb ? -1 : (pa > pb ? 1 : 0);
    return kOk;
}

DBIResult CursorInterface::GetRecordCount(int handle, int32_t& count) {
    TWA guard(handle);
    if (!guard.valid()) return kInvalidHandle;
    count = sx_Count();
    return kOk;
}

}  // namespace tables
