// Julian day numbers and dates as texts.

#include <gtest/gtest.h>

#include <ctime>

#include "expr_test_support.h"

namespace xbase::test {
namespace {

TEST(JulianDays, RoundTripAndKnownDays) {
    EXPECT_EQ(julianFromYmd(2000, 1, 1), 2451545);
    EXPECT_EQ(julianFromYmd(1899, 12, 30), 2415019);
    EXPECT_EQ(julianFromYmd(2000, 2, 29) + 1, julianFromYmd(2000, 3, 1));
    for (int32_t jd : {julianFromYmd(1, 1, 1), 2299160, 2415019, 2451604, julianFromYmd(9999, 12, 31)}) {
        int y = 0, m = 0, d = 0;
        ymdFromJulian(jd, y, m, d);
        EXPECT_EQ(julianFromYmd(y, m, d), jd);
    }
}

TEST(JulianDays, ImpossibleDatesAreEmpty) {
    EXPECT_EQ(julianFromYmd(1900, 2, 29), 0);
    EXPECT_EQ(julianFromYmd(2023, 2, 29), 0);
    EXPECT_EQ(julianFromYmd(2023, 13, 1), 0);
    EXPECT_EQ(julianFromYmd(2023, 4, 31), 0);
    EXPECT_EQ(julianFromYmd(0, 1, 1), 0);
    EXPECT_EQ(julianFromYmd(10000, 1, 1), 0);
    int y = 1, m = 1, d = 1;
    ymdFromJulian(0, y, m, d);
    EXPECT_EQ(y + m + d, 0);
    ymdFromJulian(-5, y, m, d);
    EXPECT_EQ(y, 0);
}

TEST(JulianDays, DbfDateTexts) {
    EXPECT_EQ(julianFromDateText("20000101"), 2451545);
    EXPECT_EQ(julianFromDateText("        "), 0);
    EXPECT_EQ(julianFromDateText("2000010"), 0);
    EXPECT_EQ(julianFromDateText("2000 101"), 0);
    EXPECT_EQ(julianFromDateText("20001301"), 0);
    EXPECT_EQ(dateTextFromJulian(2451545), "20000101");
    EXPECT_EQ(dateTextFromJulian(julianFromYmd(7, 3, 9)), "00070309");
    EXPECT_EQ(dateTextFromJulian(0), "        ");
}

TEST(DateFunctions, DtosAndDtoc) {
    EXPECT_EQ(evalText("DTOS(BORN)"), "19840307");
    EXPECT_EQ(evalText("DTOS(CTOD(''))"), "        ");
    EXPECT_EQ(evalText("DTOC(BORN)"), "03/07/84");
    EXPECT_EQ(evalText("DTOC(CTOD(''))"), "  /  /  ");
    EvalSettings s;
    s.century = true;
    EXPECT_EQ(evalText("DTOC(BORN)", s), "03/07/1984");
    EXPECT_EQ(evalText("DTOC(CTOD(''))", s), "  /  /    ");
    s.dateFormat = "dd.mm.yy";
    EXPECT_EQ(evalText("DTOC(BORN)", s), "07.03.1984");
    s.century = false;
    s.dateFormat = "yy.mm.dd";
    EXPECT_EQ(evalText("DTOC(BORN)", s), "84.03.07");
    s.dateFormat = "m/d/yy";
    EXPECT_EQ(evalText("DTOC(BORN)", s), "3/7/84");
    s.dateFormat = "nonsense";   // falls back to the american order
    EXPECT_EQ(evalText("DTOC(BORN)", s), "03/07/84");
}

TEST(DateFunctions, CtodReadsTheFormatOrderAndTheEpochWindow) {
    EXPECT_EQ(evalDate("CTOD('03/07/84')"), julianFromYmd(1984, 3, 7));
    EXPECT_EQ(evalDate("CTOD('3/7/1984')"), julianFromYmd(1984, 3, 7));
    EXPECT_EQ(evalDate("CTOD('12/31/05')"), julianFromYmd(1905, 12, 31));   // epoch 1900
    EXPECT_EQ(evalDate("CTOD('')"), 0);
    EXPECT_EQ(evalDate("CTOD('  /  /  ')"), 0);
    EXPECT_EQ(evalDate("CTOD('02/30/99')"), 0);
    EXPECT_EQ(evalDate("CTOD('13/01/99')"), 0);
    EXPECT_EQ(evalDate("CTOD('1/2')"), 0);
    EXPECT_EQ(evalDate("CTOD('1/2/3/4')"), 0);
    EXPECT_EQ(evalDate("CTOD('99999999999999/2/3')"), 0);
    EvalSettings s;
    s.epoch = 1950;
    EXPECT_EQ(evalDate("CTOD('01/01/49')", s), julianFromYmd(2049, 1, 1));
    EXPECT_EQ(evalDate("CTOD('01/01/50')", s), julianFromYmd(1950, 1, 1));
    EXPECT_EQ(evalDate("CTOD('01/01/1949')", s), julianFromYmd(1949, 1, 1));
    s.epoch = 2000;
    EXPECT_EQ(evalDate("CTOD('01/01/99')", s), julianFromYmd(2099, 1, 1));
    s.dateFormat = "dd.mm.yy";
    EXPECT_EQ(evalDate("CTOD('07.03.84')", s), julianFromYmd(2084, 3, 7));
    s.dateFormat = "yy.mm.dd";
    EXPECT_EQ(evalDate("CTOD('84.03.07')", s), julianFromYmd(2084, 3, 7));
    s.epoch = 1900;
    s.century = true;
    s.dateFormat = "mm/dd/yy";
    EXPECT_EQ(evalDate("CTOD(DTOC(BORN))", s), julianFromYmd(1984, 3, 7));
}

TEST(DateFunctions, DateIsToday) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int32_t today = julianFromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const int32_t got = evalDate("DATE()");
    EXPECT_TRUE(got == today || got == today + 1);   // midnight may pass in between
}

}  // namespace
}  // namespace xbase::test
