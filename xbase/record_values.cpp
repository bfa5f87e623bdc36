#include "xbase/record_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "xbase/engine_errors.h"
#include "xbase/error.h"
#include "xbase/expr/julian.h"

namespace xbase {

Value fieldValue(const FieldDef& f, const std::string& record, const std::function<std::string(const FieldDef&)>& memoText) {
    const std::size_t off = static_cast<std::size_t>(f.offset);
    const std::string raw = off < record.size() ? record.substr(off, static_cast<std::size_t>(f.width)) : std::string();
    switch (f.type) {
    case 'N':
    case 'F': {
        const std::string t = raw;
        char* end = nullptr;
        const double d = std::strtod(t.c_str(), &end);
        return Value::numeric(std::isfinite(d) ? d : 0.0);
    }
    case 'D': return Value::date(julianFromDateText(raw));
    case 'L': return Value::boolean(!raw.empty() && (raw[0] == 'T' || raw[0] == 't' || raw[0] == 'Y' || raw[0] == 'y'));
    case 'M': return Value::character(memoText ? memoText(f) : std::string());
    default: return Value::character(raw);
    }
}

std::string formatNumber(double value, int width, int decimals) {
    if (!std::isfinite(value)) throw XbaseError(kErrValue, "not a number");
    char buf[400];
    for (int dec = decimals; dec >= 0; --dec) {
        if (std::fabs(value) >= 1e300) break;
        if (width > 0) {
            // The digits printf's "%.*f" gives, right-aligned, without printf's machinery.
            const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, dec);
            const auto n = static_cast<std::size_t>(end - buf);
            if (ec != std::errc() || n > static_cast<std::size_t>(width)) continue;
            std::string s(static_cast<std::size_t>(width) - n, ' ');
            s.append(buf, n);
            return s;
        }
        std::snprintf(buf, sizeof buf, "%*.*f", width, dec, value);
        const std::string s(buf);
        if (s.size() <= static_cast<std::size_t>(width)) return s;
    }
    throw XbaseError(kErrValue, "number does not fit a field of width " + std::to_string(width));
}

Value RecordView::field(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= fields_.size()) throw XbaseError(kErrNoField, "no such field");
    const FieldDef& f = fields_[static_cast<std::size_t>(index)];
    return fieldValue(f, record_, [this](const FieldDef& fd) { return memo_ ? memo_(fd, record_) : std::string(); });
}

}  // namespace xbase
