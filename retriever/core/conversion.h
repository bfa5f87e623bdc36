#pragma once
// Reading the numbers, dates and times of the retriever's table rows. A
// value that does not convert raises ConversionError with the text the
// user sees in the log.

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/datetime.h"

namespace retriever {

class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A whole number, blanks around it allowed: "'x' is not a valid integer value".
long long WholeNumber(std::string_view text);
// A date "mm/dd/yy" and a time "hh:mm" together:
// "'<date> <time>' is not a valid date and time".
TDateTime DateAndTime(std::string_view dateText, std::string_view timeText);

// The text without the blanks a fixed-width field pads it with.
std::string TrimRight(std::string_view text);
// Blanks on both sides removed.
std::string Trim(std::string_view text);
// ASCII letters in upper case; other bytes as they are.
std::string UpperCase(std::string_view text);

}  // namespace retriever
