// TTable as the programs use it: walking, field conversions, editing under
// locks, filters, and two tables on one file.
#include <gtest/gtest.h>

#include "platform/datetime.h"
#include "table_fixture.h"
#include "tables/db_errors.h"
#include "tables/table.h"
#include "xbase/sx.h"

using namespace tabletest;

namespace {

class TablesTable : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("NODES.DBF", nodeFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}, {"LINK_ID", "LINK_ID"}});
        addRows("NODES.DBF", {{"n1", "g1", "first", "5", "20300104", "memo one"},
                              {"n2", "g2", "second", "", "", ""},
                              {"*n3", "g1", "gone", "7", "19991231", ""},
                              {"n4", "g1", "fourth", "600", "19510101", ""}});
    }
    void setUp(TTable& t, const std::string& index = "") {
        t.DatabaseName = folder;
        t.TableName = "NODES.DBF";
        t.TableType = ttSXFOX;
        t.SetIndexName(index);
    }
    std::vector<std::string> names(TTable& t) {
        std::vector<std::string> out;
        for (t.First(); !t.Eof(); t.Next()) out.push_back(t.FieldByName("NODE").AsString());
        return out;
    }
};

}  // namespace

TEST_F(TablesTable, WalksWithEofAndBof) {
    TTable t;
    setUp(t);
    t.Open();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(names(t), (std::vector<std::string>{"first", "second", "gone", "fourth"}));
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "fourth");  // stays on the last row
    t.Prior();
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "gone");
    t.Last();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), 4);
    t.First();
    t.Prior();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecordCount(), 4);
    EXPECT_FALSE(t.IsEmpty());
    EXPECT_THROW(t.FieldByName("NOPE"), EDatabaseError);
    t.Close();
    EXPECT_FALSE(t.Active());
    EXPECT_THROW(t.First(), EDatabaseError);
}

TEST_F(TablesTable, DeletedRowsHideWhenTheSettingIsOn) {
    sx_SetDeleted(-1);
    TTable t;
    setUp(t, "LINK_ID");
    t.Open();
    EXPECT_EQ(names(t), (std::vector<std::string>{"first", "fourth", "second"}));
    EXPECT_EQ(t.RecordCount(), 3);
    t.First();
    t.Delete();
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "fourth");  // the next row
    EXPECT_EQ(names(t), (std::vector<std::string>{"fourth", "second"}));
}

TEST_F(TablesTable, FieldConversions) {
    TTable t;
    setUp(t);
    t.Open();
    TField& freq = t.FieldByName("FREQVAL");
    TField& next = t.FieldByName("NEXTDATE");
    EXPECT_EQ(freq.DataType(), ftSmallint);
    EXPECT_EQ(freq.AsInteger(), 5);
    EXPECT_EQ(freq.AsString(), "5");
    EXPECT_EQ(next.AsString(), "01/04/30");
    EXPECT_EQ(next.AsDateTime(), platform::EncodeDate(2030, 1, 4));
    EXPECT_EQ(t.FieldByName("NOTES").AsString(), "memo one");
    t.Next();
    EXPECT_TRUE(freq.IsNull());
    EXPECT_EQ(freq.AsString(), "");
    EXPECT_EQ(freq.AsInteger(), 0);
    EXPECT_EQ(next.AsString(), "");
    EXPECT_THROW(freq.SetAsString("9"), EDatabaseError);  // not in edit state
    t.Edit();
    EXPECT_THROW(freq.SetAsString("abc"), EConvertError);
    EXPECT_THROW(freq.SetAsInteger(123456), EDBEngineError);
    EXPECT_THROW(next.SetAsString("02/30/20"), EConvertError);
    freq.SetAsString(" 90 ");
    next.SetAsString("12/31/50");  // the pivot: 2050
    t.FieldByName("NODE").SetAsString("renamed");
    t.FieldByName("NOTES").SetAsString("a new memo");
    t.Post();
    t.Close();
    t.Open();  // fields are made anew on open
    t.Next();
    EXPECT_EQ(t.FieldByName("FREQVAL").AsInteger(), 90);
    EXPECT_EQ(t.FieldByName("NEXTDATE").AsDateTime(), platform::EncodeDate(2050, 12, 31));
    EXPECT_EQ(t.FieldByName("NEXTDATE").AsString(), "12/31/50");
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "renamed");
    EXPECT_EQ(t.FieldByName("NOTES").AsString(), "a new memo");
    t.Last();
    EXPECT_EQ(t.FieldByName("NEXTDATE").AsString(), "01/01/51");
    EXPECT_EQ(t.FieldByName("NEXTDATE").AsDateTime(), platform::EncodeDate(1951, 1, 1));
}

TEST_F(TablesTable, InsertCancelAndEvents) {
    TTable t;
    setUp(t, "UNIQUE_ID");
    std::vector<std::string> seen;
    t.AfterInsert = [&](TTable& table) {
        table.FieldByName("NEXTDATE").SetAsDateTime(platform::EncodeDate(2024, 2, 29));
        seen.push_back("insert");
    };
    t.AfterPost = [&](TTable&) { seen.push_back("post"); };
    t.Open();
    t.Append();
    EXPECT_EQ(t.State(), dsInsert);
    EXPECT_FALSE(t.IsEmpty());
    t.FieldByName("UNIQUE_ID").SetAsString("n0");
    t.FieldByName("NODE").SetAsString("new");
    t.Post();
    EXPECT_EQ(seen, (std::vector<std::string>{"insert", "post"}));
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "new");
    EXPECT_EQ(t.FieldByName("NEXTDATE").AsString(), "02/29/24");
    EXPECT_EQ(t.RecNo(), 5);
    t.First();
    EXPECT_EQ(t.FieldByName("UNIQUE_ID").AsString(), "n0");
    t.Insert();
    t.FieldByName("UNIQUE_ID").SetAsString("zz");
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 5);
    EXPECT_EQ(t.FieldByName("UNIQUE_ID").AsString(), "n0");
    // A cancelled memo edit leaves the stored memo alone.
    t.SetIndexName("");
    t.First();
    t.Edit();
    t.FieldByName("NOTES").SetAsString("short");
    EXPECT_EQ(t.FieldByName("NOTES").AsString(), "short");
    t.Cancel();
    EXPECT_EQ(t.FieldByName("NOTES").AsString(), "memo one");
    t.Refresh();
    EXPECT_EQ(t.FieldByName("NOTES").AsString(), "memo one");
    t.SetIndexName("UNIQUE_ID");
    // Moving away from an edit posts it.
    t.Edit();
    t.FieldByName("NODE").SetAsString("moved");
    t.Next();
    t.First();
    EXPECT_EQ(t.FieldByName("NODE").AsString(), "moved");
}

TEST_F(TablesTable, FilterAndLocate) {
    TTable t;
    setUp(t);
    t.SetFilter("LINK_ID = 'g1' .or. NODE = 'second'");
    t.SetFiltered(true);
    t.Open();
    t.SetFilter("LINK_ID = 'g1' .or. NODE = 'second'");
    EXPECT_EQ(names(t), (std::vector<std::string>{"first", "second", "gone", "fourth"}));
    t.SetFilter("LINK_ID = 'g1'");
    EXPECT_EQ(names(t), (std::vector<std::string>{"first", "gone", "fourth"}));
    EXPECT_TRUE(t.Locate("NODE", "FOURTH", true));
    EXPECT_EQ(t.RecNo(), 4);
    EXPECT_FALSE(t.Locate("NODE", "second"));  // hidden by the filter
    EXPECT_EQ(t.RecNo(), 4);
    EXPECT_FALSE(t.Locate("NODE", "x' .or. .T. .or. 'y"));
    // One visible row: walking past it is the end, not an empty table.
    t.SetFilter("NODE = 'fourth'");
    t.First();
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_FALSE(t.Bof());
    EXPECT_FALSE(t.IsEmpty());
    t.SetFiltered(false);
    EXPECT_EQ(names(t).size(), 4u);
    t.SetFilter("NOSUCHFIELD = 1");
    EXPECT_THROW(t.SetFiltered(true), EDBEngineError);
    // Opening with a filter the engine refuses leaves the table closed.
    t.Close();
    EXPECT_THROW(t.Open(), EDBEngineError);
    EXPECT_FALSE(t.Active());
}

TEST_F(TablesTable, TwoTablesOnOneFileSeeEachOther) {
    TTable a, b;
    setUp(a);
    setUp(b);
    a.Open();
    b.Open();
    a.Append();
    a.FieldByName("UNIQUE_ID").SetAsString("n5");
    a.FieldByName("NODE").SetAsString("from a");
    a.Post();
    b.Refresh();
    b.Last();
    EXPECT_EQ(b.FieldByName("NODE").AsString(), "from a");
    // An edit lock held by one refuses the other's edit.
    a.Last();
    a.Edit();
    try {
        b.Edit();
        FAIL() << "edit of a locked row";
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), tables::kRecordLocked);
        EXPECT_STREQ(e.what(), "Table engine. Error : 10245");
    }
    EXPECT_EQ(b.State(), dsBrowse);
    a.FieldByName("NODE").SetAsString("edited by a");
    a.Post();
    b.Edit();
    EXPECT_EQ(b.FieldByName("NODE").AsString(), "edited by a");  // the edit starts from the disk
    b.Cancel();
    a.Edit();  // the cancel gave the lock back
    a.Cancel();
}

TEST_F(TablesTable, ReadOnlyAndMissingTables) {
    TTable t;
    setUp(t);
    t.ReadOnly = true;
    t.Exclusive = true;
    t.Open();
    EXPECT_THROW(t.Edit(), EDatabaseError);
    EXPECT_THROW(t.Append(), EDatabaseError);
    TTable other;
    setUp(other);
    EXPECT_NO_THROW(other.Open());  // read-only is not exclusive
    TTable missing;
    missing.DatabaseName = folder;
    missing.TableName = "nothere.dbf";
    try {
        missing.Open();
        FAIL();
    } catch (const EDBEngineError& e) {
        EXPECT_EQ(e.ErrorCode(), tables::kOpenFailed);
    }
    EXPECT_FALSE(missing.Active());
}
