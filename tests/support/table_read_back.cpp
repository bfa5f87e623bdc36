#include "tests/support/table_read_back.h"

#include <sys/wait.h>

#include <cstdio>
#include <sstream>

namespace test_support {

namespace {

std::string shellQuoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

TablesReadBack readTablesIndependently(const std::string& folder)
{
    TablesReadBack back;
    const std::string script = std::string(TARSEL_SOURCE_DIR_SUPPORT) + "/tests/support/read_tables.py";
    FILE* pipe = ::popen(("/usr/bin/python3 " + shellQuoted(script) + " " + shellQuoted(folder) + " 2>&1").c_str(), "r");
    if (!pipe)
        return back;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        back.output.append(buffer, n);
    const int raw = ::pclose(pipe);
    back.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
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
