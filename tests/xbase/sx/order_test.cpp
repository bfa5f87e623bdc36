// Orders: tags made with sx_IndexTag, seek, scope, equal keys, descending,
// unique and conditional tags.

#include "sx_test_support.h"

namespace {

using sxtest::EngineTest;

class SxOrders : public EngineTest {
protected:
    // Rows: 1 B/2, 2 A/1, 3 C/3, 4 A/4, 5 B/5 (equal names on purpose).
    void fill() {
        ASSERT_GT(makeTable("t.dbf"), 0) << xbase::lastErrorText();
        const char* names[] = {"B", "A", "C", "A", "B"};
        const double ns[] = {2, 1, 3, 4, 5};
        for (int i = 0; i < 5; ++i) appendRow(names[i], ns[i]);
    }
};

TEST_F(SxOrders, EqualKeysComeInRecordOrder) {
    fill();
    ASSERT_EQ(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 1) << xbase::lastErrorText();
    EXPECT_EQ(sx_IndexOrd(), 1);
    EXPECT_EQ(walkForward(), (std::vector<int>{2, 4, 1, 5, 3}));
    EXPECT_EQ(walkBackward(), (std::vector<int>{3, 5, 1, 4, 2}));
    // Appended keys join their equals at the end of the run.
    appendRow("A", 6);
    EXPECT_EQ(walkForward(), (std::vector<int>{2, 4, 6, 1, 5, 3}));
}

TEST_F(SxOrders, AppendedRowIsInEveryTagWhetherPostedOrNot) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    ASSERT_GT(sx_IndexTag(nullptr, "N", "N", 0, 0, nullptr), 0);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);  // left blank: its blank keys count
    sx_GoTop();
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);  // posted field by field
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "AB"));
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);  // released by an explicit unlock
    sx_Unlock(sx_RecNo());
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);  // whole record posted
    std::string rec(static_cast<std::size_t>(sx_RecSize()), ' ');
    rec.replace(1, 2, "BA");
    ASSERT_TRUE(sx_PutRecord(rec.data()));
    sx_SetOrder(sx_TagArea("NAME"));
    EXPECT_EQ(walkForward(), (std::vector<int>{6, 8, 2, 4, 7, 1, 5, 9, 3}));
    sx_SetOrder(sx_TagArea("N"));
    EXPECT_EQ(sx_Count(), 9);
}

TEST_F(SxOrders, DescendingNumericTag) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "N", "N", 0, -1, nullptr), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_SysProp(SX_SP_DESCENDING, 0), 1);
    EXPECT_EQ(walkForward(), (std::vector<int>{5, 4, 3, 1, 2}));
    EXPECT_TRUE(sx_Seek("3"));
    EXPECT_EQ(sx_RecNo(), 3);
    EXPECT_EQ(sx_KeyData(), "3");
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 1);
}

TEST_F(SxOrders, UniqueTagKeepsTheFirstRowOfEachKey) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "UNAME", "NAME", 1, 0, nullptr), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_IndexType(), SX_INDEX_UNIQUE);
    EXPECT_EQ(walkForward(), (std::vector<int>{2, 1, 3}));
    appendRow("A", 9);  // a second A stays out of the tag, the table keeps it
    EXPECT_EQ(walkForward(), (std::vector<int>{2, 1, 3}));
    EXPECT_EQ(sx_RecCount(), 6);
    EXPECT_TRUE(sx_Seek("A"));
    EXPECT_EQ(sx_RecNo(), 2);
}

// When the row a unique tag kept for a key takes another key (or leaves a
// conditional tag), the key stays findable through the next row holding it.
TEST_F(SxOrders, UniqueKeyPassesToTheNextRowWhenItsHolderChanges) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "UNAME", "NAME", 1, 0, nullptr), 0) << xbase::lastErrorText();
    sx_Go(2);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "D")) << xbase::lastErrorText();
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 1, 3, 2}));
    EXPECT_TRUE(sx_Seek("A"));
    EXPECT_EQ(sx_RecNo(), 4);
    // A held key that no other row has simply goes.
    sx_Go(3);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "E"));
    EXPECT_FALSE(sx_Seek("C"));
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 1, 2, 3}));

    ASSERT_GT(sx_IndexTag(nullptr, "UBIG", "NAME", 1, 0, "N > 1"), 0) << xbase::lastErrorText();
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 1, 3}));  // D has N 1
    sx_Go(1);
    double n = 0;
    ASSERT_TRUE(sx_Replace("N", SX_R_DOUBLE, &n));
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 5, 3}));
}

TEST_F(SxOrders, ConditionalTagHoldsOnlyMatchingRows) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "BIG", "NAME", 0, 0, "N > 2"), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_IndexType(), SX_INDEX_CONDITIONAL);
    EXPECT_EQ(sx_IndexCondition(), "N > 2");
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 5, 3}));
    // An edit that makes a row match brings it into the tag, and back out.
    sx_Go(1);
    double n = 7;
    ASSERT_TRUE(sx_Replace("N", SX_R_DOUBLE, &n));
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 1, 5, 3}));
    sx_Go(1);
    n = 0;
    ASSERT_TRUE(sx_Replace("N", SX_R_DOUBLE, &n));
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 5, 3}));
    EXPECT_EQ(sx_Count(), 3);
    // A condition that is not logical would make an always-empty tag.
    EXPECT_EQ(sx_IndexTag(nullptr, "BAD", "NAME", 0, 0, "N + 1"), 0);
    EXPECT_EQ(sx_TagArea("BAD"), 0);
}

TEST_F(SxOrders, SeekExactPartialAndSoft) {
    ASSERT_GT(makeTable("t.dbf"), 0);
    appendRow("APPLE", 1);
    appendRow("BANANA", 2);
    appendRow("CHERRY", 3);
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    EXPECT_TRUE(sx_Seek("BAN"));
    EXPECT_EQ(sx_RecNo(), 2);
    sx_SetExact(-1);
    EXPECT_FALSE(sx_Seek("BAN"));
    EXPECT_TRUE(sx_Eof());
    EXPECT_TRUE(sx_Seek("BANANA"));
    sx_SetExact(0);
    EXPECT_FALSE(sx_Seek("BB"));
    EXPECT_TRUE(sx_Eof());
    sx_SetSoftSeek(-1);
    EXPECT_FALSE(sx_Seek("BB"));
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 3);
    // Soft seek past the last key ends at Eof.
    EXPECT_FALSE(sx_Seek("ZZZ"));
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 4);
}

TEST_F(SxOrders, SeekSkipsHiddenRows) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    sx_Go(2);
    ASSERT_TRUE(sx_Delete());
    sx_SetDeleted(-1);
    EXPECT_TRUE(sx_Seek("A"));
    EXPECT_EQ(sx_RecNo(), 4);
    sx_Go(4);
    ASSERT_TRUE(sx_Delete());
    EXPECT_FALSE(sx_Seek("A"));
    EXPECT_TRUE(sx_Eof());
}

TEST_F(SxOrders, SeekAfterPassesEqualKeys) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    EXPECT_TRUE(sx_SeekAfter("A"));
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_FALSE(sx_SeekAfter("C"));
    EXPECT_TRUE(sx_Eof());
    ASSERT_GT(sx_IndexTag(nullptr, "ND", "N", 0, 1, nullptr), 0);
    EXPECT_TRUE(sx_SeekAfter("3"));
    EXPECT_EQ(sx_RecNo(), 1);  // next in falling order: 2
}

TEST_F(SxOrders, ScopeBoundsMovementCountAndSeek) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    ASSERT_TRUE(sx_SetScope("B", "B"));
    EXPECT_EQ(walkForward(), (std::vector<int>{1, 5}));
    EXPECT_EQ(walkBackward(), (std::vector<int>{5, 1}));
    EXPECT_EQ(sx_Count(), 2);
    EXPECT_EQ(sx_SysProp(SX_SP_HIDES_RECORDS, 0), 1);
    EXPECT_FALSE(sx_Seek("A"));
    EXPECT_FALSE(sx_Seek("C"));
    EXPECT_TRUE(sx_Seek("B"));
    ASSERT_TRUE(sx_SetScope("B", ""));
    EXPECT_EQ(walkForward(), (std::vector<int>{1, 5, 3}));
    ASSERT_TRUE(sx_SetScope("", ""));
    EXPECT_EQ(sx_Count(), 5);
    // A scope nothing falls in.
    ASSERT_TRUE(sx_SetScope("X", "Y"));
    sx_GoTop();
    EXPECT_TRUE(sx_Eof());
    EXPECT_TRUE(sx_Bof());
}

TEST_F(SxOrders, ScopeOnDescendingOrderUsesKeyValues) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "N", "N", 0, -1, nullptr), 0);
    ASSERT_TRUE(sx_SetScope("2", "4"));
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(walkBackward(), (std::vector<int>{1, 3, 4}));
}

TEST_F(SxOrders, TagNamesOrdersAndReplacement) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    ASSERT_GT(sx_IndexTag(nullptr, "N", "N", 0, 0, nullptr), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_ORDER_COUNT, 0), 2);
    const int nameOrder = sx_TagArea("name");
    ASSERT_GT(nameOrder, 0);
    EXPECT_EQ(sx_TagName(nameOrder), "NAME");
    EXPECT_EQ(sx_TagName(3), "");
    EXPECT_EQ(sx_TagArea("MISSING"), 0);
    EXPECT_NE(xbase::lastErrorText().find("MISSING"), std::string::npos);
    // Same name again replaces the tag, with the new expression.
    const int again = sx_IndexTag(nullptr, "NAME", "N", 0, -1, nullptr);
    ASSERT_GT(again, 0);
    EXPECT_EQ(sx_SysProp(SX_SP_ORDER_COUNT, 0), 2);
    EXPECT_EQ(sx_IndexKey(), "N");
    EXPECT_EQ(walkForward(), (std::vector<int>{5, 4, 3, 1, 2}));
    EXPECT_TRUE(sx_SetOrder(0));
    EXPECT_EQ(sx_IndexOrd(), 0);
    EXPECT_EQ(walkForward(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_FALSE(sx_SetOrder(9));
}

TEST_F(SxOrders, StructuralIndexOpensWithTheTableAndSetsTheHeaderFlag) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "UPPER(NAME)", 0, 0, nullptr), 0);
    sx_CloseAll();
    std::ifstream in(path("t.dbf"), std::ios::binary);
    std::string head(32, '\0');
    in.read(head.data(), 32);
    EXPECT_EQ(head[28] & 1, 1);
    ASSERT_GT(sx_Use(path("T.DBF").c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_SysProp(SX_SP_ORDER_COUNT, 0), 1);
    EXPECT_EQ(sx_IndexOrd(), 0);
    ASSERT_TRUE(sx_SetOrder(1));
    EXPECT_EQ(sx_IndexKeyField(), "NAME");
    appendRow("AA", 10);  // maintained though opened anew
    EXPECT_EQ(walkForward(), (std::vector<int>{2, 4, 6, 1, 5, 3}));
}

TEST_F(SxOrders, ExtraIndexFileIsOpenedByNameAndKeptUpToDate) {
    fill();
    ASSERT_GT(sx_IndexTag("extra", "BYN", "N", 0, 0, nullptr), 0) << xbase::lastErrorText();
    EXPECT_TRUE(std::filesystem::exists(path("extra.cdx")));
    EXPECT_FALSE(std::filesystem::exists(path("t.cdx")));
    sx_CloseAll();
    ASSERT_GT(sx_Use(path("t.dbf").c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_ORDER_COUNT, 0), 0);
    EXPECT_EQ(sx_IndexOpen("EXTRA"), 1) << xbase::lastErrorText();
    EXPECT_EQ(sx_IndexOrd(), 1);
    appendRow("Z", 0);
    EXPECT_EQ(walkForward(), (std::vector<int>{6, 2, 1, 3, 4, 5}));
    EXPECT_EQ(sx_IndexOpen("missing"), 0);
}

TEST_F(SxOrders, OrderPositionAndKeyData) {
    fill();
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    sx_Go(5);
    EXPECT_EQ(sx_OrderRecNo(), 4);
    EXPECT_EQ(sx_KeyData(), "B         ");
    sx_SetOrder(0);
    EXPECT_EQ(sx_OrderRecNo(), 5);
}

TEST_F(SxOrders, IndexCallsFailOnOtherDrivers) {
    xbase::createTable(path("n.dbf"), {sxtest::fieldDef("NAME", 'C', 10)});
    ASSERT_GT(sx_Use(path("n.dbf").c_str(), nullptr, SX_SHARED, SX_DRIVER_NTX), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    EXPECT_NE(xbase::lastErrorText().find("not supported"), std::string::npos);
    EXPECT_EQ(sx_SysProp(SX_SP_TAG_NAMES, 0), 0);
    EXPECT_EQ(sx_AppendEx(), SX_APPEND_OK);  // the table itself works
    sx_CloseAll();
    xbase::createTable(path("m.dbf"), {sxtest::fieldDef("NOTES", 'M', 10)});
    EXPECT_EQ(sx_Use(path("m.dbf").c_str(), nullptr, SX_SHARED, SX_DRIVER_NSX), 0);
}

}  // namespace
