#include "xbase/expr/leaf_nodes.h"

#include "xbase/error.h"

namespace xbase::expr {

namespace {

class Field : public Node {
public:
    Field(int index, const FieldDef& def) : index_(index), name_(def.name) {
        width = def.width;
        switch (def.type) {
        case 'N':
        case 'F':
            type = ValueType::Numeric;
            decimals = def.decimals;
            break;
        case 'D':
            type = ValueType::Date;
            width = 8;
            break;
        case 'L':
            type = ValueType::Logical;
            width = 1;
            break;
        default:  // C, M and the types read as raw bytes
            type = ValueType::Character;
            break;
        }
    }
    std::string text(const EvalContext& ctx) const override { return fetch(ctx).text; }
    double number(const EvalContext& ctx) const override { return fetch(ctx).number; }
    int32_t date(const EvalContext& ctx) const override { return fetch(ctx).julian; }
    bool logical(const EvalContext& ctx) const override { return fetch(ctx).logical; }

private:
    Value fetch(const EvalContext& ctx) const {
        Value v = ctx.record.field(index_);
        if (v.type != type)
            throw XbaseError(kExprTypeError, "Field " + name_ + " gave a " + typeName(v.type) + " value, expected " +
                                                 typeName(type));
        return v;
    }

    int index_;
    std::string name_;
};

class TextLiteral : public Node {
public:
    explicit TextLiteral(std::string text) : value_(std::move(text)) {
        type = ValueType::Character;
        width = static_cast<int>(value_.size());
    }
    std::string text(const EvalContext&) const override { return value_; }

private:
    std::string value_;
};

class NumberLiteral : public Node {
public:
    NumberLiteral(double value, const std::string& written) : value_(value) {
        type = ValueType::Numeric;
        const size_t point = written.find('.');
        decimals = point == std::string::npos ? 0 : static_cast<int>(written.size() - point - 1);
        width = static_cast<int>(written.size() < 10 ? 10 : written.size());
    }
    double number(const EvalContext&) const override { return value_; }
    bool constant(double& value) const override {
        value = value_;
        return true;
    }

private:
    double value_;
};

class LogicalLiteral : public Node {
public:
    explicit LogicalLiteral(bool value) : value_(value) { type = ValueType::Logical; }
    bool logical(const EvalContext&) const override { return value_; }

private:
    bool value_;
};

}  // namespace

NodePtr makeField(int index, const FieldDef& def) { return std::make_unique<Field>(index, def); }
NodePtr makeTextLiteral(std::string text) { return std::make_unique<TextLiteral>(std::move(text)); }
NodePtr makeNumberLiteral(double value, const std::string& written) {
    return std::make_unique<NumberLiteral>(value, written);
}
NodePtr makeLogicalLiteral(bool value) { return std::make_unique<LogicalLiteral>(value); }

}  // namespace xbase::expr
