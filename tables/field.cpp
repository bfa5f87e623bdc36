#include "tables/field.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tables/cursor_interface.h"
#include "tables/db_errors.h"
#include "tables/short_date.h"
#include "tables/table.h"
#include "tables/text_util.h"

using tables::DayNumber;
using tables::FieldValue;

namespace {

TFieldType typeOf(const tables::FieldDesc& desc) {
    switch (desc.type) {
    case tables::fldText: return ftString;
    case tables::fldInt16: return ftSmallint;
    case tables::fldFloat: return ftFloat;
    case tables::fldDate: return ftDate;
    case tables::fldBoolean: return ftBoolean;
    case tables::fldBlob: return desc.subtype == tables::fsMemo ? ftMemo : ftBlob;
    default: return ftUnknown;
    }
}

void check(tables::DBIResult rc) {
    if (rc != tables::kOk) throw EDBEngineError(rc);
}

long parseInteger(const std::string& text) {
    const std::string trimmed = tables::trimLeft(tables::trimRight(text));
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(trimmed.c_str(), &end, 10);
    if (trimmed.empty() || *end != '\0' || errno == ERANGE)
        throw EConvertError("'" + text + "' is not a valid integer value");
    return value;
}

double parseFloat(const std::string& text) {
    const std::string trimmed = tables::trimLeft(tables::trimRight(text));
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (trimmed.empty() || *end != '\0' || !std::isfinite(value))
        throw EConvertError("'" + text + "' is not a valid floating point value");
    return value;
}

bool parseBoolean(const std::string& text) {
    const std::string upper = tables::upperCase(tables::trimLeft(tables::trimRight(text)));
    if (!upper.empty() && (upper[0] == 'T' || upper[0] == 'Y')) return true;
    if (!upper.empty() && (upper[0] == 'F' || upper[0] == 'N')) return false;
    throw EConvertError("'" + text + "' is not a valid boolean value");
}

std::string floatText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

}  // namespace

TField::TField(TTable& table, const tables::FieldDesc& desc)
    : table_(table), name_(desc.name), number_(desc.number), type_(typeOf(desc)), size_(desc.units1) {}

bool TField::IsNull() const {
    if (type_ == ftMemo || type_ == ftBlob) return memoText().empty();
    bool blank = true;
    check(tables::cursors().GetField(table_.CursorHandle(), number_, table_.activeRecord(), nullptr, &blank));
    return blank;
}

std::string TField::memoText() const {
    if (!table_.Active() || table_.activeRecord().empty()) return {};
    std::string text;
    const tables::DBIResult rc = tables::cursors().GetBlob(table_.CursorHandle(), table_.activeRecord(),
                                                            number_, 0, -1, text);
    if (rc != tables::kOk && rc != tables::kBlobShortRead) throw EDBEngineError(rc);
    return text;
}

std::string TField::AsString() const {
    if (type_ == ftMemo || type_ == ftBlob) return memoText();
    if (!table_.Active() || table_.activeRecord().empty()) return {};
    FieldValue value;
    bool blank = true;
    check(tables::cursors().GetField(table_.CursorHandle(), number_, table_.activeRecord(), &value, &blank));
    if (blank) return {};
    if (const auto* s = std::get_if<std::string>(&value)) return *s;
    if (const auto* d = std::get_if<DayNumber>(&value))
        return tables::dateToText(static_cast<TDateTime>(d->days - tables::kDayNumberOffset));
    if (const auto* b = std::get_if<bool>(&value)) return *b ? "True" : "False";
    if (const auto* i = std::get_if<int32_t>(&value)) return std::to_string(*i);
    if (const auto* f = std::get_if<double>(&value)) return floatText(*f);
    return {};
}

int TField::AsInteger() const {
    if (type_ == ftFloat) return static_cast<int>(std::lround(AsFloat()));
    const std::string text = AsString();
    if (text.empty()) return 0;
    return static_cast<int>(parseInteger(text));
}

double TField::AsFloat() const {
    const std::string text = AsString();
    if (text.empty()) return 0;
    return parseFloat(text);
}

bool TField::AsBoolean() const {
    const std::string text = AsString();
    return !text.empty() && parseBoolean(text);
}

TDateTime TField::AsDateTime() const {
    const std::string text = AsString();
    if (text.empty()) return 0;
    return tables::textToDate(text);
}

void TField::setMemo(const std::string& value) {
    std::string& record = table_.editRecord(*this);
    check(tables::cursors().PutBlob(table_.CursorHandle(), record, number_, 0, value));
    table_.fieldChanged(*this);
}

void TField::SetAsString(const std::string& value) {
    if (type_ == ftMemo || type_ == ftBlob) {
        setMemo(value);
        return;
    }
    const std::string trimmed = tables::trimLeft(tables::trimRight(value));
    FieldValue converted;
    switch (type_) {
    case ftString: converted = value; break;
    case ftSmallint:
        if (trimmed.empty()) return Clear();
        converted = static_cast<int32_t>(parseInteger(value));
        break;
    case ftFloat:
        if (trimmed.empty()) return Clear();
        converted = parseFloat(value);
        break;
    case ftDate:
        if (trimmed.empty()) return Clear();
        return SetAsDateTime(tables::textToDate(value));
    case ftBoolean:
        if (trimmed.empty()) return Clear();
        converted = parseBoolean(value);
        break;
    default: throw EDatabaseError("Field '" + name_ + "' cannot be written");
    }
    std::string& record = table_.editRecord(*this);
    check(tables::cursors().PutField(table_.CursorHandle(), number_, record, &converted));
    table_.fieldChanged(*this);
}

void TField::SetAsInteger(int value) {
    if (type_ == ftSmallint || type_ == ftFloat) {
        const FieldValue converted = type_ == ftFloat ? FieldValue(static_cast<double>(value))
                                                      : FieldValue(static_cast<int32_t>(value));
        std::string& record = table_.editRecord(*this);
        check(tables::cursors().PutField(table_.CursorHandle(), number_, record, &converted));
        table_.fieldChanged(*this);
        return;
    }
    SetAsString(std::to_string(value));
}

void TField::SetAsFloat(double value) {
    if (type_ == ftFloat) {
        const FieldValue converted = value;
        std::string& record = table_.editRecord(*this);
        check(tables::cursors().PutField(table_.CursorHandle(), number_, record, &converted));
        table_.fieldChanged(*this);
        return;
    }
    if (type_ == ftSmallint) return SetAsInteger(static_cast<int>(std::lround(value)));
    SetAsString(floatText(value));
}

void TField::SetAsBoolean(bool value) {
    if (type_ == ftBoolean) {
        const FieldValue converted = value;
        std::string& record = table_.editRecord(*this);
        check(tables::cursors().PutField(table_.CursorHandle(), number_, record, &converted));
        table_.fieldChanged(*this);
        return;
    }
    SetAsString(value ? "True" : "False");
}

void TField::SetAsDateTime(TDateTime value) {
    if (type_ == ftDate) {
        const FieldValue converted = DayNumber{static_cast<int32_t>(std::floor(value)) + tables::kDayNumberOffset};
        std::string& record = table_.editRecord(*this);
        check(tables::cursors().PutField(table_.CursorHandle(), number_, record, &converted));
        table_.fieldChanged(*this);
        return;
    }
    SetAsString(tables::dateToText(value));
}

void TField::Clear() {
    if (type_ == ftMemo || type_ == ftBlob) return setMemo({});
    std::string& record = table_.editRecord(*this);
    check(tables::cursors().PutField(table_.CursorHandle(), number_, record, nullptr));
    table_.fieldChanged(*this);
}
