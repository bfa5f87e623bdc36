#include "xbase/expr/date_text.h"

#include <ctime>
#include <vector>

#include "xbase/expr/julian.h"

namespace xbase::expr {

namespace {

struct FormatPart {
    char field = 0;        // 'y', 'm', 'd', or 0 for a literal text
    int letters = 0;
    std::string literal;
};

char lowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<FormatPart> splitFormat(std::string_view format) {
    std::vector<FormatPart> parts;
    bool hasField = false;
    for (size_t i = 0; i < format.size();) {
        const char c = lowerLetter(format[i]);
        if (c == 'y' || c == 'm' || c == 'd') {
            FormatPart p;
            p.field = c;
            while (i < format.size() && lowerLetter(format[i]) == c) ++i, ++p.letters;
            parts.push_back(p);
            hasField = true;
        } else {
            if (parts.empty() || parts.back().field != 0) parts.emplace_back();
            parts.back().literal += format[i++];
        }
    }
    return hasField ? parts : splitFormat("mm/dd/yy");
}

void appendNumber(std::string& out, int value, int digits) {
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
    out += s;
}

}  // namespace

std::string formatDtoc(int32_t julian, const EvalSettings& settings) {
    int y = 0, m = 0, d = 0;
    ymdFromJulian(julian, y, m, d);
    std::string out;
    for (const FormatPart& p : splitFormat(settings.dateFormat)) {
        if (p.field == 0) {
            out += p.literal;
            continue;
        }
        const bool fourDigits = p.field == 'y' && (settings.century || p.letters >= 4);
        const int digits = fourDigits ? 4 : 2;
        if (y == 0) {
            out.append(digits, ' ');
        } else if (p.field == 'y') {
            appendNumber(out, fourDigits ? y : y % 100, digits);
        } else {
            appendNumber(out, p.field == 'm' ? m : d, p.letters >= 2 ? 2 : 1);
        }
    }
    return out;
}

int32_t parseCtod(std::string_view text, const EvalSettings& settings) {
    std::vector<int> numbers, lengths;
    for (size_t i = 0; i < text.size();) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        long v = 0;
        int n = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++n)
            if (v < 100000) v = v * 10 + (text[i] - '0');
        numbers.push_back(static_cast<int>(v));
        lengths.push_back(n);
    }
    if (numbers.size() != 3) return 0;
    int y = 0, m = 0, d = 0, yearLength = 0, k = 0;
    for (const FormatPart& p : splitFormat(settings.dateFormat)) {
        if (p.field == 0 || k >= 3) continue;
        if (p.field == 'y') y = numbers[k], yearLength = lengths[k];
        if (p.field == 'm') m = numbers[k];
        if (p.field == 'd') d = numbers[k];
        ++k;
    }
    if (yearLength <= 2) {
        const int epoch = settings.epoch;
        y += epoch / 100 * 100;
        if (y < epoch) y += 100;
    }
    return julianFromYmd(y, m, d);
}

int32_t today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return julianFromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace xbase::expr
