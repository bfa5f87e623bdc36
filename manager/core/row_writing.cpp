#include "manager/core/row_writing.h"

#include "tables/table.h"

namespace manager {

void WriteRow(TTable& table, RowStart start, const std::function<void(TTable&)>& setFields)
{
    switch (start) {
    case RowStart::Insert:
        table.Insert();
        break;
    case RowStart::Append:
        table.Append();
        break;
    case RowStart::Edit:
        table.Edit();
        break;
    }
    try {
        setFields(table);
        table.Post();
    } catch (...) {
        if (table.State() == dsInsert || table.State() == dsEdit)
            table.Cancel();
        throw;
    }
}

std::string FieldText(TTable& table, const char* field)
{
    std::string text = table.FieldByName(field).AsString();
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace manager
