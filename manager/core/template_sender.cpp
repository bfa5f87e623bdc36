#include "manager/core/template_sender.h"

#include "manager/core/manager_tables.h"
#include "tables/field.h"
#include "tables/table.h"

namespace manager {

namespace {

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

}  // namespace

TemplateSender CurrentTemplateSender(ManagerTables& tables)
{
    if (!tables.IsOpen("TableNodes2"))
        return {};
    TTable& nodes = tables.Table("TableNodes2");
    if (nodes.IsEmpty() || nodes.Eof())
        return {};
    return {trimmed(nodes.FieldByName("UNIQUE_ID").AsString()), trimmed(nodes.FieldByName("NODE").AsString()),
            trimmed(nodes.FieldByName("ADDRESS").AsString())};
}

}  // namespace manager
