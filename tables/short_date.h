#pragma once
// The program's short date format, with which the table class turns date
// fields into text and back. It is "mm/dd/yy" unless the engine settings
// component changes it; two-digit years are read with the system's one pivot
// rule, so every program reads a date text back as the same day.

#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace tables {

const std::string& shortDateFormat();
char dateSeparator();
void setShortDateFormat(std::string format, char separator);

std::string dateToText(TDateTime value);
// Throws EConvertError when the text is not a date in the format.
TDateTime textToDate(std::string_view text);

}  // namespace tables
