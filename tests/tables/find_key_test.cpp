// Finding a row by its whole key with one seek: the row found, a key that
// is only the start of one, a hidden (deleted) row, and a table left where
// it was when nothing is found.
#include <gtest/gtest.h>

#include "table_fixture.h"
#include "tables/db_errors.h"
#include "tables/table.h"
#include "xbase/sx.h"

using namespace tabletest;

namespace {

class TablesFindKey : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("rules.dbf", ruleFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}, {"LINK_ID", "LINK_ID"}});
        addRows("rules.dbf", {{"r1", "abc", "first"}, {"r2", "abcdef", "second"}, {"*r3", "gone", "deleted"},
                              {"r4", "abc", "fourth"}});
        rules.DatabaseName = folder;
        rules.TableName = "rules.dbf";
        rules.TableType = ttSXFOX;
        rules.SetIndexName("LINK_ID");
    }
    // A whole key: the text blank-padded to the field's width.
    static std::string key(std::string text) {
        text.resize(20, ' ');
        return text;
    }
    std::string rule() { return rules.FieldByName("RULE").AsString(); }
    TTable rules;
};

}  // namespace

TEST_F(TablesFindKey, FindsTheFirstRowOfTheWholeKeyOnly) {
    rules.Open();
    ASSERT_TRUE(rules.FindKey(key("abcdef")));
    EXPECT_EQ(rule(), "second");
    EXPECT_EQ(rules.RecNo(), 2);
    // Equal keys: the first in the order.
    ASSERT_TRUE(rules.FindKey(key("abc")));
    EXPECT_EQ(rule(), "first");
    // Moving on from the row found follows the order.
    rules.Next();
    EXPECT_EQ(rule(), "fourth");
    // The start of a key is not the key.
    EXPECT_FALSE(rules.FindKey("ab"));
    EXPECT_FALSE(rules.FindKey(key("ab")));
}

TEST_F(TablesFindKey, NothingFoundLeavesTheTableWhereItWas) {
    rules.Open();
    ASSERT_TRUE(rules.FindKey(key("abcdef")));
    EXPECT_FALSE(rules.FindKey(key("zzz")));
    EXPECT_EQ(rule(), "second");
    EXPECT_FALSE(rules.Eof());
    rules.Next();
    EXPECT_EQ(rule(), "deleted");  // on from its own row, in the order
    EXPECT_EQ(rules.RecNo(), 3);
}

TEST_F(TablesFindKey, HiddenRowsAreNotFoundAndFilteredTablesRefuse) {
    sx_SetDeleted(-1);
    rules.Open();
    EXPECT_FALSE(rules.FindKey(key("gone")));
    sx_SetDeleted(0);
    EXPECT_TRUE(rules.FindKey(key("gone")));
    EXPECT_EQ(rule(), "deleted");
    rules.SetFilter("RULE = 'first'");
    rules.SetFiltered(true);
    EXPECT_THROW(rules.FindKey(key("abc")), EDatabaseError);
}
