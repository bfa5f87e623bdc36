#include "retriever/core/conversion.h"

#include <cerrno>
#include <cstdlib>

namespace retriever {

std::string TrimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    return TrimRight(text.substr(start));
}

std::string UpperCase(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

long long WholeNumber(std::string_view text)
{
    const std::string trimmed = Trim(text);
    const std::size_t digits = !trimmed.empty() && (trimmed[0] == '-' || trimmed[0] == '+') ? 1 : 0;
    bool valid = trimmed.size() > digits;
    for (std::size_t i = digits; valid && i < trimmed.size(); ++i)
        valid = trimmed[i] >= '0' && trimmed[i] <= '9';
    if (valid) {
        errno = 0;
        const long long value = std::strtoll(trimmed.c_str(), nullptr, 10);
        if (errno != ERANGE)
            return value;
    }
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

TDateTime DateAndTime(std::string_view dateText, std::string_view timeText)
{
    TDateTime date = 0;
    TDateTime time = 0;
    const std::string trimmedDate = Trim(dateText);
    const std::string trimmedTime = Trim(timeText);
    if (!platform::TryStrToDate(trimmedDate, date) || !platform::TryStrToTime(trimmedTime, time))
        throw ConversionError("'" + trimmedDate + " " + trimmedTime + "' is not a valid date and time");
    // Dates before 1899-12-30 count backwards; the time still adds forward.
    return date < 0 ? date - time : date + time;
}

}  // namespace retriever
