// Ranges, key search, key extraction and order changes.
#include "tables/cursor_interface.h"
#include "tables/engine_record.h"
#include "tables/text_util.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

namespace tables {

// The key the active order gives a record buffer, as text a seek or a scope
// takes: character keys as they are, numbers as LTRIM(STR(x, 19)), logical
// keys as .T./.F., dates as DTOS.
std::string CursorInterface::keyOfRecord(TTableWorkArea&, const std::string& record) {
    sx_Commit();
    EngineRecordSwap swap(record);
    const std::string expression = sx_IndexKey();
    switch (sx_EvalTest(expression.c_str())) {
    case SX_EVAL_CHARACTER: return sx_EvalString(expression.c_str());
    case SX_EVAL_NUMERIC: return sx_EvalString(("LTRIM(STR(" + expression + ", 19))").c_str());
    case SX_EVAL_LOGICAL: return sx_EvalLogical(expression.c_str()) ? ".T." : ".F.";
    case SX_EVAL_DATE: return sx_EvalString(("DTOS(" + expression + ")").c_str());
    default: return {};
    }
}

DBIResult CursorInterface::SetRange(int handle, const std::string& low, const std::string& high) {
    if (!selectArea(handle)) return kInvalidHandle;
    if (low.size() > kMaxPath || high.size() > kMaxPath) return kTextTooLong;
    sx_SetScope(low.c_str(), high.c_str());
    return SetToBegin(handle);
}

DBIResult CursorInterface::SetRangeFromRecords(int handle, const std::string& lowRecord,
                                               const std::string& highRecord) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    if (sx_IndexOrd() == 0) return kNoActiveOrder;
    const std::string low = keyOfRecord(*areas_[handle], lowRecord);
    const std::string high = keyOfRecord(*areas_[handle], highRecord);
    return SetRange(handle, low, high);
}

DBIResult CursorInterface::ResetRange(int handle) {
    if (!selectArea(handle)) return kInvalidHandle;
    const int32_t recNo = sx_RecNo();
    const bool afterLast = recNo == sx_RecCount() + 1;
    sx_SetScope("", "");
    if (afterLast) {
        sx_GoBottom();
        sx_Skip(1);
    } else {
        sx_Go(recNo);
    }
    return kOk;
}

DBIResult CursorInterface::SetToKey(int handle, SearchKind kind, bool directKey, const std::string& key) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    if (sx_IndexOrd() == 0) return kNoActiveOrder;
    const std::string sought = directKey ? key : keyOfRecord(*areas_[handle], key);
    if (sought.size() > kMaxPath) return kTextTooLong;
    const auto softSeek = sx_SysProp(SX_SP_GET_SOFTSEEK, 0);
    const auto exact = sx_SysProp(SX_SP_GET_EXACT, 0);
    sx_SysProp(SX_SP_SET_EXACT, kind == keySearchEqual ? 1 : 0);
    sx_SysProp(SX_SP_SET_SOFTSEEK, kind == keySearchEqual ? 0 : 1);
    const int32_t before = sx_RecNo();
    const bool found = kind == keySearchGreater ? sx_SeekAfter(sought.c_str()) : sx_Seek(sought.c_str());
    DBIResult rc = kOk;
    if (kind == keySearchEqual && !found) {
        if (directKey) sx_Go(before);
        rc = kKeyNotFound;
    }
    sx_SysProp(SX_SP_SET_EXACT, exact);
    sx_SysProp(SX_SP_SET_SOFTSEEK, softSeek);
    return rc;
}

DBIResult CursorInterface::GetRecordForKey(int handle, bool directKey, int fieldCount, const std::string& key,
                                           std::string* buffer) {
    const SearchKind kind = directKey || fieldCount > 0 ? keySearchEqual : keySearchGreaterEqual;
    const DBIResult rc = SetToKey(handle, kind, directKey, key);
    // A key not found has no record to hand out (the area is back where it
    // was): reading that one again would only cost a read of the file.
    if (buffer && rc == kOk && !sx_Eof()) {
        buffer->assign(static_cast<size_t>(std::max(sx_RecSize(), 0)), ' ');
        sx_GetRecord(buffer->data());
    }
    return rc;
}

DBIResult CursorInterface::ExtractKey(int handle, const std::string* record, std::string& key) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    if (sx_IndexOrd() == 0) return kNoActiveOrder;
    key = record ? keyOfRecord(*areas_[handle], *record) : sx_KeyData();
    return kOk;
}

DBIResult CursorInterface::SwitchToIndex(int handle, const std::string& indexName) {
    TWA guard(handle);
    if (!guard.valid()) return kInvalidHandle;
    if (indexName.empty()) {
        sx_SetOrder(0);
        return kOk;
    }
    const std::string wanted = withoutExtension(indexName);
    if (sx_SysProp(SX_SP_TAG_NAMES, 0) == 1) {
        for (int order = 1;; ++order) {
            const std::string tag = sx_TagName(order);
            if (tag.empty()) break;
            if (sameText(withoutExtension(tag), wanted)) {
                sx_SetOrder(order);
                return kOk;
            }
        }
        return kOk;
    }
    sx_SetOrder(sx_TagArea(fileNamePart(indexName).c_str()));
    return kOk;
}

}  // namespace tables
