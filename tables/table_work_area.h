#pragma once
// The record the cursor interface keeps for one open table (one engine work
// area): where it came from, how it was opened, its field descriptors and its
// filter slots.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "tables/field_desc.h"

namespace tables {

// A per-record test: true lets the record through.
using RecordFilter = std::function<bool(const std::string& record, int32_t recNo)>;

inline constexpr int kFilterSlots = 100;

struct FilterSlot {
    std::string text;
    RecordFilter test;
    bool active = false;
    bool perRecord = false;
    int priority = 0;

    bool isFree() const { return text.empty() && !perRecord; }
};

}  // namespace tables

class TTableWorkArea {
public:
    int area = 0;             // as created
    int selectArea = 0;       // the number used to select it
    std::string alias;        // up to 14 characters
    std::string path;         // full path as opened
    std::string tableName;    // as the caller passed it
    bool hasRecordFilters = false;
    std::array<tables::FilterSlot, tables::kFilterSlots> filters;
    tables::FieldDescArrays fields;
    int fieldCount = 0;
    std::string spare;        // parks the engine's own record while a caller's is swapped in
    int driver = 0;           // 1 NTX, 2 FOX, 3 NSX
    int recordSize = 0;
    int translateMode = 2;    // 0: GetFieldDescs gives the physical descriptors
    bool readOnly = false;
    bool exclusive = false;

    const tables::FieldDesc* logicalField(int number) const;
};
