// Cursor movement: the phantom record, Bof/Eof, hidden records.

#include "sx_test_support.h"

namespace {

using sxtest::EngineTest;

class SxMovement : public EngineTest {};

TEST_F(SxMovement, EmptyTableSetsBothFlagsOnThePhantomRecord) {
    ASSERT_GT(makeTable("t.dbf"), 0) << xbase::lastErrorText();
    sx_GoTop();
    EXPECT_TRUE(sx_Eof());
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 1);
    sx_GoBottom();
    EXPECT_TRUE(sx_Eof());
    EXPECT_TRUE(sx_Bof());
    sx_Skip(-1);
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_Count(), 0);
}

TEST_F(SxMovement, SkipPastEitherEnd) {
    ASSERT_GT(makeTable("t.dbf"), 0);
    for (int i = 1; i <= 3; ++i) appendRow("R" + std::to_string(i), i);
    sx_GoTop();
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_FALSE(sx_Bof());
    sx_Skip(-1);
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_FALSE(sx_Eof());
    sx_GoBottom();
    sx_Skip(1);
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), sx_RecCount() + 1);
    sx_Skip(1);
    EXPECT_TRUE(sx_Eof());
    sx_Skip(-1);
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 3);
    EXPECT_EQ(sx_GetTrimString("NAME"), "R3");
    sx_Skip(-5);
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 1);
}

TEST_F(SxMovement, PhantomRecordIsBlank) {
    ASSERT_GT(makeTable("t.dbf"), 0);
    appendRow("ONE", 1);
    sx_Go(5);
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 2);
    EXPECT_EQ(sx_GetString("NAME"), std::string(10, ' '));
    std::string rec(static_cast<std::size_t>(sx_RecSize()), 'x');
    sx_GetRecord(rec.data());
    EXPECT_EQ(rec, std::string(rec.size(), ' '));
}

TEST_F(SxMovement, DeletedSettingHidesRowsButGoReachesThem) {
    ASSERT_GT(makeTable("t.dbf"), 0);
    for (int i = 1; i <= 4; ++i) appendRow("R" + std::to_string(i), i);
    sx_Go(2);
    ASSERT_TRUE(sx_Delete());
    sx_Go(4);
    ASSERT_TRUE(sx_Delete());
    sx_SetDeleted(-1);
    EXPECT_EQ(walkForward(), (std::vector<int>{1, 3}));
    EXPECT_EQ(walkBackward(), (std::vector<int>{3, 1}));
    EXPECT_EQ(sx_Count(), 2);
    sx_Go(4);
    EXPECT_FALSE(sx_Eof());
    EXPECT_TRUE(sx_Deleted());
    EXPECT_EQ(sx_GetTrimString("NAME"), "R4");
    // From a hidden record a step lands on the next visible one each way.
    sx_Go(2);
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 3);
    sx_Go(2);
    sx_Skip(-1);
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_FALSE(sx_Bof());
    sx_SetDeleted(0);
    EXPECT_EQ(sx_Count(), 4);
    EXPECT_EQ(walkForward(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(SxMovement, AllRowsDeletedLooksEmpty) {
    ASSERT_GT(makeTable("t.dbf"), 0);
    for (int i = 1; i <= 3; ++i) {
        appendRow("R", i);
        ASSERT_TRUE(sx_Delete());
    }
    sx_SetDeleted(-1);
    sx_GoTop();
    EXPECT_TRUE(sx_Eof());
    EXPECT_TRUE(sx_Bof());
    sx_GoBottom();
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(sx_Count(), 0);
    EXPECT_EQ(sx_RecCount(), 3);
}

TEST_F(SxMovement, QueryFiltersEveryMovement) {
    ASSERT_GT(makeTable("t.dbf"), 0);
    for (int i = 1; i <= 6; ++i) appendRow("R" + std::to_string(i), i);
    ASSERT_TRUE(sx_Query("N > 2 .AND. N < 6")) << xbase::lastErrorText();
    EXPECT_EQ(sx_DBFilter(), "N > 2 .AND. N < 6");
    EXPECT_EQ(walkForward(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(walkBackward(), (std::vector<int>{5, 4, 3}));
    EXPECT_EQ(sx_Count(), 3);
    EXPECT_FALSE(sx_Query("N +"));
    EXPECT_EQ(sx_DBFilter(), "N > 2 .AND. N < 6");
    ASSERT_TRUE(sx_Query(""));
    EXPECT_EQ(sx_Count(), 6);
}

}  // namespace
