// The sx_ calls for key search, scopes, queries and expressions.

#include "xbase/sx.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "xbase/sx_engine.h"
#include "xbase/expr/date_text.h"

using namespace xbase;
using namespace xbase::sx_detail;

bool sx_Seek(const char* key) {
    return guarded(false, [&] { return area().seek(text(key, kMaxKeyLength * 4, "key")); });
}

bool sx_SeekAfter(const char* key) {
    return guarded(false, [&] { return area().seekAfter(text(key, kMaxKeyLength * 4, "key")); });
}

bool sx_SetScope(const char* low, const char* high) {
    return guarded(false, [&] {
        area().setScope(text(low, kMaxKeyLength * 4, "scope key"), text(high, kMaxKeyLength * 4, "scope key"));
        return true;
    });
}

bool sx_Query(const char* expression) {
    return guarded(false, [&] {
        area().setQuery(text(expression, kMaxExpressionLength, "filter expression"));
        return true;
    });
}

std::string sx_DBFilter() { return guarded(std::string(), [] { return area().queryText(); }); }

std::string sx_EvalString(const char* expression) {
    return guarded(std::string(), [&] {
        Expression ex;
        const Value v = evaluateOnCurrent(text(expression, kMaxExpressionLength, "expression"), &ex);
        switch (v.type) {
        case ValueType::Numeric: {
            char buf[400];
            std::snprintf(buf, sizeof buf, "%*.*f", ex.width(), ex.decimals(), v.number);
            return std::string(buf);
        }
        case ValueType::Date: return expr::formatDtoc(v.julian, settings().evalSettings());
        case ValueType::Logical: return std::string(v.logical ? ".T." : ".F.");
        default: return v.text;
        }
    });
}

bool sx_EvalLogical(const char* expression) {
    return guarded(false, [&] {
        const Value v = evaluateOnCurrent(text(expression, kMaxExpressionLength, "expression"));
        if (v.type != ValueType::Logical) throw XbaseError(kErrValue, "not a logical expression");
        return v.logical;
    });
}

int sx_EvalTest(const char* expression) {
    return guarded(0, [&] {
        const std::string t = text(expression, kMaxExpressionLength, "expression");
        WorkArea* a = currentOrNull();
        static const std::vector<FieldDef> none;
        switch (Expression::compile(t, a ? a->table().fields() : none).type()) {
        case ValueType::Character: return SX_EVAL_CHARACTER;
        case ValueType::Numeric: return SX_EVAL_NUMERIC;
        case ValueType::Logical: return SX_EVAL_LOGICAL;
        case ValueType::Date: return SX_EVAL_DATE;
        }
        return 0;
    });
}
