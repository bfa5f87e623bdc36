#include "tests/support/home/open_table.h"

#include "xbase/sx.h"

namespace test_support {

OpenTable::OpenTable(const std::string& folder, const char* file)
{
    env.SetDeleted(true);
    table.DatabaseName = folder;
    table.TableName = file;
    table.TableType = ttSXFOX;
    table.Open();
}

OpenTable::~OpenTable()
{
    table.Close();
    sx_SetDeleted(0);
}

}  // namespace test_support
