#include "tables/field_desc.h"

#include "tables/error_report.h"

namespace tables {

namespace {

FieldDesc make(int number, const std::string& name, FieldType type, FieldSubtype subtype,
               int units1, int units2, int offset, int length) {
    FieldDesc d;
    d.number = number;
    d.name = name.substr(0, 31);
    d.type = type;
    d.subtype = subtype;
    d.units1 = units1;
    d.units2 = units2;
    d.offset = offset;
    d.length = length;
    return d;
}

}  // namespace

void describeField(FieldDescArrays& out, int number, const std::string& name, char letter,
                   int width, int decimals, int offset, bool external, bool binaryMemo) {
    const int physOffset = offset - 1;
    auto add = [&](FieldType lt, FieldSubtype ls, int lu1, int lu2, int llen,
                   FieldType pt, int plen, int pu1) {
        out.logical.push_back(make(number, name, lt, ls, lu1, lu2, offset, llen));
        out.physical.push_back(make(number, name, pt, fsNone, pu1, decimals, physOffset, plen));
    };
    if (letter == 'C' && external) letter = 'V';
    switch (letter) {
    case 'C': add(fldText, fsNone, width, 0, width + 1, fldCharacter, width, width); break;
    case 'V': add(fldText, fsNone, 254, 0, 255, fldMemoPhys, 255, 254); break;
    case 'D': add(fldDate, fsNone, 1, 0, 4, fldDatePhys, 8, 8); break;
    case 'L': add(fldBoolean, fsNone, 1, 0, 2, fldLogical, 1, 1); break;
    case 'N':
    case 'F':
        if (decimals > 0) add(fldFloat, fsNone, width, decimals, 8, fldNumeric, width, width);
        else if (width < 5) add(fldInt16, fsNone, 1, 0, 2, fldNumeric, width, width);
        else add(fldFloat, fsNone, width, 0, 8, fldNumeric, width, width);
        break;
    case 'M':
        if (binaryMemo) add(fldBlob, fsBinary, 1, 0, 0, fldBinary, 10, 10);
        else add(fldBlob, fsMemo, 1, 0, 0, fldMemoPhys, 10, 10);
        break;
    case 'B':
    case 'P': add(fldBlob, fsBinary, 1, 0, 0, fldBinary, 10, 10); break;
    case 'G': add(fldBlob, fsOle, 1, 0, 0, fldOle, 10, 10); break;
    default:
        reportError(std::string("Invalid Field Type ") + letter);
        add(fldInvalid, fsNone, 0, 0, 0, fldInvalid, 0, 0);
        break;
    }
}

}  // namespace tables
