#pragma once
// Values that flow between records, expressions and index keys.

#include <cstdint>
#include <string>

namespace xbase {

enum class ValueType { Character, Numeric, Date, Logical };

struct Value {
    ValueType type = ValueType::Character;
    std::string text;     // Character (blank-padded as stored)
    double number = 0;    // Numeric
    int32_t julian = 0;   // Date: Julian day number, 0 = empty date
    bool logical = false; // Logical

    static Value character(std::string s) { Value v; v.type = ValueType::Character; v.text = std::move(s); return v; }
    static Value numeric(double d) { Value v; v.type = ValueType::Numeric; v.number = d; return v; }
    static Value date(int32_t jd) { Value v; v.type = ValueType::Date; v.julian = jd; return v; }
    static Value boolean(bool b) { Value v; v.type = ValueType::Logical; v.logical = b; return v; }
};

// One field of a table as the DBF header describes it.
struct FieldDef {
    std::string name;   // upper case, at most 10 characters
    char type = 'C';    // C N F D L M (and others read as raw bytes)
    int width = 0;
    int decimals = 0;
    int offset = 0;     // 1-based offset in the record (byte 0 is the deletion flag)
};

}  // namespace xbase
