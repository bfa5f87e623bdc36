// Key search under the exact and soft-seek settings, and scopes, on
// ascending, descending and unique tags.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class SeekAndScope : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        // Ascending NAME order: Adams 3, Brown 6, Smith 1, Smith 4, Smythe 2, Zoe 5.
        append("Smith", 1);
        append("Smythe", 2);
        append("Adams", 3);
        append("Smith", 4);
        append("Zoe", 5);
        append("Brown", 6);
    }
    static void expectNotFoundAtEnd(const char* key) {
        EXPECT_FALSE(sx_Seek(key)) << key;
        EXPECT_TRUE(sx_Eof()) << key;
        EXPECT_EQ(sx_RecNo(), sx_RecCount() + 1) << key;
    }
};

TEST_F(SeekAndScope, ExactOffFindsPartialKeys) {
    tag("NAME", "NAME");
    EXPECT_TRUE(sx_Seek("Sm"));
    EXPECT_EQ(sx_RecNo(), 1);              // the first of equal keys in record order
    EXPECT_TRUE(sx_Seek("Smy"));
    EXPECT_EQ(sx_RecNo(), 2);
    EXPECT_TRUE(sx_Seek("Smith "));        // the blank is part of the key
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_TRUE(sx_Seek("Smith     "));
    EXPECT_FALSE(sx_Eof());
    expectNotFoundAtEnd("Jones");
    expectNotFoundAtEnd("Smithers");
    expectNotFoundAtEnd("smith");
}

TEST_F(SeekAndScope, ExactOnNeedsTheWholeKey) {
    tag("NAME", "NAME");
    sx_SetExact(-1);
    expectNotFoundAtEnd("Sm");
    EXPECT_TRUE(sx_Seek("Smith"));
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_TRUE(sx_Seek("Smith   "));
    EXPECT_TRUE(sx_Seek("Zoe"));
    EXPECT_EQ(sx_RecNo(), 5);
}

TEST_F(SeekAndScope, SoftSeekStaysOnTheNextKeyOrAtTheEnd) {
    tag("NAME", "NAME");
    sx_SetSoftSeek(-1);
    EXPECT_FALSE(sx_Seek("Jones"));
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_FALSE(sx_Seek("Zz"));           // beyond the last key
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), sx_RecCount() + 1);
    EXPECT_TRUE(sx_Seek("A"));
    EXPECT_EQ(sx_RecNo(), 3);
    sx_SetExact(-1);
    EXPECT_FALSE(sx_Seek("Sm"));
    EXPECT_FALSE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 1);
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 4);
}

TEST_F(SeekAndScope, SeekOnADescendingTag) {
    tag("DNAME", "NAME", false, true);
    // Zoe 5, Smythe 2, Smith 4, Smith 1, Brown 6, Adams 3.
    EXPECT_EQ(walkForward(), (Recs{5, 2, 4, 1, 6, 3}));
    EXPECT_TRUE(sx_Seek("Smith"));
    EXPECT_EQ(sx_RecNo(), 4);
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 1);
    EXPECT_TRUE(sx_Seek("Sm"));
    EXPECT_EQ(sx_RecNo(), 2);
    expectNotFoundAtEnd("Jones");
    sx_SetSoftSeek(-1);
    EXPECT_FALSE(sx_Seek("T"));
    EXPECT_EQ(sx_RecNo(), 2);               // the next key in this order is the smaller one
    EXPECT_FALSE(sx_Seek("0"));
    EXPECT_TRUE(sx_Eof());
}

TEST_F(SeekAndScope, SeekAfterPassesOverEqualKeysInEitherDirection) {
    tag("NAME", "NAME");
    EXPECT_TRUE(sx_SeekAfter("Smith"));
    EXPECT_EQ(sx_RecNo(), 2);
    EXPECT_TRUE(sx_SeekAfter("Sm"));
    EXPECT_EQ(sx_RecNo(), 5);
    EXPECT_FALSE(sx_SeekAfter("Zoe"));
    EXPECT_TRUE(sx_Eof());
    tag("DNAME", "NAME", false, true);
    EXPECT_TRUE(sx_SeekAfter("Smith"));
    EXPECT_EQ(sx_RecNo(), 6);
    EXPECT_TRUE(sx_SeekAfter("Sm"));
    EXPECT_EQ(sx_RecNo(), 6);
    EXPECT_FALSE(sx_SeekAfter("Adams"));
    EXPECT_TRUE(sx_Eof());
    tag("N", "N");
    EXPECT_TRUE(sx_SeekAfter("3"));
    EXPECT_EQ(sx_RecNo(), 4);
    EXPECT_TRUE(sx_SeekAfter("2.5"));
    EXPECT_EQ(sx_RecNo(), 3);
    EXPECT_FALSE(sx_SeekAfter("6"));
    EXPECT_TRUE(sx_Eof());
}

TEST_F(SeekAndScope, UniqueTagHoldsTheFirstRecordOfEachKey) {
    tag("UNAME", "NAME", true);
    EXPECT_EQ(sx_IndexType(), SX_INDEX_UNIQUE);
    EXPECT_EQ(walkForward(), (Recs{3, 6, 1, 2, 5}));
    EXPECT_EQ(sx_Count(), 5);
    EXPECT_TRUE(sx_Seek("Smith"));
    EXPECT_EQ(sx_RecNo(), 1);
    sx_Skip(1);
    EXPECT_EQ(sx_RecNo(), 2);
    EXPECT_EQ(sx_RecCount(), 6);
}

TEST_F(SeekAndScope, ScopeOnADescendingTag) {
    tag("DNAME", "NAME", false, true);
    ASSERT_TRUE(sx_SetScope("Smith", "Smith"));
    EXPECT_EQ(walkForward(), (Recs{4, 1}));
    EXPECT_EQ(walkBackward(), (Recs{1, 4}));
    EXPECT_EQ(sx_Count(), 2);
    ASSERT_TRUE(sx_SetScope("B", "Sm"));     // low and high are key values, whatever the direction
    EXPECT_EQ(walkForward(), (Recs{2, 4, 1, 6}));
    EXPECT_EQ(walkBackward(), (Recs{6, 1, 4, 2}));
    sx_GoTop();
    sx_Skip(-1);
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 2);
    sx_GoBottom();
    sx_Skip(1);
    EXPECT_TRUE(sx_Eof());
    EXPECT_FALSE(sx_Seek("Zoe"));           // outside the scope
    EXPECT_TRUE(sx_Eof());
    EXPECT_TRUE(sx_Seek("Brown"));
    EXPECT_EQ(sx_RecNo(), 6);
}

TEST_F(SeekAndScope, ScopeOnUniqueTags) {
    tag("UNAME", "NAME", true);
    ASSERT_TRUE(sx_SetScope("S", "S"));
    EXPECT_EQ(walkForward(), (Recs{1, 2}));
    EXPECT_EQ(sx_Count(), 2);
    tag("UDNAME", "NAME", true, true);
    ASSERT_TRUE(sx_SetScope("A", "Smith"));
    EXPECT_EQ(walkForward(), (Recs{1, 6, 3}));
    EXPECT_EQ(walkBackward(), (Recs{3, 6, 1}));
    EXPECT_EQ(sx_Count(), 3);
    ASSERT_TRUE(sx_SetScope("", ""));
    EXPECT_EQ(sx_Count(), 5);
}

TEST_F(SeekAndScope, RecordsEditedOutOfTheScopeLeaveIt) {
    tag("NAME", "NAME");
    ASSERT_TRUE(sx_SetScope("Sm", "Sm"));
    EXPECT_EQ(walkForward(), (Recs{1, 4, 2}));
    setName(4, "Baker");
    EXPECT_EQ(walkForward(), (Recs{1, 2}));
    EXPECT_EQ(sx_Count(), 2);
    setName(5, "Smart");
    EXPECT_EQ(walkForward(), (Recs{5, 1, 2}));
}

TEST_F(SeekAndScope, LongKeysAndLongSkips) {
    tag("NAME", "NAME");
    EXPECT_FALSE(sx_Seek("Smithsonian Institution"));   // longer than the key
    EXPECT_TRUE(sx_Eof());
    sx_SetExact(-1);
    EXPECT_FALSE(sx_Seek("Smithsonian Institution"));
    sx_GoTop();
    sx_Skip(100);
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(sx_RecNo(), 7);
    sx_Skip(-100);
    EXPECT_TRUE(sx_Bof());
    EXPECT_EQ(sx_RecNo(), 3);
    sx_Skip(3);
    EXPECT_EQ(sx_RecNo(), 4);
}

TEST_F(SeekAndScope, SearchAndScopeNeedAnOrder) {
    EXPECT_EQ(sx_IndexOrd(), 0);
    EXPECT_FALSE(sx_Seek("Smith"));
    EXPECT_FALSE(sx_SetScope("A", "B"));
    EXPECT_EQ(sx_Count(), 6);
}

TEST_F(SeekAndScope, NumericTagsTakeNumbersAsText) {
    tag("N", "N");
    ASSERT_TRUE(sx_SetScope("2", "4"));
    EXPECT_EQ(walkForward(), (Recs{2, 3, 4}));
    ASSERT_TRUE(sx_SetScope("", ""));
    EXPECT_TRUE(sx_Seek("5"));
    EXPECT_EQ(sx_RecNo(), 5);
    EXPECT_FALSE(sx_Seek("7"));
    EXPECT_TRUE(sx_Eof());
}

}  // namespace
}  // namespace sxextra
