#include "tests/support/table_read_back.h"

#include <sstream>

#include "tests/support/command_output.h"

namespace test_support {

TablesReadBack readTablesIndependently(const std::string& folder)
{
    TablesReadBack back;
    const std::string script = std::string(TARSEL_SOURCE_DIR_SUPPORT) + "/tests/support/read_tables.py";
    CommandOutput run = runCommand("/usr/bin/python3 " + shellQuoted(script) + " " + shellQuoted(folder));
    back.status = run.status;
    back.output = std::move(run.output);
    std::istringstream lines(back.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("ORG|", 0) == 0)
            back.orgs.push_back(line.substr(4));
        else if (const size_t bar = line.find('|'); bar != std::string::npos)
            back.tables[line.substr(0, bar)] = line.substr(bar + 1);
    }
    return back;
}

}  // namespace test_support
