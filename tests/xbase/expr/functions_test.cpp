// Built-in functions and their edge cases.

#include <gtest/gtest.h>

#include "expr_test_support.h"
#include "xbase/error.h"

namespace xbase::test {
namespace {

TEST(TextFunctions, CaseAndTrimming) {
    EXPECT_EQ(evalText("UPPER('aBc\xe9z')"), "ABC\xe9Z");    // other bytes left alone
    EXPECT_EQ(evalText("LOWER('AbC1')"), "abc1");
    EXPECT_EQ(evalText("TRIM('  a b  ')"), "  a b");
    EXPECT_EQ(evalText("RTRIM(NAME)"), "Smith");
    EXPECT_EQ(evalText("LTRIM('  a b  ')"), "a b  ");
    EXPECT_EQ(evalText("ALLTRIM('  a b  ')"), "a b");
    EXPECT_EQ(evalText("ALLTRIM('    ')"), "");
    EXPECT_EQ(evalText("TRIM('')"), "");
}

TEST(TextFunctions, SubstrLeftRightAtTheEdges) {
    EXPECT_EQ(evalText("SUBSTR('abcdef', 2, 3)"), "bcd");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 4)"), "def");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 5, 10)"), "ef");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 7)"), "");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 99, 2)"), "");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 0, 2)"), "ab");
    EXPECT_EQ(evalText("SUBSTR('abcdef', -5, 2)"), "ab");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 2, 0)"), "");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 2, -1)"), "");
    EXPECT_EQ(evalText("SUBSTR('abcdef', 2.9, 1)"), "b");
    const std::string huge(320, '9');
    EXPECT_EQ(evalText("SUBSTR('abc', " + huge + ", " + huge + ")"), "");
    EXPECT_EQ(evalText("SUBSTR('abc', -" + huge + ", " + huge + ")"), "abc");
    EXPECT_EQ(evalText("SUBSTR('abc', AGE / 0 + 2)"), "bc");
    EXPECT_EQ(evalText("LEFT('abc', 2)"), "ab");
    EXPECT_EQ(evalText("LEFT('abc', 9)"), "abc");
    EXPECT_EQ(evalText("LEFT('abc', -1)"), "");
    EXPECT_EQ(evalText("RIGHT('abc', 2)"), "bc");
    EXPECT_EQ(evalText("RIGHT('abc', 9)"), "abc");
    EXPECT_EQ(evalText("RIGHT('abc', 0)"), "");
}

TEST(NumberFunctions, StrPadsRoundsAndOverflows) {
    EXPECT_EQ(evalText("STR(42)"), "        42");
    EXPECT_EQ(evalText("STR(AGE, 4)"), "  42");
    EXPECT_EQ(evalText("STR(3.14159, 6, 2)"), "  3.14");
    EXPECT_EQ(evalText("STR(2.5, 3)"), "  3");          // half away from zero
    EXPECT_EQ(evalText("STR(-2.5, 3)"), " -3");
    EXPECT_EQ(evalText("STR(1.005, 5, 2)"), " 1.01");   // as written, not as stored in binary
    EXPECT_EQ(evalText("STR(0.125, 5, 2)"), " 0.13");
    EXPECT_EQ(evalText("STR(-0.4, 3)"), "  0");          // no negative zero
    EXPECT_EQ(evalText("STR(12345, 4)"), "****");
    EXPECT_EQ(evalText("STR(-999, 3)"), "***");          // the sign needs room too
    EXPECT_EQ(evalText("STR(123.456, 5, 2)"), "123.5");  // decimals give way first
    EXPECT_EQ(evalText("STR(123.456, 3, 2)"), "123");
    EXPECT_EQ(evalText("STR(0.5, 1, 3)"), "1");
    EXPECT_EQ(evalText("STR(7, 0)"), "");
    EXPECT_EQ(evalText("STR(7, -3)"), "");
    EXPECT_EQ(evalText("STR(1.5, 8, 40)").size(), 8u);
    EXPECT_EQ(evalText("STR(PRICE, 8, 2)"), "   12.50");
    EXPECT_EQ(evalText("STR(12345678901234567, 19)"), "  12345678901234568");
    const std::string huge(300, '9');
    EXPECT_EQ(evalText("STR(" + huge + " * " + huge + ", 4)"), "****");   // infinity
    EXPECT_EQ(evalText("STR(" + huge + " * " + huge + " * 0, 4)"), "****");  // not a number
}

TEST(NumberFunctions, ValReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(evalNumber("VAL('42')"), 42);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('  -12.5abc')"), -12.5);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('+7')"), 7);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('.5')"), 0.5);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('1.2.3')"), 1.2);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('abc')"), 0);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('')"), 0);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('-')"), 0);
    EXPECT_DOUBLE_EQ(evalNumber("VAL('.')"), 0);
    EXPECT_DOUBLE_EQ(evalNumber("VAL(STR(AGE, 4))"), 42);
}

TEST(OtherFunctions, EmptyForEveryType) {
    EXPECT_TRUE(evalLogical("EMPTY('   ')"));
    EXPECT_TRUE(evalLogical("EMPTY('')"));
    EXPECT_FALSE(evalLogical("EMPTY(NAME)"));
    EXPECT_TRUE(evalLogical("EMPTY(0)"));
    EXPECT_FALSE(evalLogical("EMPTY(AGE)"));
    EXPECT_TRUE(evalLogical("EMPTY(CTOD(''))"));
    EXPECT_FALSE(evalLogical("EMPTY(BORN)"));
    EXPECT_TRUE(evalLogical("EMPTY(.F.)"));
    EXPECT_FALSE(evalLogical("EMPTY(ACTIVE)"));
}

TEST(OtherFunctions, IifTakesTheTypeOfItsBranches) {
    EXPECT_EQ(evalText("IIF(ACTIVE, 'yes', 'no')"), "yes");
    EXPECT_EQ(evalText("IIF(!ACTIVE, 'yes', 'no')"), "no");
    EXPECT_DOUBLE_EQ(evalNumber("IIF(AGE > 40, 1, 2) * 10"), 10);
    EXPECT_EQ(evalDate("IIF(.F., BORN, DATE)"), julianFromYmd(2001, 2, 3));
    EXPECT_TRUE(evalLogical("IIF(ACTIVE, .T., .F.) .AND. ACTIVE"));
    EXPECT_EQ(compileSample("IIF(ACTIVE, 'yes', 'no')").width(), 3);
    EXPECT_EQ(compileSample("IIF(ACTIVE, AGE, PRICE)").type(), ValueType::Numeric);
    // Only the chosen branch runs.
    SampleRecord record;
    record.values[2] = Value::character("broken");
    EXPECT_EQ(compileSample("IIF(ACTIVE, NAME, STR(AGE))").evaluate(record, EvalSettings()).text, pad("Smith", 20));
}

TEST(OtherFunctions, RecordStateAndFieldValuesOfTheWrongType) {
    SampleRecord record;
    record.recno = 123;
    record.isDeleted = true;
    EXPECT_TRUE(compileSample("DELETED()").evaluate(record, EvalSettings()).logical);
    EXPECT_DOUBLE_EQ(compileSample("RECNO() + 1").evaluate(record, EvalSettings()).number, 124);
    record.values[0] = Value::numeric(1);
    try {
        compileSample("UPPER(NAME)").evaluate(record, EvalSettings());
        FAIL();
    } catch (const XbaseError& e) {
        EXPECT_EQ(e.code(), kExprTypeError);
        EXPECT_NE(std::string(e.what()).find("NAME"), std::string::npos);
    }
}

}  // namespace
}  // namespace xbase::test
