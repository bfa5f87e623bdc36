// Operators between texts, numbers, dates and logicals, under the exact
// setting where it matters.

#include <gtest/gtest.h>

#include "expr_test_support.h"

namespace xbase::test {
namespace {

TEST(TextComparison, EqualsWithExactOffIsAPrefixTest) {
    EXPECT_TRUE(evalLogical("'abc' = 'ab'"));
    EXPECT_FALSE(evalLogical("'ab' = 'abc'"));
    EXPECT_TRUE(evalLogical("'abc' = ''"));          // an empty right side matches anything
    EXPECT_FALSE(evalLogical("'' = 'a'"));
    EXPECT_TRUE(evalLogical("NAME = 'Smith'"));
    EXPECT_TRUE(evalLogical("NAME = 'Smith     '"));  // the blanks are part of the prefix...
    EXPECT_FALSE(evalLogical("'Smith' = 'Smith '"));  // ...and must be there
    EXPECT_FALSE(evalLogical("NAME = 'smith'"));       // case counts
    EXPECT_TRUE(evalLogical("'abc' <> 'abd'"));
    EXPECT_FALSE(evalLogical("'abc' # 'ab'"));
    EXPECT_FALSE(evalLogical("'abc' != 'ab'"));
}

TEST(TextComparison, EqualsWithExactOnIgnoresTrailingBlanksOnly) {
    const EvalSettings exact = exactOn();
    EXPECT_FALSE(evalLogical("'abc' = 'ab'", exact));
    EXPECT_TRUE(evalLogical("NAME = 'Smith'", exact));
    EXPECT_TRUE(evalLogical("'Smith' = 'Smith   '", exact));
    EXPECT_FALSE(evalLogical("'abc' = ''", exact));
    EXPECT_TRUE(evalLogical("'   ' = ''", exact));
    EXPECT_FALSE(evalLogical("' abc' = 'abc'", exact));  // leading blanks count
    EXPECT_TRUE(evalLogical("'ab c' > 'ab'", exact));
}

TEST(TextComparison, DoubleEqualsIsByteExactWhateverTheSetting) {
    EXPECT_FALSE(evalLogical("'abc' == 'ab'"));
    EXPECT_FALSE(evalLogical("NAME == 'Smith'"));       // the field keeps its padding
    EXPECT_TRUE(evalLogical("TRIM(NAME) == 'Smith'"));
    EXPECT_FALSE(evalLogical("'ab ' == 'ab'", exactOn()));
    EXPECT_TRUE(evalLogical("'' == ''"));
}

TEST(TextComparison, OrderingFollowsTheSameRules) {
    EXPECT_TRUE(evalLogical("'abc' < 'abd'"));
    EXPECT_FALSE(evalLogical("'abc' > 'ab'"));     // equal under the prefix rule
    EXPECT_TRUE(evalLogical("'abc' >= 'ab'"));
    EXPECT_TRUE(evalLogical("'ab' < 'abc'"));
    EXPECT_TRUE(evalLogical("'ab' <= 'abc'"));
    EXPECT_TRUE(evalLogical("'Z' < 'a'"));          // byte order
    EXPECT_TRUE(evalLogical("'a' < '\xe9'"));       // bytes compare unsigned
    EXPECT_TRUE(evalLogical("'abc' > 'ab'", exactOn()));
    EXPECT_TRUE(evalLogical("'ab' < 'ab!'", exactOn()));
    EXPECT_TRUE(evalLogical("'ab' > 'ab'+'\t'", exactOn()));  // the short side counts as blanks
}

TEST(TextComparison, ContainsOperator) {
    EXPECT_TRUE(evalLogical("'mit' $ NAME"));
    EXPECT_TRUE(evalLogical("NAME $ NAME"));
    EXPECT_FALSE(evalLogical("'MIT' $ NAME"));
    EXPECT_FALSE(evalLogical("'' $ NAME"));
    EXPECT_FALSE(evalLogical("'Smithers' $ 'Smith'"));
    EXPECT_TRUE(evalLogical("'example' $ FROM .AND. 'a' $ 'abc'"));
}

TEST(TextOperators, PlusJoinsMinusMovesBlanksToTheEnd) {
    EXPECT_EQ(evalText("'ab ' + 'cd'"), "ab cd");
    EXPECT_EQ(evalText("'ab  ' - 'cd'"), "abcd  ");
    EXPECT_EQ(evalText("'ab' - 'cd '"), "abcd ");
    EXPECT_EQ(evalText("'   ' - 'x'"), "x   ");
    EXPECT_EQ(evalText("'' - ''"), "");
    EXPECT_EQ(evalText("NAME - CITY"), "SmithBoston" + std::string(39, ' '));
    EXPECT_EQ(evalText("CITY+STR(AGE,4)"), pad("Boston", 30) + "  42");
    EXPECT_EQ(evalText("\"it's\" + [say \"hi\"]"), "it'ssay \"hi\"");
}

TEST(NumberOperators, ArithmeticAndComparison) {
    EXPECT_DOUBLE_EQ(evalNumber("PRICE * 2"), 25);
    EXPECT_DOUBLE_EQ(evalNumber("7 / 2"), 3.5);
    EXPECT_DOUBLE_EQ(evalNumber(".5 + 1.25"), 1.75);
    EXPECT_DOUBLE_EQ(evalNumber("AGE / 0"), 0);    // no crash, no exception mid-scan
    EXPECT_TRUE(evalLogical("AGE = 42 .AND. AGE >= 42 .AND. AGE <= 42 .AND. !(AGE < 42) .AND. AGE # 41"));
    EXPECT_TRUE(evalLogical("AGE == 42.0"));
    EXPECT_TRUE(evalLogical("-1 < 0"));
}

TEST(DateOperators, DayArithmeticAndComparison) {
    EXPECT_EQ(evalDate("BORN + 1"), julianFromYmd(1984, 3, 8));
    EXPECT_EQ(evalDate("30 + BORN"), julianFromYmd(1984, 4, 6));
    EXPECT_EQ(evalDate("BORN - 7"), julianFromYmd(1984, 2, 29));
    EXPECT_EQ(evalDate("BORN + 1.9"), julianFromYmd(1984, 3, 8));   // whole days
    EXPECT_DOUBLE_EQ(evalNumber("DATE - BORN"), julianFromYmd(2001, 2, 3) - julianFromYmd(1984, 3, 7));
    EXPECT_TRUE(evalLogical("BORN < DATE .AND. DATE > BORN .AND. BORN = BORN"));
    EXPECT_EQ(evalDate("CTOD('') + 5"), 0);                            // the empty date stays empty
    EXPECT_EQ(evalDate("BORN + 99999999"), 0);                         // beyond the calendar
    EXPECT_EQ(evalDate("BORN - " + std::string(350, '9')), 0);
    EXPECT_TRUE(evalLogical("CTOD('') < BORN"));
}

TEST(LogicalOperators, ComparisonAndShortCircuit) {
    EXPECT_TRUE(evalLogical("ACTIVE = .T."));
    EXPECT_TRUE(evalLogical(".F. < .T."));
    EXPECT_TRUE(evalLogical(".T. <> .F."));
    // The right side of a decided .AND./.OR. is not evaluated: a field that
    // cannot be read must not be touched.
    SampleRecord record;
    record.values[2] = Value::character("broken");
    EXPECT_FALSE(compileSample(".F. .AND. AGE = 1").evaluate(record, EvalSettings()).logical);
    EXPECT_TRUE(compileSample("ACTIVE .OR. AGE = 1").evaluate(record, EvalSettings()).logical);
}

}  // namespace
}  // namespace xbase::test
