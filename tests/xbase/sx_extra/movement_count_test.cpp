// Cursor edges (phantom record, Bof, Eof) and counting under every kind of
// subset: order, scope, query and the deleted setting.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class MovementEdges : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        // Record numbers 1..5; NAME order: 4 2 5 1 3.
        append("Dan", 1);
        append("Bob", 2);
        append("Eve", 3);
        append("Ann", 4);
        append("Cy", 5);
    }
};

TEST_F(MovementEdges, SkippingPastTheLastRecordGivesThePhantomRecord) {
    sx_GoBottom();
    EXPECT_EQ(sx_RecNo(), 5);
    sx_Skip(1);
    EXPECT_TRUE(sx_Eof());
    EXPECT_FALSE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), sx_RecCount() + 1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "");
    sx_Skip(-1);
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 5);

    tag("NAME", "NAME");
    sx_GoBottom();
    EXPECT_EQ(sx_RecNo(), 3);
    sx_Skip(1);
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 6);
    sx_Skip(-1);
    EXPECT_EQ(sx_RecNo(), 3);
}

TEST_F(MovementEdges, SkipBackFromTheFirstRecordSetsBofAndStaysThere) {
    sx_GoTop();
    sx_Skip(-1);
    EXPECT_TRUE(sx_Bof());
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 1);
    sx_Skip(1);
    EXPECT_FALSE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 2);

    tag("NAME", "NAME");
    sx_GoTop();
    EXPECT_EQ(sx_RecNo(), 4);
    sx_Skip(-1);
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 4);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Ann");
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 2);

    // The first visible record counts, not the first of the table.
    ASSERT_TRUE(sx_Query("N > 2"));
    sx_GoTop();
    EXPECT_EQ(sx_RecNo(), 4);
    ASSERT_TRUE(sx_Query("N <> 4"));
    sx_GoTop();
    EXPECT_EQ(sx_RecNo(), 2);
    sx_Skip(-1);
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 2);
}

TEST_F(MovementEdges, GoTopOnAnEmptyVisibleSetSetsEofAndBof) {
    auto expectEmpty = [](const char* why) {
        sx_GoTop();
        EXPECT_TRUE(sx_Eof()) << why;
        EXPECT_TRUE(sx_Bof()) << why;
        EXPECT_EQ(sx_RecNo(), sx_RecCount() + 1) << why;
        sx_GoBottom();
        EXPECT_TRUE(sx_Eof()) << why;
        EXPECT_TRUE(sx_Bof()) << why;
        EXPECT_EQ(sx_Count(), 0) << why;
    };
    ASSERT_TRUE(sx_Query("N > 100"));
    expectEmpty("query");
    ASSERT_TRUE(sx_Query(""));

    tag("NAME", "NAME");
    ASSERT_TRUE(sx_SetScope("Zed", "Zed"));
    expectEmpty("scope");
    ASSERT_TRUE(sx_SetScope("", ""));

    tag("NONE", "NAME", false, false, "N > 100");
    expectEmpty("condition");
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    ASSERT_TRUE(sx_SetScope("D", "B"));            // low above high
    expectEmpty("reversed scope");
    ASSERT_TRUE(sx_SetScope("", ""));

    for (int r = 1; r <= 5; ++r) {
        sx_Go(r);
        ASSERT_TRUE(sx_Delete());
    }
    sx_SetDeleted(-1);
    expectEmpty("deleted");
    sx_SetOrder(0);
    expectEmpty("deleted, natural order");
}

TEST_F(MovementEdges, SkipLeavesHiddenRecordsOut) {
    sx_Go(2);
    ASSERT_TRUE(sx_Delete());
    sx_SetDeleted(-1);
    ASSERT_TRUE(sx_Query("N <> 4"));
    EXPECT_EQ(walkForward(), (Recs{1, 3, 5}));
    EXPECT_EQ(walkBackward(), (Recs{5, 3, 1}));
    // From a hidden record reached with Go, a skip lands on a visible one.
    sx_Go(4);
    EXPECT_EQ(sx_RecNo(), 4);
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 5);
    sx_Go(2);
    sx_Skip(-1);
    EXPECT_EQ(sx_RecNo(), 1);
}

TEST_F(MovementEdges, CountFollowsScopeQueryAndDeletedTogether) {
    EXPECT_EQ(sx_Count(), 5);
    tag("NAME", "NAME");
    ASSERT_TRUE(sx_SetScope("B", "D"));   // Bob, Cy, Dan
    EXPECT_EQ(sx_Count(), 3);
    ASSERT_TRUE(sx_Query("N >= 2"));      // Bob, Cy
    EXPECT_EQ(sx_Count(), 2);
    sx_Go(5);
    ASSERT_TRUE(sx_Delete());
    EXPECT_EQ(sx_Count(), 2);             // deleted rows count while the setting is off
    sx_SetDeleted(-1);
    EXPECT_EQ(sx_Count(), 1);
    ASSERT_TRUE(sx_Query(""));
    EXPECT_EQ(sx_Count(), 2);
    ASSERT_TRUE(sx_SetScope("", ""));
    EXPECT_EQ(sx_Count(), 4);
    sx_SetOrder(0);
    EXPECT_EQ(sx_Count(), 4);
    EXPECT_EQ(sx_RecCount(), 5);
}

TEST_F(MovementEdges, CountLeavesTheCursorWhereItWas) {
    tag("NAME", "NAME");
    sx_GoTop();
    sx_Skip(2);
    const int at = sx_RecNo();
    ASSERT_TRUE(sx_Query("N > 1"));
    sx_Go(at);
    EXPECT_EQ(sx_Count(), 4);
    EXPECT_EQ(sx_RecNo(), at);
    sx_Skip(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Eve");   // Dan (N = 1) is hidden
}

}  // namespace
}  // namespace sxextra
