// Two work areas of one program on the same table behave like two
// programs: each sees what the other posts, and their locks exclude each other.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class TwoAreas : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        a_ = makeTable("shared.dbf", "A");
        ASSERT_GT(a_, 0) << xbase::lastErrorText();
        append("Ann", 1);
        append("Bob", 2);
        append("Cy", 3);
        tag("NAME", "NAME");
        b_ = open("shared.dbf", "B");
        ASSERT_GT(b_, 0) << xbase::lastErrorText();
        ASSERT_NE(a_, b_);
        ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    }
    int a_ = 0;
    int b_ = 0;
};

TEST_F(TwoAreas, AppendsShowInTheOtherArea) {
    sx_Select(a_);
    append("Abe", 4);
    append("Zed", 5);
    sx_Select(b_);
    EXPECT_EQ(sx_RecCount(), 5);
    EXPECT_EQ(sx_Count(), 5);
    EXPECT_TRUE(sx_Seek("Zed"));
    EXPECT_EQ(sx_RecNo(), 5);
    EXPECT_EQ(walkForward(), (Recs{4, 1, 2, 3, 5}));
}

TEST_F(TwoAreas, ChangesShowOnTheNextRead) {
    sx_Select(b_);
    sx_Go(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Ann");
    sx_Select(a_);
    setName(1, "Anna");
    sx_Select(b_);
    EXPECT_EQ(sx_RecNo(), 1);
    std::string record(static_cast<size_t>(sx_RecSize()), ' ');
    sx_GetRecord(record.data());                         // without moving
    EXPECT_EQ(record.substr(static_cast<size_t>(sx_FieldOffset("NAME")), 4), "Anna");
    sx_Go(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Anna");
    EXPECT_TRUE(sx_Seek("Anna"));
    sx_Select(a_);
    sx_Go(2);
    ASSERT_TRUE(sx_Delete());
    sx_Select(b_);
    sx_Go(2);
    EXPECT_TRUE(sx_Deleted());
    sx_SetDeleted(-1);
    EXPECT_EQ(sx_Count(), 2);
    EXPECT_EQ(walkForward(), (Recs{1, 3}));
}

TEST_F(TwoAreas, FieldReadsWithoutMovingSeeTheOtherAreasPost) {
    sx_Select(b_);
    sx_Go(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Ann");
    sx_Select(a_);
    setName(1, "Anna");
    sx_Select(b_);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Anna");
    EXPECT_FALSE(sx_Empty("NAME"));
    EXPECT_TRUE(sx_EvalLogical("NAME = 'Anna'"));
    EXPECT_EQ(sx_KeyData().substr(0, 4), "Anna");
}

TEST_F(TwoAreas, ANewKeyAheadOfTheCursorIsMetOnTheNextSkip) {
    sx_Select(b_);
    ASSERT_TRUE(sx_Seek("Bob"));
    sx_Select(a_);
    append("Bz", 4);
    sx_Select(b_);
    sx_Skip(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Bz");
    sx_Skip(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Cy");
}

TEST_F(TwoAreas, TheOtherAreasAppendsAndDeletesShowWhileWalking) {
    sx_Select(b_);
    sx_SetOrder(0);
    sx_GoBottom();
    EXPECT_EQ(sx_RecNo(), 3);
    sx_Select(a_);
    append("Dee", 4);
    sx_Select(b_);
    sx_Skip(1);
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 4);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Dee");

    // B stands on Bob in name order; A deletes Bob: B's next step still
    // goes to the record after Bob.
    sx_SetDeleted(-1);
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    ASSERT_TRUE(sx_Seek("Bob"));
    sx_Select(a_);
    sx_Go(2);
    ASSERT_TRUE(sx_Delete());
    sx_Select(b_);
    sx_Skip(1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Cy");
    sx_Skip(-1);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Ann");
}

TEST_F(TwoAreas, RecordLocksExcludeEachOther) {
    sx_Select(a_);
    ASSERT_TRUE(sx_Rlock(3));
    sx_Select(b_);
    EXPECT_FALSE(sx_Rlock(3));
    EXPECT_TRUE(sx_Rlock(2));
    sx_Go(3);
    EXPECT_FALSE(sx_Replace("NAME", SX_R_CHAR, "Carl"));  // the record is A's
    sx_Select(a_);
    EXPECT_FALSE(sx_Rlock(2));
    ASSERT_TRUE(sx_Unlock(3));
    sx_Select(b_);
    EXPECT_TRUE(sx_Rlock(3));
    EXPECT_TRUE(sx_Replace("NAME", SX_R_CHAR, "Carl"));
    ASSERT_TRUE(sx_Unlock(0));
    sx_Select(a_);
    EXPECT_TRUE(sx_Rlock(2));
    sx_Go(3);
    EXPECT_EQ(sx_GetTrimString("NAME"), "Carl");
}

TEST_F(TwoAreas, InterleavedAppendsKeepOneRecordCountAndEveryKey) {
    for (int i = 0; i < 6; ++i) {
        sx_Select(i % 2 ? b_ : a_);
        append("K" + std::to_string(i), 10 + i);
    }
    for (const int area : {a_, b_}) {
        sx_Select(area);
        EXPECT_EQ(sx_RecCount(), 9);
        ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
        EXPECT_EQ(walkForward(), (Recs{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        sx_Go(8);
        EXPECT_EQ(sx_GetTrimString("NAME"), "K4");
    }
}

TEST_F(TwoAreas, ATagRebuiltInOneAreaIsMaintainedByTheOther) {
    sx_Select(a_);
    tag("NAME", "UPPER(NAME)");
    sx_Select(b_);
    append("abe", 4);
    sx_Select(a_);
    EXPECT_TRUE(sx_Seek("ABE"));
    EXPECT_EQ(sx_RecNo(), 4);
    EXPECT_EQ(walkForward(), (Recs{4, 1, 2, 3}));
    sx_Select(b_);
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    EXPECT_EQ(sx_IndexKey(), "UPPER(NAME)");
    EXPECT_EQ(walkForward(), (Recs{4, 1, 2, 3}));
}

// An area that has just written knows the index as it left it; a tag the
// other area makes between two of its writes must still get its keys.
TEST_F(TwoAreas, ATagMadeBetweenTheOthersWritesGetsItsKeys) {
    sx_Select(b_);
    append("Dee", 4);
    sx_Select(a_);
    tag("N", "N");
    sx_Select(b_);
    append("Eve", 5);
    sx_Select(a_);
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("N")));
    EXPECT_TRUE(sx_Seek("5"));
    EXPECT_EQ(sx_RecNo(), 5);
    EXPECT_EQ(walkForward(), (Recs{1, 2, 3, 4, 5}));
}

TEST_F(TwoAreas, ClosingOneLeavesTheOtherWorking) {
    sx_Select(a_);
    ASSERT_TRUE(sx_Close());
    sx_Select(b_);
    append("Dee", 4);
    EXPECT_EQ(walkForward(), (Recs{1, 2, 3, 4}));
    ASSERT_TRUE(sx_Close());
    ASSERT_GT(open("shared.dbf", "C"), 0);
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    EXPECT_TRUE(sx_Seek("Dee"));
    EXPECT_EQ(sx_RecNo(), 4);
}

}  // namespace
}  // namespace sxextra
