#pragma once
// Typed values of the fields of a raw record, as expressions and index keys
// see them.

#include <functional>
#include <string>
#include <vector>

#include "xbase/expr/expression.h"
#include "xbase/value.h"

namespace xbase {

// The value of field f in record (memo fields through memoText).
Value fieldValue(const FieldDef& f, const std::string& record, const std::function<std::string(const FieldDef&)>& memoText);

// Numeric text for a field of width and decimals; XbaseError when it does not fit.
std::string formatNumber(double value, int width, int decimals);

// Adapts one raw record to the expression evaluator.
class RecordView : public RecordSource {
public:
    using MemoReader = std::function<std::string(const FieldDef&, const std::string& record)>;
    RecordView(const std::vector<FieldDef>& fields, const std::string& record, uint32_t recNo, MemoReader memo)
        : fields_(fields), record_(record), recNo_(recNo), memo_(std::move(memo)) {}
    Value field(int index) const override;
    uint32_t recNo() const override { return recNo_; }
    bool deleted() const override { return !record_.empty() && record_[0] == '*'; }

private:
    const std::vector<FieldDef>& fields_;
    const std::string& record_;
    uint32_t recNo_;
    MemoReader memo_;
};

}  // namespace xbase
