// Opening tables through the cursor interface: aliases, modes, handles.
#include <gtest/gtest.h>

#include "table_fixture.h"
#include "tables/cursor_interface.h"
#include "tables/wa_guard.h"
#include "xbase/sx.h"

using namespace tables;
using namespace tabletest;

namespace {

class TablesCursorOpen : public TablesTest {
protected:
    int open(const std::string& name, bool readOnly = false, bool exclusive = false, DBIResult* rc = nullptr) {
        int db = 0;
        EXPECT_EQ(cursors().OpenDatabase(folder, db), kOk);
        databases.push_back(db);
        int handle = 0;
        static const std::string fox = "SXFOX";
        const DBIResult result = cursors().OpenTable(db, name, &fox, "", "", readOnly, exclusive, handle);
        if (rc) *rc = result;
        else EXPECT_EQ(result, kOk);
        if (result == kOk) handles.push_back(handle);
        return handle;
    }
    void TearDown() override {
        for (int h : handles) cursors().CloseCursor(h);
        for (int db : databases) cursors().CloseDatabase(db);
        TablesTest::TearDown();
    }
    std::vector<int> handles;
    std::vector<int> databases;
};

}  // namespace

TEST_F(TablesCursorOpen, AliasesFromFileNamesAreMadeUniqueAndSafe) {
    makeTable("accounts1.dbf", ruleFields());
    makeTable("accounts2.dbf", ruleFields());
    makeTable("my~od-d x.dbf", ruleFields());
    const int a = open("accounts1.dbf");
    const int b = open("accounts2.dbf");
    EXPECT_EQ(cursors().workArea(a)->alias, "accounts");
    EXPECT_EQ(cursors().workArea(b)->alias, "accounts_1");
    const int c = open("my~od-d x.dbf");
    const int d = open("my~od-d x.dbf");
    EXPECT_EQ(cursors().workArea(c)->alias, "my_od_d_");
    EXPECT_EQ(cursors().workArea(d)->alias, "my_od_d__1");
}

TEST_F(TablesCursorOpen, ReadOnlyWinsOverExclusive) {
    makeTable("rules.dbf", ruleFields());
    const int ro = open("rules.dbf", true, true);
    // Not exclusive: a second shared open of the file succeeds.
    const int shared = open("rules.dbf");
    EXPECT_NE(shared, 0);
    std::string record;
    ASSERT_EQ(cursors().InitRecord(ro, record), kOk);
    EXPECT_NE(cursors().AppendRecord(ro, record), kOk);
    EXPECT_EQ(cursors().AppendRecord(shared, record), kOk);
}

TEST_F(TablesCursorOpen, FailuresLeaveNothingBehind) {
    DBIResult rc = kOk;
    open("missing.dbf", false, false, &rc);
    EXPECT_EQ(rc, kOpenFailed);
    // A path longer than the engine's buffer is refused, not cut to another name.
    open(std::string(300, 'a') + ".dbf", false, false, &rc);
    EXPECT_EQ(rc, kTextTooLong);
    EXPECT_EQ(CursorInterface::GetErrorText(kOpenFailed), "Table engine. Error : 10024");
    EXPECT_EQ(CursorInterface::GetErrorText(kFileOpenError), "File Open Error");
}

TEST_F(TablesCursorOpen, ClosedAreaIsAnInvalidHandleNotTheCurrentOne) {
    makeTable("a.dbf", ruleFields());
    makeTable("b.dbf", ruleFields());
    const int a = open("a.dbf");
    const int b = open("b.dbf");
    ASSERT_EQ(cursors().CloseCursor(a), kOk);
    handles.erase(handles.begin());
    sx_Select(b);
    int32_t count = -1;
    EXPECT_EQ(cursors().GetRecordCount(a, count), kInvalidHandle);
    EXPECT_EQ(cursors().SetToBegin(a), kInvalidHandle);
    std::string record(200, ' ');
    EXPECT_EQ(cursors().AppendRecord(a, record), kInvalidHandle);
    EXPECT_EQ(cursors().CloseCursor(a), kInvalidHandle);
    int32_t bCount = -1;
    ASSERT_EQ(cursors().GetRecordCount(b, bCount), kOk);
    EXPECT_EQ(bCount, 0);
    EXPECT_FALSE(TWA(0).valid());
    EXPECT_FALSE(TWA(256).valid());
}

TEST(TablesEngineVersion, TwoFortyOrLater) {
    EXPECT_TRUE(engineVersionUsable("2.40.00"));
    EXPECT_TRUE(engineVersionUsable("3.00.00"));
    EXPECT_TRUE(engineVersionUsable(sx_Version()));
    EXPECT_FALSE(engineVersionUsable("2.39.99"));
    EXPECT_FALSE(engineVersionUsable("1.99.00"));
    EXPECT_FALSE(engineVersionUsable(""));
    EXPECT_FALSE(engineVersionUsable("v2"));
}

TEST_F(TablesCursorOpen, DatabaseSlotsRunOutWithAnError) {
    std::vector<int> taken;
    DBIResult rc = kOk;
    for (int i = 0; i < kDatabaseSlots + 1 && rc == kOk; ++i) {
        int handle = 0;
        rc = cursors().OpenDatabase(folder, handle);
        if (rc == kOk) {
            EXPECT_GE(handle, 1);
            EXPECT_LE(handle, kDatabaseSlots);
            taken.push_back(handle);
        }
    }
    EXPECT_EQ(rc, kNoDatabaseSlot);
    for (int h : taken) cursors().CloseDatabase(h);
    int handle = 0;
    EXPECT_EQ(cursors().OpenDatabase("", handle), kOk);
    cursors().CloseDatabase(handle);
}

TEST_F(TablesCursorOpen, DirectoryRules) {
    int db = 0;
    ASSERT_EQ(cursors().OpenDatabase(folder.substr(0, folder.size() - 1), db), kOk);
    std::string full;
    EXPECT_EQ(cursors().FormFullName(db, "x.dbf", full), kOk);
    EXPECT_EQ(full, folder + "x.dbf");
    EXPECT_EQ(cursors().SetDirectory(0, "/tmp"), kInvalidHandle);
    EXPECT_FALSE(reports.empty());
    cursors().CloseDatabase(db);
    reports.clear();
    int handle = 0;
    static const std::string fox = "SXFOX";
    EXPECT_NE(cursors().OpenTable(db, "x.dbf", &fox, "", "", false, false, handle), kOk);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Could not find directory associated with this database");
}

TEST_F(TablesCursorOpen, PropsAndIndexDescriptions) {
    makeTable("nodes.dbf", nodeFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}, {"UPNODE", "UPPER(NODE)"}});
    int db = 0;
    ASSERT_EQ(cursors().OpenDatabase(folder, db), kOk);
    databases.push_back(db);
    int h = 0;
    static const std::string fox = "SXFOX";
    ASSERT_EQ(cursors().OpenTable(db, "nodes.dbf", &fox, "UNIQUE_ID", "UNIQUE_ID", false, false, h), kOk);
    handles.push_back(h);
    CursorProps props;
    ASSERT_EQ(cursors().GetCursorProps(h, props), kOk);
    EXPECT_EQ(props.tableName, "nodes");
    EXPECT_EQ(props.tableType, "SXFOX");
    EXPECT_EQ(props.fieldCount, 6);
    EXPECT_EQ(props.indexCount, 2);
    EXPECT_TRUE(props.indexed);
    // C20 21 + C20 21 + C40 41 + N4 2 + D 4 + M 0
    EXPECT_EQ(props.recordSize, 89);
    std::vector<IndexDesc> descs;
    ASSERT_EQ(cursors().GetIndexDescs(h, descs), kOk);
    ASSERT_EQ(descs.size(), 2u);
    EXPECT_TRUE(descs[0].unique);
    EXPECT_EQ(descs[0].keyField, 1);
    EXPECT_FALSE(descs[0].caseInsensitive);
    EXPECT_TRUE(descs[1].expressionIndex);
    EXPECT_TRUE(descs[1].caseInsensitive);
    ASSERT_EQ(cursors().SwitchToIndex(h, ""), kOk);
    IndexDesc none;
    EXPECT_EQ(cursors().GetIndexDesc(h, 0, none), kNoIndexOrder);
    ASSERT_EQ(cursors().SwitchToIndex(h, "upnode.cdx"), kOk);
    ASSERT_EQ(cursors().GetIndexDesc(h, 0, none), kOk);
    EXPECT_EQ(none.tagName, "UPNODE");
}

TEST_F(TablesCursorOpen, FieldListsOfOpenAndClosedTables) {
    makeTable("rules.dbf", ruleFields());
    makeTable("other.dbf", {field("ONLY", 'C', 3)});
    const int h = open("rules.dbf");
    int db = databases.back();
    auto names = [&](const std::string& table) {
        int list = 0;
        EXPECT_EQ(cursors().OpenFieldList(db, table, list), kOk);
        EXPECT_EQ(list, kFieldListHandle);
        std::vector<std::string> out;
        FieldDesc desc;
        while (cursors().FetchField(list, desc) == kOk) out.push_back(desc.name);
        EXPECT_EQ(cursors().CloseCursor(list), kOk);
        return out;
    };
    EXPECT_EQ(names("RULES.DBF"), (std::vector<std::string>{"UNIQUE_ID", "LINK_ID", "RULE"}));
    const int before = sx_WorkArea("");
    EXPECT_EQ(names("other.dbf"), (std::vector<std::string>{"ONLY"}));
    EXPECT_EQ(sx_WorkArea(""), before);
    EXPECT_EQ(sx_WorkArea("other"), 0);  // opened for the list only
    FieldDesc desc;
    EXPECT_EQ(cursors().FetchField(261, desc), kEndOfTable);
    EXPECT_NE(h, 0);
}
