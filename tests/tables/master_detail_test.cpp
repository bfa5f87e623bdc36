// Detail tables follow their master row through a data source.
#include <gtest/gtest.h>

#include "table_fixture.h"
#include "tables/apollo.h"
#include "tables/data_source.h"
#include "tables/db_errors.h"
#include "tables/table.h"

using namespace tabletest;

namespace {

class TablesMasterDetail : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("NODES.DBF", nodeFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}, {"LINK_ID", "LINK_ID"}});
        makeTable("rules.dbf", ruleFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}, {"LINK_ID", "LINK_ID"}});
        addRows("NODES.DBF", {{"n1", "g1", "one"}, {"n2", "g1", "two"}, {"", "g2", "blank id"}});
        addRows("rules.dbf", {{"r1", "n2", "b"}, {"r2", "n1", "a"}, {"r3", "n2", "c"}, {"r4", "", "orphan"},
                              {"r5", "n1", "d"}});
        nodes.DatabaseName = rules.DatabaseName = folder;
        nodes.TableName = "NODES.DBF";
        nodes.TableType = rules.TableType = ttSXFOX;
        rules.TableName = "rules.dbf";
        rules.SetIndexName("LINK_ID");
        rules.MasterFields = "UNIQUE_ID";
        nodesSource.SetDataSet(&nodes);
        rules.SetMasterSource(&nodesSource);
    }
    std::vector<std::string> ruleIds() {
        std::vector<std::string> out;
        for (rules.First(); !rules.Eof(); rules.Next()) out.push_back(rules.FieldByName("UNIQUE_ID").AsString());
        return out;
    }
    TTable nodes, rules;
    TDataSource nodesSource;
};

using Ids = std::vector<std::string>;

}  // namespace

TEST_F(TablesMasterDetail, DetailFollowsTheMasterAsItMoves) {
    nodes.Open();
    rules.Open();
    EXPECT_EQ(ruleIds(), (Ids{"r2", "r5"}));
    nodes.Next();
    EXPECT_EQ(ruleIds(), (Ids{"r1", "r3"}));
    EXPECT_EQ(rules.RecordCount(), 2);
    // A blank master value is a key like any other: the rows with a blank link.
    nodes.Next();
    EXPECT_EQ(ruleIds(), (Ids{"r4"}));
    nodes.First();
    EXPECT_EQ(ruleIds(), (Ids{"r2", "r5"}));
    // Without a master the range goes.
    nodes.Close();
    EXPECT_EQ(ruleIds().size(), 5u);
    nodes.Open();
    EXPECT_EQ(ruleIds(), (Ids{"r2", "r5"}));
    rules.SetMasterSource(nullptr);
    EXPECT_EQ(ruleIds().size(), 5u);
}

TEST_F(TablesMasterDetail, NewDetailRowsBelongToTheMasterRow) {
    nodes.Open();
    rules.Open();
    nodes.Next();
    rules.Append();
    EXPECT_EQ(rules.FieldByName("LINK_ID").AsString(), "n2");
    rules.FieldByName("UNIQUE_ID").SetAsString("r6");
    rules.Post();
    EXPECT_EQ(ruleIds(), (Ids{"r1", "r3", "r6"}));
}

TEST_F(TablesMasterDetail, RefreshOfTheMasterShowsWhatOthersWrote) {
    nodes.Open();
    rules.Open();
    TTable writer;
    writer.DatabaseName = folder;
    writer.TableName = "rules.dbf";
    writer.Open();
    writer.Append();
    writer.FieldByName("UNIQUE_ID").SetAsString("r0");
    writer.FieldByName("LINK_ID").SetAsString("n1");
    writer.Post();
    nodes.Refresh();
    EXPECT_EQ(ruleIds(), (Ids{"r2", "r5", "r0"}));
    // Changing the master's key field moves the detail with it.
    nodes.Edit();
    nodes.FieldByName("UNIQUE_ID").SetAsString("n2");
    EXPECT_EQ(ruleIds(), (Ids{"r1", "r3"}));
    nodes.Cancel();
    EXPECT_EQ(ruleIds(), (Ids{"r2", "r5", "r0"}));
}

TEST_F(TablesMasterDetail, EmptyMasterShowsBlankKeyRowsAndChainsCascade) {
    makeTable("GROUPS.DBF", ruleFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}});
    TTable groups;
    groups.DatabaseName = folder;
    groups.TableName = "GROUPS.DBF";
    groups.Open();
    TDataSource groupsSource(&groups);
    nodes.SetIndexName("LINK_ID");
    nodes.MasterFields = "UNIQUE_ID";
    nodes.SetMasterSource(&groupsSource);
    nodes.Open();
    rules.Open();
    EXPECT_TRUE(nodes.IsEmpty());
    // The empty accounts table gives a blank key to its own detail.
    EXPECT_EQ(ruleIds(), (Ids{"r4"}));
    groups.Append();
    groups.FieldByName("UNIQUE_ID").SetAsString("g1");
    groups.Post();
    EXPECT_EQ(nodes.FieldByName("NODE").AsString(), "one");
    EXPECT_EQ(ruleIds(), (Ids{"r2", "r5"}));
}

TEST_F(TablesMasterDetail, DataSourceTellsItsHandlers) {
    int changes = 0, states = 0;
    nodesSource.OnDataChange = [&](TField*) { ++changes; };
    nodesSource.OnStateChange = [&] { ++states; };
    nodes.Open();
    EXPECT_GE(states, 1);
    const int before = changes;
    nodes.Next();
    EXPECT_GT(changes, before);
    nodesSource.Enabled = false;
    const int disabled = changes;
    nodes.Next();
    EXPECT_EQ(changes, disabled);
}

// A detail whose index lacks the linking tag must not show every master's
// rows (a processor would apply one account's rules to another): it fails.
TEST_F(TablesMasterDetail, DetailOnAMissingTagFailsInsteadOfShowingEveryRow) {
    nodes.Open();
    rules.SetIndexName("NO_SUCH");
    EXPECT_THROW(rules.Open(), EDBEngineError);
    EXPECT_FALSE(rules.Active());
}

// A row posted within the master's range stays the current row, as posted;
// one that leaves the range is not current, whether inserted or edited.
TEST_F(TablesMasterDetail, PostedRowStaysCurrentOnlyWithinTheRange) {
    nodes.Open();
    rules.Open();
    nodes.Next();  // n2: r1, r3
    rules.Append();
    rules.FieldByName("UNIQUE_ID").SetAsString("r6");
    rules.FieldByName("RULE").SetAsString("new");
    rules.Post();
    EXPECT_EQ(rules.FieldByName("UNIQUE_ID").AsString(), "r6");
    EXPECT_EQ(rules.RecNo(), 6);
    rules.Edit();
    rules.FieldByName("RULE").SetAsString("changed");
    rules.Post();
    EXPECT_EQ(rules.FieldByName("RULE").AsString(), "changed");
    rules.Next();
    EXPECT_TRUE(rules.Eof());

    rules.Append();
    rules.FieldByName("UNIQUE_ID").SetAsString("r7");
    rules.FieldByName("LINK_ID").SetAsString("n1");
    rules.Post();
    EXPECT_NE(rules.FieldByName("UNIQUE_ID").AsString(), "r7");
    rules.First();
    rules.Edit();
    rules.FieldByName("LINK_ID").SetAsString("n1");
    rules.Post();
    EXPECT_NE(rules.FieldByName("UNIQUE_ID").AsString(), "r1");
    EXPECT_EQ(ruleIds(), (Ids{"r3", "r6"}));
    nodes.First();
    EXPECT_EQ(ruleIds(), (Ids{"r1", "r2", "r5", "r7"}));
}

// A query of the engine hides a posted row it turns away.
TEST_F(TablesMasterDetail, PostedRowTheQueryHidesIsNotCurrent) {
    rules.SetMasterSource(nullptr);
    rules.Open();
    TDataSource rulesSource(&rules);
    TApollo apollo;
    apollo.SetDataSource(&rulesSource);
    ASSERT_TRUE(apollo.Query("RULE = 'a'"));
    rules.Append();
    rules.FieldByName("UNIQUE_ID").SetAsString("r6");
    rules.FieldByName("RULE").SetAsString("b");
    rules.Post();
    EXPECT_EQ(rules.FieldByName("UNIQUE_ID").AsString(), "r2");
    apollo.SetDataSource(nullptr);
}

// A new detail row takes the master's value in the key field of the order
// in use, also after the order changed.
TEST_F(TablesMasterDetail, NewDetailRowFollowsAChangeOfOrder) {
    nodes.Open();
    rules.Open();
    nodes.Next();
    rules.Append();
    rules.FieldByName("UNIQUE_ID").SetAsString("r6");
    rules.Post();
    rules.SetIndexName("UNIQUE_ID");
    EXPECT_TRUE(rules.IsEmpty());
    rules.Append();
    EXPECT_EQ(rules.FieldByName("UNIQUE_ID").AsString(), "n2");
    EXPECT_EQ(rules.FieldByName("LINK_ID").AsString(), "");
    rules.Cancel();
}
