// Tags with a FOR condition stay right while records change, also after
// the table is opened again.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class ConditionTags : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        append("Ann", 1, true);
        append("Bob", 2, false);
        append("Cy", 3, true);
        append("Dan", 4, false);
        tag("ACT", "NAME", false, false, "ACTIVE");
    }
};

TEST_F(ConditionTags, HoldOnlyMatchingRecords) {
    EXPECT_EQ(sx_IndexCondition(), "ACTIVE");
    EXPECT_EQ(sx_IndexType(), SX_INDEX_CONDITIONAL);
    EXPECT_EQ(walkForward(), (Recs{1, 3}));
    EXPECT_EQ(sx_Count(), 2);
    EXPECT_FALSE(sx_Seek("Bob"));
    EXPECT_TRUE(sx_Seek("Cy"));
}

TEST_F(ConditionTags, FollowReplacedFieldsAppendsAndRawWrites) {
    setActive(2, true);
    EXPECT_EQ(walkForward(), (Recs{1, 2, 3}));
    setActive(1, false);
    EXPECT_EQ(walkForward(), (Recs{2, 3}));
    setName(3, "Aaron");                      // the key moves with the name
    EXPECT_EQ(walkForward(), (Recs{3, 2}));
    append("Abe", 5, true);
    append("Al", 6, false);
    EXPECT_EQ(walkForward(), (Recs{3, 5, 2}));

    // A whole record written back with the flag changed.
    sx_Go(4);
    std::string record(static_cast<size_t>(sx_RecSize()), ' ');
    sx_GetRecord(record.data());
    record[static_cast<size_t>(sx_FieldOffset("ACTIVE"))] = 'T';
    ASSERT_TRUE(sx_PutRecord(record.data())) << xbase::lastErrorText();
    EXPECT_EQ(walkForward(), (Recs{3, 5, 2, 4}));
}

TEST_F(ConditionTags, DeletedRecordsStayInTheTagButHide) {
    sx_Go(3);
    ASSERT_TRUE(sx_Delete());
    EXPECT_EQ(walkForward(), (Recs{1, 3}));
    sx_SetDeleted(-1);
    EXPECT_EQ(walkForward(), (Recs{1}));
    EXPECT_EQ(sx_Count(), 1);
}

TEST_F(ConditionTags, AreMaintainedAfterReopening) {
    ASSERT_TRUE(sx_Close());
    ASSERT_GT(open("people.dbf"), 0) << xbase::lastErrorText();
    const int order = sx_TagArea("ACT");
    ASSERT_GT(order, 0);
    ASSERT_TRUE(sx_SetOrder(order));
    EXPECT_EQ(sx_IndexCondition(), "ACTIVE");
    EXPECT_EQ(walkForward(), (Recs{1, 3}));
    setActive(4, true);
    append("Eve", 5, true);
    setActive(1, false);
    EXPECT_EQ(walkForward(), (Recs{3, 4, 5}));
}

TEST_F(ConditionTags, ConditionsOverGroupAndDateFields) {
    append("Fay", 5, true, "Friends", "03/04/21");
    append("Gus", 6, true, "Friends", "");
    append("Hal", 7, true, "Family", "05/06/22");
    tag("FRIENDS", "NAME", true, false, "GROUP = 'Fri' .AND. !EMPTY(DATE)");
    EXPECT_EQ(sx_IndexType(), SX_INDEX_UNIQUE_CONDITIONAL);
    EXPECT_EQ(walkForward(), (Recs{5}));
    sx_Go(6);
    ASSERT_TRUE(sx_Replace("DATE", SX_R_DATESTR, "12/31/99"));
    sx_Go(7);
    ASSERT_TRUE(sx_Replace("GROUP", SX_R_CHAR, "Friends"));
    EXPECT_EQ(walkForward(), (Recs{5, 6, 7}));
}

}  // namespace
}  // namespace sxextra
