#include "tables/short_date.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "tables/db_errors.h"

namespace tables {

namespace {

struct DateFormatState {
    std::string format = "mm/dd/yy";
    char separator = '/';
};

DateFormatState& state() {
    static DateFormatState s;
    return s;
}

// The order of day, month and year in the format: 'd', 'm', 'y'.
std::string partOrder(const std::string& format) {
    std::string order;
    for (char c : format) {
        char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if ((lower == 'd' || lower == 'm' || lower == 'y') && order.find(lower) == std::string::npos)
            order += lower;
    }
    return order.size() == 3 ? order : "mdy";
}

[[noreturn]] void notADate(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid date");
}

}  // namespace

const std::string& shortDateFormat() { return state().format; }
char dateSeparator() { return state().separator; }

void setShortDateFormat(std::string format, char separator) {
    state().format = std::move(format);
    state().separator = separator;
}

std::string dateToText(TDateTime value) {
    int year = 0, month = 0, day = 0;
    platform::DecodeDate(value, year, month, day);
    const std::string& format = state().format;
    std::string out;
    for (size_t i = 0; i < format.size();) {
        char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
        size_t run = 1;
        while (i + run < format.size() &&
               std::tolower(static_cast<unsigned char>(format[i + run])) == lower)
            ++run;
        char buf[16];
        if (lower == 'y') {
            if (run >= 4) std::snprintf(buf, sizeof buf, "%04d", year);
            else std::snprintf(buf, sizeof buf, "%02d", year % 100);
            out += buf;
        } else if (lower == 'm' || lower == 'd') {
            int part = lower == 'm' ? month : day;
            std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", part);
            out += buf;
        } else if (format[i] == '/') {
            out.append(run, state().separator);
        } else {
            out.append(format, i, run);
        }
        i += run;
    }
    return out;
}

TDateTime textToDate(std::string_view text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) parts.back() += c;
        else if (c == state().separator || c == '/' || c == '.' || c == '-') parts.emplace_back();
        else if (c != ' ') notADate(text);
    }
    if (parts.size() != 3) notADate(text);
    int values[3] = {0, 0, 0};
    std::string yearDigits;
    std::string order = partOrder(state().format);
    for (int i = 0; i < 3; ++i) {
        if (parts[i].empty() || parts[i].size() > 4) notADate(text);
        int v = std::stoi(parts[i]);
        if (order[i] == 'y') {
            yearDigits = parts[i];
            values[2] = v;
        } else {
            values[order[i] == 'm' ? 0 : 1] = v;
        }
    }
    int year = values[2];
    if (yearDigits.size() <= 2) year = platform::ExpandTwoDigitYear(year);
    TDateTime out = 0;
    if (!platform::TryEncodeDate(year, values[0], values[1], out)) notADate(text);
    return out;
}

}  // namespace tables
