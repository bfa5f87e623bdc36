#pragma once
// Field descriptors of an open table, in the engine's field order: the
// logical form the table class works with and the physical form of the file.

#include <string>
#include <vector>

namespace tables {

enum FieldType {
    // Logical types.
    fldText = 1, fldDate, fldBoolean, fldInt16, fldFloat, fldBlob,
    // Physical types.
    fldCharacter = 20, fldMemoPhys, fldDatePhys, fldLogical, fldNumeric, fldBinary, fldOle,
    fldInvalid = 255
};

enum FieldSubtype { fsNone = 0, fsMemo, fsBinary, fsOle };

struct FieldDesc {
    int number = 0;          // 1-based
    std::string name;        // up to 31 characters
    FieldType type = fldInvalid;
    FieldSubtype subtype = fsNone;
    int units1 = 0;          // size or precision
    int units2 = 0;          // decimals
    int offset = 0;          // logical: 1-based position; physical: 0-based
    int length = 0;
    int nullOffset = 0;
    int validityKind = 0;
    int rights = 0;
};

struct FieldDescArrays {
    std::vector<FieldDesc> logical;
    std::vector<FieldDesc> physical;
};

// Both descriptors of one engine field (type letter, width, decimals,
// 1-based offset); `external` is the engine's answer for a field it does not
// keep in the record buffer, `binaryMemo` whether a memo holds binary data.
// An unknown letter is reported and gives fldInvalid in both.
void describeField(FieldDescArrays& out, int number, const std::string& name, char letter,
                   int width, int decimals, int offset, bool external, bool binaryMemo);

}  // namespace tables
