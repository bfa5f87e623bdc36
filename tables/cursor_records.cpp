// Appending, changing, deleting and unlocking records.
#include "tables/cursor_interface.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

namespace tables {

DBIResult CursorInterface::InitRecord(int handle, std::string& buffer) {
    TTableWorkArea* wa = workArea(handle);
    if (!wa) return kInvalidHandle;
    buffer.assign(static_cast<size_t>(wa->recordSize), ' ');
    return kOk;
}

DBIResult CursorInterface::AppendRecord(int handle, const std::string& buffer) {
    return InsertRecord(handle, false, buffer);
}

// The engine appends the new record whole; it stays locked only when the
// caller asks to keep the lock.
DBIResult CursorInterface::InsertRecord(int handle, bool keepLock, const std::string& buffer) {
    if (!selectArea(handle)) return kInvalidHandle;
    if (buffer.size() < static_cast<size_t>(sx_RecSize())) return kValueTooWide;
    switch (sx_AppendRecord(buffer.data(), keepLock)) {
    case SX_APPEND_LOCKED: return engineFailure(kRecordLocked);
    case SX_APPEND_READONLY: return engineFailure(kAppendFailed3);
    case SX_APPEND_WRITE: return engineFailure(kAppendFailed4);
    case SX_APPEND_KEY: return engineFailure(kAppendFailed5);
    case SX_APPEND_FULL: return engineFailure(kAppendFailed6);
    case SX_APPEND_NO_AREA: return kInvalidHandle;
    default: return kOk;
    }
}

DBIResult CursorInterface::ModifyRecord(int handle, const std::string& buffer, bool freeLock) {
    if (!selectArea(handle)) return kInvalidHandle;
    if (buffer.size() < static_cast<size_t>(sx_RecSize())) return kValueTooWide;
    const DBIResult rc = sx_PutRecord(buffer.data()) ? kOk : engineFailure(kRecordLocked);
    if (freeLock) sx_Unlock(sx_RecNo());
    return rc;
}

DBIResult CursorInterface::DeleteRecord(int handle) {
    if (!selectArea(handle)) return kInvalidHandle;
    return sx_Delete() ? kOk : engineFailure(kRecordLocked);
}

DBIResult CursorInterface::ReleaseRecordLock(int handle, bool all) {
    if (!selectArea(handle)) return kInvalidHandle;
    sx_Unlock(all ? 0 : sx_RecNo());
    return kOk;
}

}  // namespace tables
