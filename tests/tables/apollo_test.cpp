// TApollo beside a table, and the program's one TApolloEnv.
#include <gtest/gtest.h>

#include "platform/datetime.h"
#include "table_fixture.h"
#include "tables/apollo.h"
#include "tables/apollo_env.h"
#include "tables/data_source.h"
#include "tables/db_errors.h"
#include "tables/short_date.h"
#include "tables/table.h"
#include "xbase/sx.h"

using namespace tabletest;

namespace {

class TablesApollo : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("received.dbf", ruleFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}, {"LINK_ID", "LINK_ID"}});
        addRows("received.dbf", {{"m1", "a", "x"}, {"*m2", "a", "y"}, {"m3", "b", "z"}, {"m4", "a", "w"}});
        table.DatabaseName = folder;
        table.TableName = "received.dbf";
        table.TableType = ttSXFOX;
        source.SetDataSet(&table);
        apollo.SetDataSource(&source);
    }
    void reopenExclusive() {
        table.Close();
        table.Exclusive = true;
        table.Open();
    }
    TTable table;
    TDataSource source;
    TApollo apollo;
};

}  // namespace

TEST_F(TablesApollo, SeekLandsOnTheKeyOrAtTheEnd) {
    table.SetIndexName("UNIQUE_ID");
    table.Open();
    EXPECT_TRUE(apollo.Seek("m3"));
    EXPECT_EQ(table.FieldByName("UNIQUE_ID").AsString(), "m3");
    EXPECT_EQ(apollo.RecNo(), 3);
    EXPECT_FALSE(table.Eof());
    EXPECT_FALSE(apollo.Seek("zz"));
    EXPECT_TRUE(table.Eof());
    EXPECT_THROW(apollo.Seek(std::string(300, 'k')), EDBEngineError);
    // A partial key finds its first row unless exact comparison is on; a
    // soft seek that misses still leaves the table at its end.
    EXPECT_TRUE(apollo.Seek("m"));
    EXPECT_EQ(apollo.RecNo(), 1);
    TApolloEnv env;
    env.SetExact(true);
    EXPECT_FALSE(apollo.Seek("m"));
    EXPECT_TRUE(table.Eof());
    env.SetExact(false);
    env.SetSoftSeek(true);
    EXPECT_FALSE(apollo.Seek("m25"));
    EXPECT_TRUE(table.Eof());
    env.SetSoftSeek(false);
}

// What the processors rely on: a row posted through the table is found by a
// seek on the unique tag at once, and a key stays findable while any row
// holds it, even when the row the tag kept for it takes another key.
TEST_F(TablesApollo, PostedKeysAreFoundOnTheUniqueTag) {
    table.SetIndexName("UNIQUE_ID");
    table.Open();
    table.Append();
    table.FieldByName("UNIQUE_ID").SetAsString("m9");
    table.FieldByName("LINK_ID").SetAsString("c");
    table.Post();
    table.Append();
    table.FieldByName("UNIQUE_ID").SetAsString("m3");  // a second row with a held key
    table.FieldByName("LINK_ID").SetAsString("d");
    table.Post();
    EXPECT_TRUE(apollo.Seek("m9"));
    EXPECT_EQ(table.FieldByName("LINK_ID").AsString(), "c");
    ASSERT_TRUE(apollo.Seek("m3"));
    EXPECT_EQ(apollo.RecNo(), 3);
    table.Edit();
    table.FieldByName("UNIQUE_ID").SetAsString("m5");
    table.Post();
    ASSERT_TRUE(apollo.Seek("m3"));
    EXPECT_EQ(table.FieldByName("LINK_ID").AsString(), "d");
    EXPECT_TRUE(apollo.Seek("m5"));
}

TEST_F(TablesApollo, GoToRecordSettlesOnAVisibleRow) {
    table.Open();
    apollo.GoToRecord(3);
    EXPECT_EQ(table.FieldByName("UNIQUE_ID").AsString(), "m3");
    sx_SetDeleted(-1);
    apollo.GoToRecord(2);  // deleted, so hidden
    EXPECT_EQ(table.FieldByName("UNIQUE_ID").AsString(), "m3");
    table.SetFilter("LINK_ID = 'a'");
    table.SetFiltered(true);
    apollo.GoToRecord(3);
    EXPECT_EQ(table.FieldByName("UNIQUE_ID").AsString(), "m4");
}

TEST_F(TablesApollo, CountFollowsScopeAndDeletedSetting) {
    table.SetIndexName("LINK_ID");
    table.Open();
    EXPECT_EQ(apollo.Count(), 4);
    sx_SetDeleted(-1);
    EXPECT_EQ(apollo.Count(), 3);
    TTable master;
    master.DatabaseName = folder;
    master.TableName = "received.dbf";
    master.Open();
    TDataSource masterSource(&master);
    table.MasterFields = "LINK_ID";
    table.SetMasterSource(&masterSource);
    EXPECT_EQ(apollo.Count(), 2);  // link "a", without the deleted row
    sx_SetDeleted(0);
    EXPECT_EQ(apollo.Count(), 3);
}

TEST_F(TablesApollo, IndexTagBecomesTheTablesIndex) {
    reopenExclusive();
    const int order = apollo.IndexTag("", "FROMTAG", "RULE", 0, true, "");
    EXPECT_GT(order, 0);
    EXPECT_EQ(table.IndexName(), "FROMTAG");
    EXPECT_EQ(apollo.TagName(order), "FROMTAG");
    EXPECT_EQ(apollo.IndexOrd(), order);
    table.First();
    EXPECT_EQ(table.FieldByName("RULE").AsString(), "z");  // descending
    EXPECT_TRUE(apollo.SetOrder(1));
    EXPECT_EQ(table.IndexName(), "UNIQUE_ID");
}

TEST_F(TablesApollo, PackAndZapOnAnExclusiveTable) {
    reopenExclusive();
    table.Last();
    apollo.Pack();
    EXPECT_EQ(table.RecordCount(), 3);
    table.Last();
    EXPECT_EQ(table.FieldByName("UNIQUE_ID").AsString(), "m4");
    EXPECT_EQ(apollo.RecNo(), 3);
    table.First();
    table.Next();
    EXPECT_EQ(table.FieldByName("UNIQUE_ID").AsString(), "m3");
    apollo.Zap();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(apollo.Count(), 0);
}

TEST_F(TablesApollo, FilterComesBackWhenTheTableReopens) {
    table.Open();
    EXPECT_TRUE(apollo.Query("LINK_ID = 'b'"));
    EXPECT_EQ(table.FieldByName("UNIQUE_ID").AsString(), "m3");
    table.Close();
    table.Open();
    EXPECT_EQ(apollo.Filter(), "LINK_ID = 'b'");
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_FALSE(apollo.Query("NOFIELD = 1"));
}

TEST_F(TablesApollo, ExtraIndexWithoutExtensionGetsTheTypesOne) {
    table.Open();
    const std::string extra = folder + "extra.IDX";
    {
        TTable maker;
        maker.DatabaseName = folder;
        maker.TableName = "received.dbf";
        maker.Exclusive = false;
        table.Close();
        maker.Exclusive = true;
        maker.Open();
        TDataSource makerSource(&maker);
        TApollo makerApollo;
        makerApollo.SetDataSource(&makerSource);
        ASSERT_GT(makerApollo.IndexTag(extra, "BYRULE", "RULE", 0, false, ""), 0) << xbase::lastErrorText();
    }
    table.Open();
    apollo.SetExtraIndexes({folder + "extra"});
    EXPECT_EQ(table.IndexName(), "BYRULE");
    table.First();
    EXPECT_EQ(table.FieldByName("RULE").AsString(), "w");
}

TEST_F(TablesApollo, OperationsPutTheCurrentAreaBack) {
    table.Open();
    TTable other;
    other.DatabaseName = folder;
    other.TableName = "received.dbf";
    other.Open();
    sx_Select(other.CursorHandle());
    EXPECT_EQ(apollo.Count(), 4);
    apollo.GoToRecord(4);
    EXPECT_EQ(sx_WorkArea(""), other.CursorHandle());
    apollo.SetTurboRead(true);
    EXPECT_TRUE(apollo.TurboRead());
    EXPECT_EQ(apollo.SysProp(SX_SP_AREA_IN_USE, table.CursorHandle()), 1);
    // On a closed table nothing moves or is erased.
    table.Close();
    apollo.Zap();
    apollo.Pack();
    EXPECT_EQ(other.RecordCount(), 4);
}

TEST(TablesApolloEnv, OneInstanceAndItsSettings) {
    TApolloEnv env;
    EXPECT_EQ(TApolloEnv::Instance(), &env);
    EXPECT_EQ(env.Epoch(), 1900);
    EXPECT_EQ(env.DateFormat(), dfWinDefault);
    env.SetDeleted(true);
    try {
        TApolloEnv second;
        FAIL() << "a second settings component";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Removing extra TApolloEnv component");
    }
    EXPECT_EQ(TApolloEnv::Instance(), &env);
    EXPECT_TRUE(env.Deleted());
    for (auto [given, kept] : {std::pair{0, 1900}, {99, 100}, {3000, 2999}, {2999, 2999}, {1950, 1950}}) {
        env.SetEpoch(given);
        EXPECT_EQ(env.Epoch(), kept);
    }
    EXPECT_EQ(sx_SetEpoch(1900), 1950);

    env.SetCentury(true);
    env.SetDateFormat(dfGerman);
    EXPECT_EQ(tables::shortDateFormat(), "dd.mm.yyyy");
    EXPECT_EQ(tables::dateToText(platform::EncodeDate(2031, 2, 3)), "03.02.2031");
    env.SetDateFormat(dfBritish);
    EXPECT_EQ(tables::shortDateFormat(), "dd/mm/yyyy");
    env.SetCentury(false);
    EXPECT_EQ(tables::shortDateFormat(), "dd/mm/yy");
    env.SetDateFormat(dfWinDefault);
    EXPECT_EQ(tables::shortDateFormat(), "mm/dd/yy");
    env.SetDeleted(false);
    sx_SetEpoch(1900);
}

TEST(TablesApolloEnv, AnotherMayComeOnceTheFirstIsGone) {
    { TApolloEnv first; }
    EXPECT_EQ(TApolloEnv::Instance(), nullptr);
    TApolloEnv next;
    EXPECT_EQ(TApolloEnv::Instance(), &next);
}
