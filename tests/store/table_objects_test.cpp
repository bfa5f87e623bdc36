// The tables of a new data folder used through each program's table
// objects: tags found by key, detail tables following their masters.
#include <gtest/gtest.h>

#include "store/data_folder.h"
#include "store/record_ids.h"
#include "store/restriction_row.h"
#include "store/table_layouts.h"
#include "store/table_objects.h"
#include "store/store_error.h"
#include "tables/apollo.h"
#include "tables/apollo_env.h"
#include "tables/data_source.h"
#include "tables/table.h"
#include "tests/support/temp_dir.h"
#include "xbase/sx.h"

namespace {

using Ids = std::vector<std::string>;

class StoreTableObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        store::CreateDataFolder(folder, false);
        env.SetDeleted(true);
    }
    void TearDown() override { sx_SetDeleted(0); }

    // A table object of its own, in the order of one tag.
    struct Probe {
        TTable table;
        TDataSource source{&table};
        TApollo apollo;
        Probe(const std::string& folder, const char* file, const char* index)
        {
            table.DatabaseName = folder;
            table.TableName = file;
            table.TableType = ttSXFOX;
            table.SetIndexName(index);
            apollo.SetDataSource(&source);
            table.Open();
        }
    };

    static void add(TTable& table, const std::vector<std::pair<const char*, std::string>>& values)
    {
        table.Append();
        for (const auto& [field, value] : values)
            table.FieldByName(field).SetAsString(value);
        table.Post();
    }

    static Ids column(TTable& table, const char* field)
    {
        Ids out;
        for (table.First(); !table.Eof(); table.Next())
            out.push_back(table.FieldByName(field).AsString());
        return out;
    }

    test_support::TempDir dir{"tableobjects"};
    std::string folder = dir.path() + "/data/";
    TApolloEnv env;
};

TEST_F(StoreTableObjects, ManagerTreeWalkFollowsOrganisationFolderAccountAgent)
{
    store::TableSet set(store::ManagerTableObjects());
    set.SetDatabaseFolder(dir.path() + "/data");  // without the separator
    set.SysProp(store::ManagerOpenOrder(), SX_SP_ERROR_LEVEL, 0);
    set.Open(store::ManagerOpenOrder());

    TTable& orgs = set.Table("TableOrgs");
    orgs.First();
    const std::string org = orgs.FieldByName("UNIQUE_ID").AsString();
    ASSERT_EQ(org.size(), 16u);

    // A new folder belongs to the organisation row the table stands on.
    add(set.Table("TableGroups"), {{"UNIQUE_ID", "g1"}, {"GROUP", "Work"}});
    add(set.Table("TableGroups2"), {{"UNIQUE_ID", "g2"}, {"LINK_ID", "elsewhere"}, {"GROUP", "Other"}});
    EXPECT_EQ(column(set.Table("TableGroups"), "GROUP"), (Ids{"Work"}));
    EXPECT_EQ(set.Table("TableGroups").FieldByName("LINK_ID").AsString(), org);

    TTable& nodes = set.Table("TableNodes");
    add(nodes, {{"UNIQUE_ID", "n1"}, {"NODE", "home"}});
    add(nodes, {{"UNIQUE_ID", "n2"}, {"NODE", "office"}});
    EXPECT_EQ(nodes.FieldByName("LINK_ID").AsString(), "g1");
    add(set.Table("TableAgents"), {{"UNIQUE_ID", "a1"}, {"AGENT", "Auto answer"}});
    EXPECT_EQ(set.Table("TableAgents").FieldByName("LINK_ID").AsString(), "n2");
    nodes.First();
    EXPECT_TRUE(set.Table("TableAgents").IsEmpty());
    nodes.Next();
    EXPECT_EQ(column(set.Table("TableAgents"), "AGENT"), (Ids{"Auto answer"}));
    // The selected folder is looked up in GROUP order.
    EXPECT_EQ(column(set.Table("TableGroups2"), "GROUP"), (Ids{"Other", "Work"}));
    EXPECT_EQ(&set.Apollo("ApolloGroups2"), &set.Apollo("TableGroups2"));
    EXPECT_EQ(set.Apollo("ApolloAgentActions").DataSource(), &set.DataSource("DataSourceAgentActions"));
    EXPECT_THROW(set.Table("TableNone"), store::StoreError);
}

TEST_F(StoreTableObjects, SelectedAccountShowsItsRestrictionsAndMessages)
{
    store::TableSet set(store::ManagerTableObjects());
    set.SetDatabaseFolder(folder);
    set.Open(store::ManagerOpenOrder());
    TTable& node = set.Table("TableNodes2");
    add(node, {{"UNIQUE_ID", "n1"}});
    add(node, {{"UNIQUE_ID", "n2"}});
    add(set.Table("TableRules"), {{"UNIQUE_ID", "r1"}, {"RULE", "Control Restriction"}, {"COND", "A"}});
    add(set.Table("TableReceived"), {{"MESSAGE_ID", "20260304070809Hello"}, {"FILENAME", std::string(200, 'f')}});
    node.First();
    add(set.Table("TableRules"), {{"UNIQUE_ID", "r2"}, {"RULE", "Spam"}});
    EXPECT_EQ(column(set.Table("TableRules"), "UNIQUE_ID"), (Ids{"r2"}));
    EXPECT_TRUE(set.Table("TableReceived").IsEmpty());
    node.Next();
    EXPECT_EQ(column(set.Table("TableRules"), "RULE"), (Ids{"Control Restriction"}));
    // A long mail file name is stored whole.
    EXPECT_EQ(column(set.Table("TableReceived"), "FILENAME"), (Ids{std::string(200, 'f')}));

    // Deleting an account leaves the rows that link to it.
    node.Delete();
    Probe rules(folder, store::kRulesTable, "");
    EXPECT_EQ(rules.apollo.Count(), 2);
}

TEST_F(StoreTableObjects, UniqueTagFindsTheFirstOfEqualIdentifiers)
{
    Probe nodes(folder, store::kNodesTable, "UNIQUE_ID");
    add(nodes.table, {{"UNIQUE_ID", "20260304070809Wo"}, {"NODE", "first"}});
    add(nodes.table, {{"UNIQUE_ID", "20260304070809Wo"}, {"NODE", "second"}});
    add(nodes.table, {{"UNIQUE_ID", "20260304070810Wo"}, {"NODE", "third"}});
    ASSERT_TRUE(nodes.apollo.Seek("20260304070809Wo"));
    EXPECT_EQ(nodes.table.FieldByName("NODE").AsString(), "first");
    EXPECT_EQ(nodes.apollo.Count(), 2);  // the tag holds the first row of each key
    Probe all(folder, store::kNodesTable, "");
    EXPECT_EQ(all.apollo.Count(), 3);    // the table keeps every row
}

TEST_F(StoreTableObjects, IdentifiersAreCheckedAgainstTheUniqueTag)
{
    Probe groups(folder, store::kGroupsTable, "UNIQUE_ID");
    add(groups.table, {{"UNIQUE_ID", "20260304070809Wo"}, {"GROUP", "Work"}});
    add(groups.table, {{"UNIQUE_ID", "20260304070810Wo"}, {"GROUP", "Workshop"}});
    const store::KeyTaken taken = store::TagHolds(folder, store::kGroupsTable, "UNIQUE_ID");
    EXPECT_TRUE(taken("20260304070809Wo"));
    EXPECT_FALSE(taken("20260304070809W"));  // a prefix of a key is not the key
    EXPECT_FALSE(taken("20260304070811Wo"));

    // A deleted row still holds its key in the tag, so it still clashes.
    ASSERT_TRUE(groups.apollo.Seek("20260304070810Wo"));
    groups.table.Delete();
    EXPECT_TRUE(taken("20260304070810Wo"));

    const TDateTime clock = platform::EncodeDate(2026, 3, 4) + platform::EncodeTime(7, 8, 9, 0);
    store::RecordIds ids({[clock] { return clock; }, {}, [](int) {}});
    EXPECT_EQ(ids.UniqueClockId("Work", 2, taken), "20260304070811Wo");
    // A table without an index holds no keys.
    EXPECT_FALSE(store::TagHolds(folder, store::kOrgsTable, "UNIQUE_ID")("x"));
}

TEST_F(StoreTableObjects, NewAccountGetsItsDefaultRestriction)
{
    const TDateTime clock = platform::EncodeDate(2026, 3, 4) + platform::EncodeTime(7, 8, 9, 0);
    store::RecordIds ids({[clock] { return clock; }, {}, [](int) {}});
    const std::string account = "53742090726030442";
    {
        Probe rules(folder, store::kRulesTable, "LINK_ID");
        store::AppendRestriction(rules.table, store::DefaultRestriction(ids, account, true, false));
    }
    Probe rules(folder, store::kRulesTable, "LINK_ID");
    ASSERT_TRUE(rules.apollo.Seek(account));
    const auto field = [&](const char* name) { return rules.table.FieldByName(name).AsString(); };
    EXPECT_EQ(field("UNIQUE_ID"), "20260304070809537420");
    EXPECT_EQ(field("LINK_ID"), account);
    EXPECT_EQ(field("RULE"), "Control Restriction");
    EXPECT_EQ(field("COND"), "A");
    EXPECT_EQ(field("CONDVAL1"), "");
    EXPECT_EQ(field("CONDVAL2"), "");
    EXPECT_EQ(field("ACT1"), "Y");
    EXPECT_EQ(field("ACT2"), "N");
}

TEST_F(StoreTableObjects, ProcessorsDataModules)
{
    {
        store::TableSet agents(store::AgentProcessorTableObjects());
        agents.SetDatabaseFolder(folder);
        agents.SysProp({"TableAReceived", "TableANodes", "TableAPending", "TableAgents", "TableActions"},
                       SX_SP_ERROR_LEVEL, 0);
        agents.Open(store::AgentProcessorOpenOrder());
        add(agents.Table("TableANodes"), {{"UNIQUE_ID", "n1"}});
        add(agents.Table("TableAgents"), {{"UNIQUE_ID", "a1"}, {"AGENT", "Auto answer"}});
        add(agents.Table("TableAReceived"), {{"MESSAGE_ID", "k1"}});
        add(agents.Table("TableActions"), {{"UNIQUE_ID", "h1"}, {"ACTION", std::string(254, 'x')}});
        EXPECT_EQ(agents.Table("TableAgents").FieldByName("LINK_ID").AsString(), "n1");
        EXPECT_EQ(agents.Table("TableAReceived").FieldByName("LINK_ID").AsString(), "n1");
        EXPECT_EQ(agents.Table("TableActions").FieldByName("ACTION").AsString().size(), 254u);
    }
    store::TableSet retriever(store::RetrieverTableObjects());
    retriever.SetDatabaseFolder(folder);
    retriever.Open(store::RetrieverOpenOrder());
    // The organisations table stays closed and its component unbound.
    EXPECT_FALSE(retriever.Table("TableOrgs").Active());
    EXPECT_EQ(retriever.Apollo("ApolloOrgs").DataSource(), nullptr);
    EXPECT_TRUE(retriever.Apollo("ApolloReceived").Seek("k1"));
    EXPECT_FALSE(retriever.Apollo("ApolloReceived").Seek("k2"));
    EXPECT_TRUE(retriever.Table("TablePending").IsEmpty());
    EXPECT_EQ(retriever.Table("TableRules").MasterFields, "UNIQUE_ID");
}

}  // namespace
