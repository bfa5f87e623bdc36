#pragma once
// One table of a data folder, open (deleted rows hidden) while the object
// lives, for tests that write rows or read them back while no processor runs.

#include "tables/apollo_env.h"
#include "tables/table.h"

#include <string>

namespace test_support {

struct OpenTable {
    TApolloEnv env;
    TTable table;
    OpenTable(const std::string& folder, const char* file);
    ~OpenTable();
    OpenTable(const OpenTable&) = delete;
    OpenTable& operator=(const OpenTable&) = delete;
    void set(const char* field, const std::string& value) { table.FieldByName(field).SetAsString(value); }
};

}  // namespace test_support
