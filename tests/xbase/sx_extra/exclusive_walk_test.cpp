// Walks in key order on an exclusive open, which step from the leaf they are
// on and the records the open keeps: they must meet what a shared open's
// walk meets, through hidden rows, writes made during the walk, descending
// tags and many leaves.

#include "sx_extra_support.h"

#include <cstdio>

namespace sxextra {
namespace {

class ExclusiveWalk : public SxTest {
protected:
    // Rows named so that key order differs from record order; spread over
    // many leaves.
    void fill(int rows) {
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        for (int i = 0; i < rows; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "N%05d", (i * 37) % rows);
            append(name, i);
        }
        tag("NAME", "NAME");
        tag("BACK", "NAME", false, true);
        ASSERT_TRUE(sx_Close());
        ASSERT_GT(sx_Use(path("people.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    }

    // The walk a shared open makes of the same order.
    Recs sharedWalk(const char* order) {
        EXPECT_TRUE(sx_Close());
        EXPECT_GT(open("people.dbf"), 0);
        EXPECT_TRUE(sx_SetOrder(sx_TagArea(order)));
        Recs out = walkForward();
        EXPECT_TRUE(sx_Close());
        EXPECT_GT(sx_Use(path("people.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0);
        EXPECT_TRUE(sx_SetOrder(sx_TagArea(order)));
        return out;
    }
};

TEST_F(ExclusiveWalk, MeetsEveryRowInKeyOrderBothWays) {
    fill(600);
    for (const char* order : {"NAME", "BACK"}) {
        ASSERT_TRUE(sx_SetOrder(sx_TagArea(order)));
        const Recs walked = walkForward();
        ASSERT_EQ(walked.size(), 600u) << order;
        EXPECT_EQ(walked, sharedWalk(order)) << order;
    }
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    sx_GoTop();
    EXPECT_EQ(sx_GetString("NAME"), "N00000    ");
    sx_Skip(1);
    EXPECT_EQ(sx_GetString("NAME"), "N00001    ");
}

TEST_F(ExclusiveWalk, LeavesDeletedRowsOutWhenAskedTo) {
    fill(300);
    for (int r = 1; r <= 300; r += 3) {
        sx_Go(r);
        ASSERT_TRUE(sx_Delete());
    }
    sx_SetDeleted(-1);
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    const Recs walked = walkForward();
    EXPECT_EQ(walked.size(), 200u);
    for (int r : walked) EXPECT_NE(r % 3, 1) << r;
    EXPECT_EQ(walked, sharedWalk("NAME"));
}

TEST_F(ExclusiveWalk, ContinuesFromTheRowAfterAWriteMovedKeys) {
    fill(300);
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NAME")));
    sx_GoTop();
    for (int i = 0; i < 10; ++i) sx_Skip(1);
    const int here = sx_RecNo();
    // The current row moves to the end of the order; rows ahead of it come
    // to an end without it meeting itself twice.
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "ZZZ"));
    sx_Skip(1);
    EXPECT_TRUE(sx_Eof());
    sx_GoTop();
    Recs walked;
    for (int guard = 0; !sx_Eof() && guard < 1000; ++guard) {
        walked.push_back(sx_RecNo());
        if (walked.size() == 5) {
            // A row ahead is renamed to sort first: the walk does not meet it again.
            sx_Go(here);
            ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "A"));
            sx_Go(walked.back());
        }
        sx_Skip(1);
    }
    EXPECT_EQ(walked.size(), 299u);
    EXPECT_EQ(std::count(walked.begin(), walked.end(), here), 0);
}

}  // namespace
}  // namespace sxextra
