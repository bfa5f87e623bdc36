// Filter slots: engine query texts, per-record tests and one-time lookups.
#include "tables/cursor_interface.h"
#include "tables/filter_text.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

namespace tables {

namespace {

inline constexpr int kLookupPriority = 2;

bool slotHandleValid(int filter) { return filter >= 1 && filter <= kFilterSlots; }

}  // namespace

// The engine query is the join of every active text slot. A lookup's text is
// only ever used for one positioning, so it never joins the others.
bool CursorInterface::queryJoinedFilters(TTableWorkArea& wa) {
    std::vector<std::string> texts;
    for (const FilterSlot& slot : wa.filters)
        if (slot.active && !slot.text.empty() && slot.priority != kLookupPriority) texts.push_back(slot.text);
    return sx_Query(texts.empty() ? "" : joinFilterTexts(texts).c_str());
}

// Leaves the cursor just before the first record that matches both the
// query in force and the lookup text, or at the end when none does; the
// query in force is left as it was.
bool CursorInterface::lookupPosition(const std::string& text) {
    const std::string previous = sx_DBFilter();
    const std::string combined = previous.empty() ? text : joinFilterTexts({previous, text});
    if (!sx_Query(combined.c_str())) {
        sx_Query(previous.c_str());
        return false;
    }
    sx_GoTop();
    const int32_t found = sx_RecNo();
    sx_Query(previous.c_str());
    sx_Go(found);
    sx_Skip(-1);
    return true;
}

DBIResult CursorInterface::AddFilter(int handle, const std::string& text, int priority, RecordFilter test,
                                     int& filter) {
    TTableWorkArea* wa = workArea(handle);
    if (!wa) return kInvalidHandle;
    if (text.empty() && !test) return kNoFilterSlot;
    for (int i = 0; i < kFilterSlots; ++i) {
        FilterSlot& slot = wa->filters[static_cast<size_t>(i)];
        if (!slot.isFree()) continue;
        slot = FilterSlot{};
        slot.priority = priority;
        if (!text.empty()) {
            slot.text = text;
        } else {
            slot.perRecord = true;
            slot.test = std::move(test);
            wa->hasRecordFilters = true;
        }
        filter = i + 1;
        return kOk;
    }
    return kNoFilterSlot;
}

DBIResult CursorInterface::ActivateFilter(int handle, int filter) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    if (filter == 0) {
        for (FilterSlot& slot : wa.filters)
            if (!slot.isFree()) slot.active = true;
        return queryJoinedFilters(wa) ? kOk : kBadFilterExpression;
    }
    if (!slotHandleValid(filter)) return kInvalidHandle;
    FilterSlot& slot = wa.filters[static_cast<size_t>(filter - 1)];
    if (slot.active || slot.isFree()) return kOk;
    slot.active = true;
    if (slot.perRecord) return kOk;
    const bool accepted =
        slot.priority == kLookupPriority ? lookupPosition(slot.text) : queryJoinedFilters(wa);
    return accepted ? kOk : kBadFilterExpression;
}

DBIResult CursorInterface::DeactivateFilter(int handle, int filter) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    if (filter == 0) {
        for (FilterSlot& slot : wa.filters) slot.active = false;
        sx_Query("");
        return kOk;
    }
    if (!slotHandleValid(filter)) return kInvalidHandle;
    FilterSlot& slot = wa.filters[static_cast<size_t>(filter - 1)];
    if (!slot.active) return kOk;
    slot.active = false;
    if (!slot.perRecord && slot.priority != kLookupPriority) queryJoinedFilters(wa);
    return kOk;
}

DBIResult CursorInterface::DropFilter(int handle, int filter) {
    if (!selectArea(handle) || !areas_[handle]) return kInvalidHandle;
    TTableWorkArea& wa = *areas_[handle];
    if (!slotHandleValid(filter)) return kInvalidHandle;
    FilterSlot& slot = wa.filters[static_cast<size_t>(filter - 1)];
    if (!slot.active) return kOk;
    if (slot.perRecord) {
        slot = FilterSlot{};
        wa.hasRecordFilters = false;
        for (const FilterSlot& other : wa.filters)
            if (other.perRecord) wa.hasRecordFilters = true;
        return kOk;
    }
    slot.active = false;
    if (slot.priority != kLookupPriority) queryJoinedFilters(wa);
    slot = FilterSlot{};
    return kOk;
}

}  // namespace tables
