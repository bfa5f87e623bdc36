#pragma once
// xBase expressions as index keys, FOR conditions and filters use them:
// compiled once into a tree, then evaluated per record without parsing.
//
// Names are field names in any case; a name followed by "(" is a function
// (UPPER LOWER TRIM RTRIM LTRIM ALLTRIM SUBSTR LEFT RIGHT STR VAL DTOS DTOC
// CTOD DATE EMPTY IIF DELETED RECNO), so fields called DATE or GROUP work.
// Literals: 'text' "text" [text], 12 1.5 .5, .T. .F. .Y. .N.
// Texts: '=' with exact off is a prefix test ("abc" = "ab", anything = ""),
// with exact on trailing blanks do not count; '==' compares every byte,
// trailing blanks included, whatever the setting. '+' joins, '-' joins and
// moves the left side's trailing blanks to the end; '$' is "occurs in".
// Dates: date + n, date - n, date - date. A zero divisor gives 0.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/value.h"

namespace xbase {

// Error codes of XbaseError thrown by compile() and evaluate().
inline constexpr int kExprSyntaxError = 3001;   // malformed text, unknown name
inline constexpr int kExprTypeError = 3002;     // operands of the wrong type
inline constexpr int kExprTooComplex = 3003;    // nesting or length beyond the limits

// Gives field values of the current record to an evaluation.
class RecordSource {
public:
    virtual ~RecordSource() = default;
    // 0-based index into the FieldDef list given to compile(); memo fields as
    // Character (memo text).
    virtual Value field(int index) const = 0;
    virtual uint32_t recNo() const = 0;
    virtual bool deleted() const = 0;
};

struct EvalSettings {
    bool exact = false;      // SET EXACT: '=' between texts compares whole texts
    bool century = false;    // DTOC gives 4-digit years
    int epoch = 1900;        // CTOD two-digit years: the 100-year window starting at epoch
    std::string dateFormat = "mm/dd/yy";  // DTOC/CTOD order (the "american" default)
};

class Expression {
public:
    struct Node;

    // An empty expression: type() Logical, evaluate() throws.
    Expression();

    // Throws XbaseError (clear message) on syntax, unknown field or type errors.
    static Expression compile(std::string_view text, const std::vector<FieldDef>& fields);

    // Throws XbaseError on runtime errors; never crashes.
    Value evaluate(const RecordSource& record, const EvalSettings& settings) const;

    bool empty() const { return root_ == nullptr; }
    ValueType type() const;   // result type, known at compile time
    // Character: the result length (the index key length). Numeric: the
    // display width; Date: 8; Logical: 1.
    int width() const;
    int decimals() const;     // Numeric results: decimal places shown by STR()
    const std::string& text() const { return text_; }
    // What an evaluation reads besides the settings: fields by their index
    // in the compile list (-1: the deletion flag), whether the clock, and
    // whether the record number.
    const std::vector<int>& fieldsRead() const { return fieldsRead_; }
    bool readsClock() const { return readsClock_; }
    bool readsRecNo() const { return readsRecNo_; }

private:
    std::shared_ptr<const Node> root_;   // immutable, so copies share it
    std::string text_;
    std::vector<int> fieldsRead_;
    bool readsClock_ = false;
    bool readsRecNo_ = false;
};

}  // namespace xbase
