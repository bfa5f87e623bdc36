#include "tables/filter_text.h"

#include <gtest/gtest.h>

using namespace tables;

TEST(TablesFilterText, JoinKeepsEachTextsMeaning) {
    EXPECT_EQ(joinFilterTexts({"A = 1"}), "A = 1");
    EXPECT_EQ(joinFilterTexts({"A = 1 .or. B = 2", "C = 3"}), "(A = 1 .or. B = 2) .and. (C = 3)");
}

TEST(TablesFilterText, LiteralsHoldAnyQuote) {
    EXPECT_EQ(stringLiteral("plain"), "'plain'");
    EXPECT_EQ(stringLiteral("O'Brien"), "\"O'Brien\"");
    // Both quote kinds: no way to close the literal early.
    EXPECT_EQ(stringLiteral("a'b\"c"), "'a'+\"'\"+'b\"c'");
    EXPECT_EQ(stringLiteral("'"), "\"'\"");
}

TEST(TablesFilterText, LookupCondition) {
    EXPECT_EQ(lookupFilterText("NAME", "ann", true, true), "Upper(NAME) = 'ANN'");
    EXPECT_EQ(lookupFilterText("NAME", "ann", false, true), "NAME = 'ann'");
    EXPECT_EQ(lookupFilterText("AGE", "x", true, false), "AGE = 'x'");
    EXPECT_EQ(lookupFilterText("NAME", "x' .or. .T. .or. 'y", false, true), "NAME = \"x' .or. .T. .or. 'y\"");
}
