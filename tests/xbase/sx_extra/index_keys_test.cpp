// Tags on expressions over several fields, refused tag definitions, and
// stepping back from a failed search.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class IndexKeys : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        sx_SetEpoch(1950);
        append("Ann", 1, true, "work", "01/15/19");
        append("Bob", 2, true, "Friends", "06/30/20");
        append("Cy", 3, true, "friends", "12/31/18");
        append("Dan", 4, true, "Work", "");
    }
};

TEST_F(IndexKeys, KeyOverGroupAndDateFollowsEdits) {
    tag("GRPDATE", "UPPER(GROUP)+DTOS(DATE)");
    EXPECT_EQ(sx_IndexKey(), "UPPER(GROUP)+DTOS(DATE)");
    EXPECT_EQ(walkForward(), (Recs{3, 2, 4, 1}));   // an empty date sorts first
    sx_Go(2);
    EXPECT_EQ(sx_KeyData(), "FRIENDS   20200630");
    ASSERT_TRUE(sx_Replace("DATE", SX_R_DATESTR, "01/01/17"));
    EXPECT_EQ(walkForward(), (Recs{2, 3, 4, 1}));
    sx_Go(4);
    ASSERT_TRUE(sx_Replace("DATE", SX_R_DATESTR, "01/01/30"));
    EXPECT_EQ(walkForward(), (Recs{2, 3, 1, 4}));
    EXPECT_TRUE(sx_Seek("WORK      2019"));
    EXPECT_EQ(sx_RecNo(), 1);
}

TEST_F(IndexKeys, TagsNamedLikeTheirFieldsGroupAndDate) {
    tag("GROUP", "GROUP");
    EXPECT_EQ(walkForward(), (Recs{2, 4, 3, 1}));     // byte order: upper case first
    EXPECT_TRUE(sx_Seek("friends"));
    EXPECT_EQ(sx_RecNo(), 3);
    tag("DATE", "DATE");
    EXPECT_EQ(sx_IndexKey(), "DATE");
    EXPECT_EQ(walkForward(), (Recs{4, 3, 1, 2}));     // the empty date first
    EXPECT_TRUE(sx_Seek("20190115"));
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_TRUE(sx_Seek("06/30/20"));                 // the current date format works too
    EXPECT_EQ(sx_RecNo(), 2);
    ASSERT_TRUE(sx_SetScope("20190101", "20201231"));
    EXPECT_EQ(walkForward(), (Recs{1, 2}));
    EXPECT_TRUE(sx_SeekAfter("20190115"));
    EXPECT_EQ(sx_RecNo(), 2);
    EXPECT_EQ(sx_TagArea("group"), 1);
    EXPECT_EQ(sx_TagArea("DATE"), 2);
}

TEST_F(IndexKeys, UnusableTagDefinitionsAreRefusedAndLeaveTheTableWorking) {
    tag("NAME", "NAME");
    const int before = sx_IndexOrd();
    EXPECT_EQ(sx_IndexTag(nullptr, "BAD", "NAME +", 0, 0, ""), 0);
    EXPECT_EQ(sx_IndexTag(nullptr, "BAD", "NOSUCH", 0, 0, ""), 0);
    EXPECT_EQ(sx_IndexTag(nullptr, "BAD", "NAME", 0, 0, "NAME ="), 0);
    std::string longKey = "NAME";
    for (int i = 0; i < 30; ++i) longKey += "+NAME";                  // 310 bytes
    EXPECT_EQ(sx_IndexTag(nullptr, "LONG", longKey.c_str(), 0, 0, ""), 0);
    EXPECT_NE(xbase::lastErrorText(), "");
    EXPECT_EQ(sx_TagArea("BAD"), 0);
    EXPECT_EQ(sx_IndexOrd(), before);
    EXPECT_EQ(walkForward(), (Recs{1, 2, 3, 4}));
    append("Al", 5);
    EXPECT_EQ(walkForward(), (Recs{5, 1, 2, 3, 4}));
}

TEST_F(IndexKeys, ConditionsThatAreNotLogicalAreRefused) {
    // Taken, such a tag would silently hold no record at all.
    tag("NAME", "NAME");
    EXPECT_EQ(sx_IndexTag(nullptr, "BAD", "NAME", 0, 0, "GROUP"), 0);
    EXPECT_EQ(sx_IndexTag(nullptr, "BAD", "NAME", 0, 0, "N + 1"), 0);
    EXPECT_EQ(sx_TagArea("BAD"), 0);
    EXPECT_EQ(walkForward(), (Recs{1, 2, 3, 4}));
}

TEST_F(IndexKeys, StepBackFromAFailedSearchReachesTheLastRecord) {
    tag("NAME", "NAME");
    EXPECT_FALSE(sx_Seek("Zz"));
    EXPECT_TRUE(sx_Eof());
    sx_Skip(-1);
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 4);
    ASSERT_TRUE(sx_SetScope("A", "B"));
    sx_GoBottom();
    sx_Skip(1);
    EXPECT_TRUE(sx_Eof());
    sx_Skip(-1);
    EXPECT_EQ(sx_RecNo(), 2);
}

}  // namespace
}  // namespace sxextra
