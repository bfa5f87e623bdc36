#pragma once
// A record made of plain values, and shorthands for compiling and
// evaluating against it.

#include <string>
#include <vector>

#include "xbase/expr/expression.h"
#include "xbase/expr/julian.h"

namespace xbase::test {

inline std::vector<FieldDef> sampleFields() {
    return {
        {"NAME", 'C', 20, 0, 1},   {"CITY", 'C', 30, 0, 21},  {"AGE", 'N', 4, 0, 51},
        {"BORN", 'D', 8, 0, 55},   {"ACTIVE", 'L', 1, 0, 63}, {"GROUP", 'C', 40, 0, 64},
        {"FROM", 'C', 40, 0, 104}, {"DATE", 'D', 8, 0, 144},  {"NOTES", 'M', 10, 0, 152},
        {"PRICE", 'N', 8, 2, 162},
    };
}

inline std::string pad(std::string s, size_t width) {
    s.resize(width, ' ');
    return s;
}

class SampleRecord : public RecordSource {
public:
    SampleRecord() {
        values = {
            Value::character(pad("Smith", 20)),
            Value::character(pad("Boston", 30)),
            Value::numeric(42),
            Value::date(julianFromYmd(1984, 3, 7)),
            Value::boolean(true),
            Value::character(pad("Friends", 40)),
            Value::character(pad("ann@example.org", 40)),
            Value::date(julianFromYmd(2001, 2, 3)),
            Value::character("a memo"),
            Value::numeric(12.5),
        };
    }
    Value field(int index) const override { return values.at(static_cast<size_t>(index)); }
    uint32_t recNo() const override { return recno; }
    bool deleted() const override { return isDeleted; }

    std::vector<Value> values;
    uint32_t recno = 7;
    bool isDeleted = false;
};

inline Expression compileSample(const std::string& text) { return Expression::compile(text, sampleFields()); }

inline Value evalSample(const std::string& text, const SampleRecord& record = SampleRecord(),
                        const EvalSettings& settings = EvalSettings()) {
    return compileSample(text).evaluate(record, settings);
}

inline std::string evalText(const std::string& text, const EvalSettings& settings = EvalSettings()) {
    const Value v = evalSample(text, SampleRecord(), settings);
    return v.type == ValueType::Character ? v.text : "<not character>";
}

inline double evalNumber(const std::string& text) {
    const Value v = evalSample(text);
    return v.type == ValueType::Numeric ? v.number : -999999;
}

inline bool evalLogical(const std::string& text, const EvalSettings& settings = EvalSettings()) {
    const Value v = evalSample(text, SampleRecord(), settings);
    if (v.type != ValueType::Logical) throw std::logic_error("not logical: " + text);
    return v.logical;
}

inline int32_t evalDate(const std::string& text, const EvalSettings& settings = EvalSettings()) {
    const Value v = evalSample(text, SampleRecord(), settings);
    return v.type == ValueType::Date ? v.julian : -1;
}

inline EvalSettings exactOn() {
    EvalSettings s;
    s.exact = true;
    return s;
}

}  // namespace xbase::test
