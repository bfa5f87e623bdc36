// Memo and binary fields, read and written for a caller's record buffer.
#include <algorithm>

#include "tables/cursor_interface.h"
#include "tables/engine_record.h"
#include "tables/table_type.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

namespace tables {

namespace {

inline constexpr int32_t kMemoTextLimit = 61440;

bool encrypted() { return sx_IsEncrypted(0) != 0 || sx_IsEncrypted(1) != 0; }

std::string blobBytes(const char* field) {
    const int32_t length = sx_GetBlobLength(field);
    if (length <= 0) return {};
    std::string bytes(static_cast<size_t>(length), '\0');
    const int32_t got = sx_GetBlob(field, bytes.data());
    bytes.resize(static_cast<size_t>(std::clamp(got, 0, length)));
    return bytes;
}

std::string memoText(const char* field) {
    char* memo = sx_GetMemo(field, 0);
    if (!memo) return {};
    std::string text(memo);
    sx_MemDealloc(memo);
    return text;
}

// What one field holds for a caller's record: read with the record swapped
// into the engine's buffer, which gets its own record back when the
// snapshot goes.
class BlobSnapshot {
public:
    BlobSnapshot(const std::string& record, const std::string& field) : swap_(record) {
        empty = sx_Empty(field.c_str());
        bytes = blobBytes(field.c_str());
        if (static_cast<int32_t>(bytes.size()) <= kMemoTextLimit) text = memoText(field.c_str());
    }
    bool empty = true;
    std::string bytes;
    std::string text;

private:
    EngineRecordSwap swap_;
};

DBIResult sliceOf(const std::string& data, int32_t offset, int32_t length, std::string& out) {
    out.clear();
    if (offset < 0 || offset > static_cast<int32_t>(data.size())) return kBlobOffsetBeyondEnd;
    const auto start = static_cast<size_t>(offset);
    if (length < 0 || start + static_cast<size_t>(length) > data.size()) {
        out = data.substr(start);
        return kBlobShortRead;
    }
    out = data.substr(start, static_cast<size_t>(length));
    return kOk;
}

}  // namespace

DBIResult CursorInterface::OpenBlob(int handle) {
    return workArea(handle) ? kOk : kInvalidHandle;
}

DBIResult CursorInterface::FreeBlob(int) { return kOk; }

DBIResult CursorInterface::GetBlobSize(int handle, const std::string& record, int field, int32_t& size) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    const FieldDesc* desc = wa.logicalField(field);
    if (!desc) return kInvalidHandle;
    BlobSnapshot snap(record, desc->name);
    if (encrypted() || (wa.driver == kDriverNTX && snap.bytes.empty()))
        size = snap.empty ? 0 : static_cast<int32_t>(snap.text.size());
    else
        size = static_cast<int32_t>(snap.bytes.empty() ? snap.text.size() : snap.bytes.size());
    return kOk;
}

DBIResult CursorInterface::GetBlob(int handle, const std::string& record, int field, int32_t offset,
                                   int32_t length, std::string& destination) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    const FieldDesc* desc = wa.logicalField(field);
    if (!desc) return kInvalidHandle;
    std::string data;
    {
        BlobSnapshot snap(record, desc->name);
        if (encrypted() && desc->subtype == fsMemo) data = snap.text;
        else if (wa.driver != kDriverNTX && (!snap.bytes.empty() || snap.text.empty())) data = snap.bytes;
        else if (snap.empty) data.clear();
        else if (!snap.bytes.empty()) data = snap.bytes;
        else data = snap.text;
    }
    return sliceOf(data, offset, length, destination);
}

DBIResult CursorInterface::PutBlob(int handle, std::string& record, int field, int32_t offset,
                                   const std::string& data) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    const FieldDesc* desc = wa.logicalField(field);
    if (!desc || desc->type != fldBlob) return kInvalidHandle;
    if (record.size() < static_cast<size_t>(wa.recordSize)) return kValueTooWide;
    const char* name = desc->name.c_str();
    EngineRecordSwap swap(record);
    // The engine's memo writer is the one way in: a field write through
    // sx_Replace would post the swapped-in record at once.
    const int32_t storedLength = std::max(sx_GetBlobLength(name), 0);
    const std::string stored = blobBytes(name);
    if (static_cast<int32_t>(stored.size()) != storedLength) return kBlobLengthMismatch;
    if (offset < 0 || offset > storedLength) return kBlobOffsetBeyondEnd;
    const std::string content = stored.substr(0, static_cast<size_t>(offset)) + data;
    const auto previous = sx_SysProp(SX_SP_BLOB_TYPE, 0);
    const DBIResult rc = sx_PutBlob(name, content.data(), static_cast<int32_t>(content.size()))
                             ? kOk
                             : engineFailure(kAppendFailed4);
    sx_SysProp(SX_SP_BLOB_TYPE, previous);
    if (rc != kOk) return rc;
    record = swap.current();
    return kOk;
}

DBIResult CursorInterface::TruncateBlob(int handle, std::string& record, int field, int32_t length) {
    return PutBlob(handle, record, field, length, std::string());
}

}  // namespace tables
