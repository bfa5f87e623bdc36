#pragma once
// The system's date-time type: a day count from 1899-12-30 with the time of
// day as the fraction. One formatting routine serves every format text the
// programs use; one pivot rule reads every two-digit year.

#include <string>
#include <string_view>

using TDateTime = double;

namespace platform {

// Valid dates and times only; Try* give false instead of throwing.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
TDateTime EncodeDate(int year, int month, int day);  // throws std::invalid_argument
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

TDateTime Now();   // local time
TDateTime Date();  // today, midnight

// 51..99 -> 1951..1999, 0..50 -> 2000..2050 (the mail date parser's window).
int ExpandTwoDigitYear(int year);

// Format text as the programs use it: "yyyymmddhhmmss", "mm/dd/yy", "hh:mm",
// "hh:nn:ss", quoted literals '...' and "...", and the other codes of the
// FORMATDATETIME merge code (d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn
// s ss z zzz am/pm a/p ampm c t tt ddddd dddddd / :).
std::string FormatDateTime(std::string_view format, TDateTime value);

// The fixed short date "mm/dd/yy", long time "hh:nn:ss" and both together.
std::string DateToStr(TDateTime value);
std::string TimeToStr(TDateTime value);
std::string DateTimeToStr(TDateTime value);

// "mm/dd/yy" or "mm/dd/yyyy" (two-digit years through ExpandTwoDigitYear);
// "hh:mm" or "hh:mm:ss", either optionally followed at once by "AM" or "PM"
// (any case; the hour then 1 to 12). Try* give false on text that does not parse.
bool TryStrToDate(std::string_view text, TDateTime& out);
TDateTime StrToDate(std::string_view text);  // throws std::invalid_argument
bool TryStrToTime(std::string_view text, TDateTime& out);
TDateTime StrToTime(std::string_view text);  // throws std::invalid_argument

// A date as above, optionally followed by blanks and a time as above (the
// polling schedule's "mm/dd/yy hh:mm"); a date alone is that day's midnight.
bool TryStrToDateTime(std::string_view text, TDateTime& out);
TDateTime StrToDateTime(std::string_view text);  // throws std::invalid_argument

}  // namespace platform
