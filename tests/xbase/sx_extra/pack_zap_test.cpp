// Pack and zap keep the tags in step with the records that remain.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class PackAndZap : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        append("Eve", 1);
        append("Bob", 2, false);
        append("Dan", 3);
        append("Ann", 4, false);
        append("Cy", 5);
        tag("NAME", "NAME");
        tag("ACT", "NAME", false, true, "ACTIVE");
        ASSERT_TRUE(sx_Close());
    }
};

TEST_F(PackAndZap, NeedAnExclusiveOpen) {
    ASSERT_GT(open("people.dbf"), 0);
    EXPECT_FALSE(sx_Pack());
    EXPECT_FALSE(sx_Zap());
    EXPECT_EQ(sx_RecCount(), 5);
}

TEST_F(PackAndZap, PackRenumbersRecordsAndRebuildsEveryTag) {
    ASSERT_GT(sx_Use(path("people.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    for (int r : {1, 4}) {
        sx_Go(r);
        ASSERT_TRUE(sx_Delete());
    }
    ASSERT_TRUE(sx_Pack()) << xbase::lastErrorText();
    EXPECT_EQ(sx_RecCount(), 3);               // Bob 1, Dan 2, Cy 3
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    EXPECT_EQ(walkForward(), (Recs{1, 3, 2}));
    EXPECT_TRUE(sx_Seek("Dan"));
    EXPECT_EQ(sx_RecNo(), 2);
    EXPECT_FALSE(sx_Seek("Eve"));
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("ACT")));
    EXPECT_EQ(walkForward(), (Recs{2, 3}));     // descending, active only
    append("Fay", 6);
    EXPECT_EQ(walkForward(), (Recs{4, 2, 3}));
}

TEST_F(PackAndZap, ZapLeavesEmptyTagsThatStillWork) {
    ASSERT_GT(sx_Use(path("people.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    ASSERT_TRUE(sx_Zap()) << xbase::lastErrorText();
    EXPECT_EQ(sx_RecCount(), 0);
    sx_GoTop();
    EXPECT_TRUE(sx_Eof());
    EXPECT_TRUE(sx_Bof());
    EXPECT_FALSE(sx_Seek("Ann"));
    append("Gil", 7);
    append("Abe", 8);
    EXPECT_EQ(walkForward(), (Recs{2, 1}));
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("ACT")));
    EXPECT_EQ(walkForward(), (Recs{1, 2}));
}

}  // namespace
}  // namespace sxextra
