#pragma once
// TField: one field of a table's current record, read and written as text,
// whole number, floating point, Boolean or date-time. Dates convert through
// the program's short date format; memo fields read and write their text.

#include <string>

#include "platform/datetime.h"
#include "tables/field_desc.h"

class TTable;

enum TFieldType { ftUnknown, ftString, ftSmallint, ftFloat, ftDate, ftBoolean, ftMemo, ftBlob };

class TField {
public:
    TField(TTable& table, const tables::FieldDesc& desc);

    const std::string& FieldName() const { return name_; }
    int FieldNo() const { return number_; }
    TFieldType DataType() const { return type_; }
    int Size() const { return size_; }
    TTable& DataSet() const { return table_; }

    bool IsNull() const;
    std::string AsString() const;
    int AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;

    // Need the table in edit or insert state (EDatabaseError otherwise);
    // a value the field cannot take raises EConvertError or EDBEngineError.
    void SetAsString(const std::string& value);
    void SetAsInteger(int value);
    void SetAsFloat(double value);
    void SetAsBoolean(bool value);
    void SetAsDateTime(TDateTime value);
    void Clear();

private:
    std::string memoText() const;
    void setMemo(const std::string& value);

    TTable& table_;
    std::string name_;
    int number_;
    TFieldType type_;
    int size_;
};
