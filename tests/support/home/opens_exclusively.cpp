#include "tests/support/home/opens_exclusively.h"

#include <exception>

#include "tables/table.h"

namespace test_support {

bool OpensExclusively(const std::string& folder, const std::string& file)
{
    TTable table;
    table.DatabaseName = folder;
    table.TableName = file;
    table.TableType = ttSXFOX;
    table.Exclusive = true;
    try {
        table.Open();
    } catch (const std::exception&) {
        return false;
    }
    table.Close();
    return true;
}

}  // namespace test_support
