// Compiling: precedence, names, the stored forms of keys, result types and
// widths, and texts that must fail cleanly.

#include <gtest/gtest.h>

#include <random>

#include "expr_test_support.h"
#include "xbase/error.h"

namespace xbase::test {
namespace {

TEST(ExpressionPrecedence, ArithmeticAndLogic) {
    EXPECT_EQ(evalNumber("2+3*4"), 14);
    EXPECT_EQ(evalNumber("(2+3)*4"), 20);
    EXPECT_EQ(evalNumber("20-4-3"), 13);      // left to right
    EXPECT_EQ(evalNumber("24/4/2"), 3);
    EXPECT_EQ(evalNumber("-2*-3"), 6);
    EXPECT_EQ(evalNumber("- AGE + 2"), -40);  // unary minus binds tighter than +
    // .NOT. is looser than comparisons and tighter than .AND./.OR.
    EXPECT_TRUE(evalLogical(".NOT. AGE = 41"));
    EXPECT_TRUE(evalLogical(".T. .OR. .F. .AND. .F."));   // .AND. first
    EXPECT_FALSE(evalLogical("(.T. .OR. .F.) .AND. .F."));
    EXPECT_FALSE(evalLogical("!ACTIVE .AND. AGE > 3"));
    EXPECT_TRUE(evalLogical("! ACTIVE .OR. AGE + 1 = 43"));
    EXPECT_TRUE(evalLogical("!!ACTIVE"));
    EXPECT_TRUE(evalLogical(".NOT..F."));
    EXPECT_TRUE(evalLogical("AGE=42.AND.ACTIVE"));        // the point of 42 belongs to .AND.
    EXPECT_TRUE(evalLogical("ACTIVE = !.F."));
}

TEST(ExpressionNames, FieldsIgnoreCaseAndBeatFunctionNamesWithoutParenthesis) {
    EXPECT_EQ(evalText("group"), pad("Friends", 40));
    EXPECT_EQ(evalText("From"), pad("ann@example.org", 40));
    EXPECT_EQ(evalDate("DATE"), julianFromYmd(2001, 2, 3));
    EXPECT_GT(evalDate("DATE()"), julianFromYmd(2020, 1, 1));  // the function, not the field
    EXPECT_EQ(evalDate("DATE ( )"), evalDate("DATE()"));
    EXPECT_TRUE(evalLogical("DTOS(DATE) = '20010203' .AND. GROUP = 'Fr' .AND. 'ann' $ FROM"));
    EXPECT_EQ(evalText("upper(group)"), pad("FRIENDS", 40));
    EXPECT_EQ(evalText("NOTES"), "a memo");
    EXPECT_TRUE(evalLogical(".y. .AND. !.n."));
}

TEST(ExpressionNames, StoredNormalisedFormsCompile) {
    for (const char* text : {"UPPER( NAME )", "STR( AGE, 4 )", "! ACTIVE", "DTOS( BORN )", "CITY + STR( AGE, 4 )",
                             "UNIQUE_ID", "Upper(NAME) = 'SMITH'", "NAME = 'Smith'", "LTRIM(STR(AGE, 19))",
                             "IIF( ACTIVE, 'Y', 'N' )", "SUBSTR( NAME, 1, 3 ) + DTOS( BORN )",
                             "NAME = 'a' .and. CITY = 'b'", "DELETED()", "RECNO()"}) {
        std::vector<FieldDef> fields = sampleFields();
        fields.push_back({"UNIQUE_ID", 'C', 20, 0, 170});
        EXPECT_NO_THROW(Expression::compile(text, fields)) << text;
    }
    EXPECT_TRUE(evalLogical("Upper(NAME) = 'SMITH'"));
    EXPECT_EQ(evalText("LTRIM(STR(AGE, 19))"), "42");
}

TEST(ExpressionTypes, KeyWidths) {
    struct Case { const char* text; ValueType type; int width; } cases[] = {
        {"NAME", ValueType::Character, 20},
        {"UPPER(NAME)", ValueType::Character, 20},
        {"STR(AGE,4)", ValueType::Character, 4},
        {"STR(AGE)", ValueType::Character, 10},
        {"CITY+STR(AGE,4)", ValueType::Character, 34},
        {"CITY-NAME", ValueType::Character, 50},
        {"DTOS(BORN)", ValueType::Character, 8},
        {"TRIM(NAME)", ValueType::Character, 20},
        {"ALLTRIM(CITY)", ValueType::Character, 30},
        {"SUBSTR(NAME,3,5)", ValueType::Character, 5},
        {"SUBSTR(NAME,3)", ValueType::Character, 18},
        {"SUBSTR(NAME,18,5)", ValueType::Character, 3},
        {"LEFT(CITY,4)", ValueType::Character, 4},
        {"RIGHT(NAME,50)", ValueType::Character, 20},
        {"IIF(ACTIVE,NAME,CITY)", ValueType::Character, 30},
        {"'abc'", ValueType::Character, 3},
        {"AGE", ValueType::Numeric, 4},
        {"BORN", ValueType::Date, 8},
        {"BORN + 1", ValueType::Date, 8},
        {"BORN - DATE", ValueType::Numeric, 8},
        {"ACTIVE", ValueType::Logical, 1},
        {"NAME = 'x'", ValueType::Logical, 1},
    };
    for (const Case& c : cases) {
        const Expression e = compileSample(c.text);
        EXPECT_EQ(e.type(), c.type) << c.text;
        EXPECT_EQ(e.width(), c.width) << c.text;
        EXPECT_EQ(e.text(), c.text);
    }
    EXPECT_EQ(compileSample("PRICE").decimals(), 2);
}

TEST(ExpressionTypes, CopiesShareTheCompiledTreeAndOutliveTheFieldList) {
    Expression copy;
    EXPECT_TRUE(copy.empty());
    EXPECT_THROW(copy.evaluate(SampleRecord(), EvalSettings()), XbaseError);
    {
        std::vector<FieldDef> fields = sampleFields();
        const Expression e = Expression::compile("UPPER(NAME)+CITY", fields);
        copy = e;
    }
    EXPECT_EQ(copy.evaluate(SampleRecord(), EvalSettings()).text, pad("SMITH", 20) + pad("Boston", 30));
}

int errorCode(const std::string& text) {
    try {
        compileSample(text);
    } catch (const XbaseError& e) {
        EXPECT_NE(std::string(e.what()), "") << text;
        return e.code();
    }
    return 0;
}

TEST(ExpressionErrors, SyntaxErrorsAreReportedNotCrashed) {
    for (const char* text : {"", "   ", "NAME +", "'abc", "\"abc", "[abc", "UPPER(NAME", "UPPER NAME)", "(AGE",
                             "AGE)", "NOSUCH", "NOSUCH(1)", "UPPER()", "UPPER(NAME, CITY)", "SUBSTR(NAME)",
                             "STR(AGE,1,2,3)", "AGE AGE", ".X.", ".AND.", "AGE @ 2", "NAME = ", "1 +* 2",
                             "DATE(", "IIF(ACTIVE, 1)", ",", "AGE =< 3", "\x01", "5abc"}) {
        EXPECT_EQ(errorCode(text), kExprSyntaxError) << text;
    }
}

TEST(ExpressionErrors, TypeErrorsAreFoundAtCompileTime) {
    for (const char* text : {"NAME + AGE", "AGE .AND. ACTIVE", "!NAME", "-NAME", "+NAME", "NAME * 2", "BORN + BORN",
                             "AGE - BORN", "NAME = AGE", "BORN < 3", "AGE $ NAME", "UPPER(AGE)", "STR(NAME)",
                             "DTOS(NAME)", "CTOD(BORN)", "IIF(NAME, 1, 2)", "IIF(ACTIVE, 1, 'x')", "SUBSTR(NAME,'1')",
                             "ACTIVE .OR. NAME", "ACTIVE + 1"}) {
        EXPECT_EQ(errorCode(text), kExprTypeError) << text;
    }
}

TEST(ExpressionErrors, MessagesNameTheProblem) {
    try {
        compileSample("UPPER(NOSUCH)");
        FAIL();
    } catch (const XbaseError& e) {
        EXPECT_NE(std::string(e.what()).find("NOSUCH"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("column 7"), std::string::npos) << e.what();
    }
}

TEST(ExpressionErrors, HostileTextsAreBounded) {
    EXPECT_EQ(errorCode(std::string(100000, '(') + "1" + std::string(100000, ')')), kExprTooComplex);
    EXPECT_EQ(errorCode(std::string(500, '(') + "1" + std::string(500, ')')), kExprTooComplex);
    EXPECT_EQ(errorCode(std::string(500, '-') + "1"), kExprTooComplex);
    EXPECT_EQ(errorCode(std::string(500, '!') + ".T."), kExprTooComplex);
    std::string sum = "1";
    for (int i = 0; i < 1000; ++i) sum += "+1";
    EXPECT_EQ(errorCode(sum), kExprTooComplex);
    EXPECT_EQ(errorCode(std::string(40, '(') + "1" + std::string(40, ')')), 0);
    EXPECT_EQ(errorCode(std::string(70000, ' ') + "1"), kExprTooComplex);
    // Long .AND. chains, as joined filters make them, stay shallow.
    std::string chain = "ACTIVE";
    for (int i = 0; i < 2000; ++i) chain += " .and. AGE > 1";
    EXPECT_TRUE(evalLogical(chain));
    EXPECT_EQ(evalNumber(std::string(400, '9')) > 1e300, true);
    EXPECT_EQ(evalText("STR(" + std::string(400, '9') + ", 5)"), "*****");
    EXPECT_EQ(evalText("STR(1, " + std::string(400, '9') + ")").size(), 255u);
}

// Random token soup: every text either compiles and evaluates or gives an
// XbaseError; anything else (a crash, another exception) is a fault.
TEST(ExpressionErrors, RandomTokenSequencesNeverEscapeAsOtherFailures) {
    const char* pieces[] = {"NAME", "AGE", "BORN", "ACTIVE", "GROUP", "DATE", "(", ")", ",", "+", "-", "*", "/",
                            "=", "==", "<>", "#", "!=", "<", ">=", "$", ".AND.", ".OR.", ".NOT.", "!", "'x'",
                            "\"ab \"", "[c]", "0", "3", "2.5", ".T.", ".F.", "UPPER(", "SUBSTR(", "STR(", "VAL(",
                            "DTOS(", "DTOC(", "CTOD(", "IIF(", "EMPTY(", "DATE()", "RECNO()", "TRIM(", "LEFT(", "'"};
    std::mt19937 random(12345);
    std::uniform_int_distribution<size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(1, 12);
    int compiled = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int i = length(random); i > 0; --i) text += std::string(pieces[pick(random)]) + " ";
        try {
            const Expression e = compileSample(text);
            e.evaluate(SampleRecord(), EvalSettings());
            ++compiled;
        } catch (const XbaseError&) {
        } catch (const std::exception& e) {
            ADD_FAILURE() << text << ": " << e.what();
        }
    }
    EXPECT_GT(compiled, 100);   // the soup is not all syntax errors
}

}  // namespace
}  // namespace xbase::test
