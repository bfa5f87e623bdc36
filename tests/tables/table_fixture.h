#pragma once
// Test tables in a private temporary folder, made through the engine's own
// creation call and index tags, and the reports the table layer makes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/error_report.h"
#include "tests/support/temp_dir.h"
#include "xbase/value.h"

namespace tabletest {

struct TagDef {
    std::string name;
    std::string expression;
    bool unique = false;
    bool descending = false;
};

xbase::FieldDef field(const std::string& name, char type, int width = 0, int decimals = 0);

class TablesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes folder/name with the fields and the tags (in the structural
    // compound index) and gives back its full path.
    std::string makeTable(const std::string& name, const std::vector<xbase::FieldDef>& fields,
                          const std::vector<TagDef>& tags = {});
    // Appends rows given as field texts in field order (raw, blank-padded by
    // the engine); a leading "*" in the first value marks the row deleted.
    void addRows(const std::string& name, const std::vector<std::vector<std::string>>& rows);

    test_support::TempDir dir{"tables_test_"};
    std::string folder = dir.path() + "/";  // removed with the fixture
    std::vector<std::string> reports;

private:
    tables::ErrorReporter previous_;
};

// The test tables most cases use: accounts and their detail rows.
std::vector<xbase::FieldDef> nodeFields();
std::vector<xbase::FieldDef> ruleFields();

}  // namespace tabletest
