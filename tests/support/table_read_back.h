#pragma once
// The tables of a data folder as an independent xBase reader (Debian's
// python3-dbfread) sees them: each table's row count and layout, and the
// organisation rows.

#include <map>
#include <string>
#include <vector>

namespace test_support {

struct TablesReadBack {
    int status = -1;      // the reader's exit status; 0 when it read every table
    std::string output;   // what it printed, for a failure message
    std::map<std::string, std::string> tables;  // file name -> "rows|NAME:TYPE:LENGTH,..."
    std::vector<std::string> orgs;              // "UNIQUE_ID|ORG" of each ORGS.DBF row
};

TablesReadBack readTablesIndependently(const std::string& folder);

}  // namespace test_support
