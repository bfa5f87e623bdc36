#pragma once
// Julian day numbers: how date fields, date index keys and date expressions
// hold a calendar day. 0 stands for the empty date.

#include <cstdint>
#include <string>
#include <string_view>

namespace xbase {

// Proleptic Gregorian calendar, years 1 to 9999. An impossible date
// (month 13, 30 February, year 0) gives 0, the empty date.
int32_t julianFromYmd(int y, int m, int d);

// The calendar day of a Julian day number; 0 (or anything before year 1)
// gives y = m = d = 0.
void ymdFromJulian(int32_t jd, int& y, int& m, int& d);

// "yyyymmdd" as a DBF date field stores it; eight blanks (or anything that
// is not a real date) give 0.
int32_t julianFromDateText(std::string_view text);

// The "yyyymmdd" text of a day; 0 gives eight blanks.
std::string dateTextFromJulian(int32_t jd);

}  // namespace xbase
