// Queries and evaluations over fields whose names are also words of the
// expression language (GROUP, DATE), under the date settings.

#include "sx_extra_support.h"

namespace sxextra {
namespace {

class QueryNames : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        sx_SetEpoch(1950);   // "01/15/19" is in 2019
        append("Ann", 1, true, "Friends", "01/15/19");
        append("Bob", 2, false, "Family", "06/30/20");
        append("Cy", 3, true, "Friends", "12/31/20");
        append("Dan", 4, true, "Work", "");
        append("Eve", 5, true, "Friends", "02/01/21");
    }
};

TEST_F(QueryNames, QueryOnGroupAndDate) {
    ASSERT_TRUE(sx_Query("GROUP = 'Fri' .and. DATE >= CTOD('01/01/20')")) << xbase::lastErrorText();
    EXPECT_EQ(sx_DBFilter(), "GROUP = 'Fri' .and. DATE >= CTOD('01/01/20')");
    EXPECT_EQ(walkForward(), (Recs{3, 5}));
    EXPECT_EQ(sx_Count(), 2);
    ASSERT_TRUE(sx_Query("DTOS(DATE) < '2020' .OR. EMPTY(DATE)"));
    EXPECT_EQ(walkForward(), (Recs{1, 4}));
    ASSERT_TRUE(sx_Query("'ri' $ group .and. ! active"));
    EXPECT_EQ(walkForward(), (Recs{}));
    ASSERT_TRUE(sx_Query("Upper(GROUP) = 'FAMILY'"));
    EXPECT_EQ(walkForward(), (Recs{2}));
    ASSERT_TRUE(sx_Query(""));
    EXPECT_EQ(sx_DBFilter(), "");
    EXPECT_EQ(sx_Count(), 5);
}

TEST_F(QueryNames, QueriesFollowTheExactSettingAndRecordState) {
    ASSERT_TRUE(sx_Query("GROUP = 'Fri'"));
    EXPECT_EQ(sx_Count(), 3);
    sx_SetExact(-1);                               // read at each evaluation, not when set
    EXPECT_EQ(sx_Count(), 0);
    ASSERT_TRUE(sx_Query("GROUP = 'Friends'"));
    EXPECT_EQ(sx_Count(), 3);
    sx_SetExact(0);
    sx_Go(3);
    ASSERT_TRUE(sx_Delete());
    ASSERT_TRUE(sx_Query("!DELETED() .AND. RECNO() > 1"));
    EXPECT_EQ(walkForward(), (Recs{2, 4, 5}));
}

TEST_F(QueryNames, BadQueriesAreRefused) {
    EXPECT_FALSE(sx_Query("GROUP = "));
    EXPECT_FALSE(sx_Query("GROUP + 1"));
    EXPECT_FALSE(sx_Query("NOSUCH = 1"));
    EXPECT_FALSE(sx_Query("GROUP"));              // not a logical expression
    EXPECT_NE(xbase::lastErrorText(), "");
}

TEST_F(QueryNames, QueriesFollowTheDateSettings) {
    sx_SetDateFormat(SX_DATE_GERMAN);
    ASSERT_TRUE(sx_Query("DATE > CTOD('31.12.20')"));
    EXPECT_EQ(walkForward(), (Recs{5}));
    sx_SetEpoch(1950);
    ASSERT_TRUE(sx_Query("CTOD('01.01.49') > DATE .AND. !EMPTY(DATE)"));
    EXPECT_EQ(sx_Count(), 4);                      // 2049 is after every date
    sx_SetEpoch(1900);
    ASSERT_TRUE(sx_Query("CTOD('01.01.49') > DATE .AND. !EMPTY(DATE)"));
    EXPECT_EQ(sx_Count(), 0);
}

TEST_F(QueryNames, EvaluationOnTheCurrentRecord) {
    sx_Go(3);
    EXPECT_EQ(sx_EvalTest("GROUP"), SX_EVAL_CHARACTER);
    EXPECT_EQ(sx_EvalTest("DATE"), SX_EVAL_DATE);
    EXPECT_EQ(sx_EvalTest("DATE()"), SX_EVAL_DATE);
    EXPECT_EQ(sx_EvalTest("N + 1"), SX_EVAL_NUMERIC);
    EXPECT_EQ(sx_EvalTest("GROUP = 'x'"), SX_EVAL_LOGICAL);
    EXPECT_EQ(sx_EvalTest("GROUP +"), 0);
    EXPECT_EQ(sx_EvalString("GROUP"), "Friends   ");
    EXPECT_EQ(sx_EvalString("DTOS(DATE)"), "20201231");
    EXPECT_EQ(sx_EvalString("LTRIM(STR(N, 19))"), "3");
    EXPECT_EQ(sx_EvalString("TRIM(NAME) + '/' + TRIM(GROUP)"), "Cy/Friends");
    EXPECT_TRUE(sx_EvalLogical("GROUP = 'Friends' .AND. ACTIVE .AND. RECNO() = 3"));
    EXPECT_FALSE(sx_EvalLogical("DELETED()"));
}

}  // namespace
}  // namespace sxextra
