#pragma once
// Every row not deleted of one table of a data folder, the named fields
// trimmed of their padding, in record order. A table object of its own,
// under whatever engine settings the test's program has made.

#include <string>
#include <vector>

#include "tables/table.h"

namespace accountstest {

using Rows = std::vector<std::vector<std::string>>;

inline Rows TableRows(const std::string& folder, const char* file, const std::vector<std::string>& fields)
{
    TTable table;
    table.DatabaseName = folder;
    table.TableName = file;
    table.TableType = ttSXFOX;
    table.Open();
    Rows out;
    for (table.First(); !table.Eof(); table.Next()) {
        std::vector<std::string> row;
        for (const std::string& field : fields) {
            std::string value = table.FieldByName(field).AsString();
            while (!value.empty() && value.back() == ' ')
                value.pop_back();
            row.push_back(value);
        }
        out.push_back(std::move(row));
    }
    return out;
}

}  // namespace accountstest
