#include "xbase/expr/expression.h"

#include "xbase/error.h"
#include "xbase/expr/expr_node.h"
#include "xbase/expr/parser.h"

namespace xbase {

Expression::Expression() = default;

Expression Expression::compile(std::string_view text, const std::vector<FieldDef>& fields) {
    Expression e;
    expr::Reads reads;
    e.root_ = expr::parseExpression(text, fields, &reads);
    e.fieldsRead_ = std::move(reads.fields);
    e.readsClock_ = reads.clock;
    e.readsRecNo_ = reads.recNo;
    e.text_ = std::string(text);
    return e;
}

Value Expression::evaluate(const RecordSource& record, const EvalSettings& settings) const {
    if (!root_) throw XbaseError(kExprSyntaxError, "Empty expression");
    const EvalContext ctx{record, settings};
    switch (root_->type) {
    case ValueType::Character: return Value::character(root_->text(ctx));
    case ValueType::Numeric: return Value::numeric(root_->number(ctx));
    case ValueType::Date: return Value::date(root_->date(ctx));
    case ValueType::Logical: break;
    }
    return Value::boolean(root_->logical(ctx));
}

ValueType Expression::type() const { return root_ ? root_->type : ValueType::Logical; }
int Expression::width() const { return root_ ? root_->width : 1; }
int Expression::decimals() const { return root_ ? root_->decimals : 0; }

}  // namespace xbase
