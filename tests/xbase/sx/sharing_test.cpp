// Two work areas on one table behave like two programs: open modes, record
// locks, appends, and reads that always see the other's posts.

#include <string>

#include "sx_test_support.h"

namespace {

using sxtest::EngineTest;

class SxSharing : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        sx_SetLockTimeout(0);
        a_ = makeTable("s.dbf");
        ASSERT_GT(a_, 0) << xbase::lastErrorText();
        for (int i = 1; i <= 3; ++i) appendRow("R" + std::to_string(i), i);
        ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
        b_ = open("B", SX_SHARED);
        ASSERT_GT(b_, 0) << xbase::lastErrorText();
    }
    int open(const char* alias, int mode) { return sx_Use(path("s.dbf").c_str(), alias, mode, SX_DRIVER_FOX); }

    int a_ = 0;
    int b_ = 0;
};

TEST_F(SxSharing, OpenModesExcludeEachOther) {
    EXPECT_EQ(open("X", SX_EXCLUSIVE), 0);
    EXPECT_GT(open("R", SX_READONLY), 0);
    sx_CloseAll();
    const int ex = open("X", SX_EXCLUSIVE);
    ASSERT_GT(ex, 0) << xbase::lastErrorText();
    EXPECT_EQ(open("S", SX_SHARED), 0);
    EXPECT_EQ(open("R", SX_READONLY), 0);
    sx_Select(ex);
    EXPECT_TRUE(sx_Close());
    EXPECT_GT(open("S", SX_SHARED), 0);
}

TEST_F(SxSharing, RecordLockKeepsOthersFromLockingAndWriting) {
    sx_Select(a_);
    ASSERT_TRUE(sx_Rlock(2));
    sx_Select(b_);
    EXPECT_FALSE(sx_Rlock(2));
    sx_Go(2);
    EXPECT_FALSE(sx_Replace("NAME", SX_R_CHAR, "B"));
    EXPECT_FALSE(sx_Delete());
    EXPECT_TRUE(sx_Rlock(3));
    sx_Select(a_);
    ASSERT_TRUE(sx_Unlock(0));
    sx_Select(b_);
    EXPECT_TRUE(sx_Rlock(2));
    EXPECT_TRUE(sx_Replace("NAME", SX_R_CHAR, "B"));
}

TEST_F(SxSharing, LockRereadsTheRecordSoEditsAreNeverStale) {
    sx_Select(a_);
    sx_Go(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "R1");
    sx_Select(b_);
    sx_Go(1);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "CHANGED"));
    sx_Select(a_);
    ASSERT_TRUE(sx_Rlock(1));
    EXPECT_EQ(sx_GetTrimString("NAME"), "CHANGED");
    // A field write lands on the record as it is on disk, keeping the
    // other program's field.
    sx_Select(b_);
    double n = 77;
    sx_Unlock(0);
    sx_Select(a_);
    sx_Unlock(0);
    sx_Select(b_);
    ASSERT_TRUE(sx_Replace("N", SX_R_DOUBLE, &n));
    sx_Select(a_);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "MERGED"));
    sx_Select(b_);
    sx_Go(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "MERGED");
    EXPECT_EQ(sx_GetTrimString("N"), "    77");
}

TEST_F(SxSharing, ReadsSeeTheOtherAreasPosts) {
    sx_Select(a_);
    sx_SetOrder(1);
    sx_GoTop();
    sx_Select(b_);
    appendRow("R0", 0);
    sx_Select(a_);
    EXPECT_EQ(sx_RecCount(), 4);
    EXPECT_TRUE(sx_Seek("R0"));
    EXPECT_EQ(sx_RecNo(), 4);
    sx_GoTop();
    EXPECT_EQ(sx_RecNo(), 4);
    // sx_GetRecord gives the record as it is on disk now.
    sx_Select(b_);
    sx_Go(4);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "R9"));
    sx_Select(a_);
    std::string rec(static_cast<std::size_t>(sx_RecSize()), ' ');
    sx_GetRecord(rec.data());
    EXPECT_EQ(rec.substr(1, 2), "R9");
}

TEST_F(SxSharing, FieldReadsWithoutMovingSeeTheOthersPost) {
    sx_Select(a_);
    sx_Go(2);
    EXPECT_EQ(sx_GetTrimString("NAME"), "R2");
    sx_Select(b_);
    sx_Go(2);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "NEWER"));
    ASSERT_TRUE(sx_Delete());
    sx_Select(a_);
    EXPECT_EQ(sx_GetTrimString("NAME"), "NEWER");
    EXPECT_TRUE(sx_Deleted());
    EXPECT_TRUE(sx_EvalLogical("NAME = 'NEW'"));
}

TEST_F(SxSharing, CursorInAnOrderSurvivesTheOthersInserts) {
    sx_Select(a_);
    sx_SetOrder(1);
    ASSERT_TRUE(sx_Seek("R2"));
    sx_Select(b_);
    appendRow("R2", 5);   // equal key, later record: comes right after
    appendRow("R15", 6);  // sorts before R2
    sx_Select(a_);
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 4);
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 3);
    sx_Skip(-3);
    EXPECT_EQ(sx_RecNo(), 5);
}

// The other area sees a blank appended row in order at once, and a tag it
// rebuilds meanwhile is kept right by the appender's first write: no record
// twice, none missing.
TEST_F(SxSharing, AppendedRowIsInEveryTagBeforeItsFirstWrite) {
    sx_Select(a_);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_EQ(sx_RecNo(), 4);
    sx_Select(b_);
    sx_SetOrder(1);
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 1, 2, 3}));  // blank key first
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    sx_Select(a_);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "R9")) << xbase::lastErrorText();
    sx_Select(b_);
    EXPECT_EQ(walkForward(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(walkBackward(), (std::vector<int>{4, 3, 2, 1}));
}

TEST_F(SxSharing, AppendLockIsReleasedAfterPostingUnlessAskedFor) {
    sx_Select(a_);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    const int first = sx_RecNo();
    sx_Select(b_);
    EXPECT_FALSE(sx_Rlock(first));  // not posted yet
    sx_Select(a_);
    std::string rec(static_cast<std::size_t>(sx_RecSize()), ' ');
    ASSERT_TRUE(sx_PutRecord(rec.data()));
    sx_Select(b_);
    EXPECT_TRUE(sx_Rlock(first));
    sx_Unlock(0);
    sx_Select(a_);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    const int second = sx_RecNo();
    ASSERT_TRUE(sx_Rlock(second));
    ASSERT_TRUE(sx_PutRecord(rec.data()));
    sx_Select(b_);
    EXPECT_FALSE(sx_Rlock(second));
}

// A whole record appended in one call is never seen blank by the other
// open, sits in every tag under its own key, and stays locked only when
// asked.
TEST_F(SxSharing, WholeRecordAppendIsSeenOnlyWithItsValues) {
    sx_Select(a_);
    std::string rec(static_cast<std::size_t>(sx_RecSize()), ' ');
    rec.replace(1, 2, "R0");
    ASSERT_EQ(sx_AppendRecord(rec.data(), true), SX_APPEND_OK) << xbase::lastErrorText();
    ASSERT_EQ(sx_RecNo(), 4);
    sx_Select(b_);
    sx_SetOrder(1);
    EXPECT_EQ(walkForward(), (std::vector<int>{4, 1, 2, 3}));
    EXPECT_TRUE(sx_Seek("R0"));
    EXPECT_EQ(sx_RecNo(), 4);
    EXPECT_FALSE(sx_Rlock(4));
    sx_Select(a_);
    sx_Unlock(4);
    sx_Select(b_);
    EXPECT_TRUE(sx_Rlock(4));
    sx_Select(a_);
    ASSERT_EQ(sx_AppendRecord(rec.data(), false), SX_APPEND_OK) << xbase::lastErrorText();
    sx_Select(b_);
    EXPECT_TRUE(sx_Rlock(5));
    // No record at all appends nothing.
    sx_Select(a_);
    EXPECT_EQ(sx_AppendRecord(nullptr, false), SX_APPEND_KEY);
    EXPECT_EQ(sx_RecCount(), 5);
}

TEST_F(SxSharing, FailedWriteReleasesTheLockItTook) {
    sx_Select(a_);
    sx_Go(1);
    double huge = 1e12;
    EXPECT_FALSE(sx_Replace("N", SX_R_DOUBLE, &huge));
    EXPECT_FALSE(sx_Replace("N", SX_R_CHAR, "not a number"));
    sx_Select(b_);
    EXPECT_TRUE(sx_Rlock(1));
}

TEST_F(SxSharing, ReadOnlyAreaRefusesWrites) {
    const int r = open("R", SX_READONLY);
    ASSERT_GT(r, 0);
    sx_Go(1);
    EXPECT_EQ(sx_AppendEx(), SX_APPEND_READONLY);
    EXPECT_FALSE(sx_Replace("NAME", SX_R_CHAR, "x"));
    EXPECT_FALSE(sx_Rlock(1));
    EXPECT_FALSE(sx_Delete());
    EXPECT_EQ(sx_IndexTag(nullptr, "N", "N", 0, 0, nullptr), 0);
}

TEST_F(SxSharing, ClosedAreaIsAnErrorNotTheCurrentArea) {
    sx_Select(b_);
    ASSERT_TRUE(sx_Close());
    EXPECT_EQ(sx_Alias(b_), "");
    EXPECT_EQ(sx_SysProp(SX_SP_AREA_IN_USE, b_), 0);
    EXPECT_EQ(sx_RecCount(), 0);  // no current area now
    EXPECT_EQ(xbase::lastErrorCode(), 1001);
    EXPECT_EQ(sx_Select(a_), 0);
    EXPECT_EQ(sx_Select(b_), a_);
    EXPECT_EQ(sx_WorkArea(nullptr), a_);  // still the previous area
    EXPECT_EQ(xbase::lastErrorCode(), 1001);
    EXPECT_EQ(sx_WorkArea("s"), a_);
    EXPECT_EQ(sx_Alias(0), "S");
}

TEST_F(SxSharing, OverlongPathsAndNamesAreRefusedNotCut) {
    const std::string longPath = path(std::string(1100, 'x') + ".dbf");
    EXPECT_EQ(sx_Use(longPath.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_EQ(xbase::lastErrorCode(), 1012);
    EXPECT_EQ(sx_Use(path("s.dbf").c_str(), std::string(40, 'A').c_str(), SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_EQ(sx_Use(path("s.dbf").c_str(), "B", SX_SHARED, SX_DRIVER_FOX), 0);  // alias taken
    sx_Select(a_);
    EXPECT_EQ(sx_IndexTag(nullptr, "ELEVENCHARS", "NAME", 0, 0, nullptr), 0);
    EXPECT_FALSE(sx_Query(std::string(2000, 'N').c_str()));
}

TEST_F(SxSharing, IndexMadeByAnotherOpenIsKeptByThisOne) {
    sx_CloseAll();
    xbase::createTable(path("late.dbf"), {sxtest::fieldDef("NAME", 'C', 10)});
    const int first = sx_Use(path("late.dbf").c_str(), "FIRST", SX_SHARED, SX_DRIVER_FOX);
    const int second = sx_Use(path("late.dbf").c_str(), "SECOND", SX_SHARED, SX_DRIVER_FOX);
    ASSERT_GT(second, 0);
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    EXPECT_TRUE(std::filesystem::exists(path("late.cdx")));
    sx_Select(first);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "x"));
    sx_Select(second);
    EXPECT_TRUE(sx_Seek("x"));
}

TEST_F(SxSharing, TableNamesAreFoundWithoutRegardToCase) {
    const int c = sx_Use(path("S.DBF").c_str(), "C", SX_SHARED, SX_DRIVER_FOX);
    ASSERT_GT(c, 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_SysProp(SX_SP_ORDER_COUNT, 0), 1);
    EXPECT_GT(sx_Use(path("s").c_str(), "D", SX_SHARED, SX_DRIVER_FOX), 0);
}

}  // namespace
