#include "xbase/date_input.h"

#include <cctype>

#include "xbase/engine_errors.h"
#include "xbase/error.h"
#include "xbase/expr/julian.h"

namespace xbase {

int32_t parseDate(std::string_view text, std::string_view picture, int epoch) {
    if (text.find_first_not_of(' ') == std::string_view::npos) return 0;
    // Parts in the picture's order, each a run of digits between separators.
    int parts[3] = {0, 0, 0};
    int widths[3] = {0, 0, 0};
    std::size_t pos = 0;
    for (int k = 0; k < 3; ++k) {
        while (pos < text.size() && !std::isdigit(static_cast<unsigned char>(text[pos]))) ++pos;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && widths[k] < 4) {
            parts[k] = parts[k] * 10 + (text[pos] - '0');
            ++widths[k];
            ++pos;
        }
        if (widths[k] == 0) throw XbaseError(kErrValue, "not a date: " + std::string(text));
    }
    const std::size_t ypos = picture.find('y'), mpos = picture.find('m'), dpos = picture.find('d');
    auto rank = [&](std::size_t p) { return int(p > ypos) + int(p > mpos) + int(p > dpos); };
    int y = parts[rank(ypos)], m = parts[rank(mpos)], d = parts[rank(dpos)];
    if (widths[rank(ypos)] <= 2) {
        y += (epoch / 100) * 100;
        if (y < epoch) y += 100;
    }
    const int32_t jd = julianFromYmd(y, m, d);
    if (jd == 0) throw XbaseError(kErrValue, "not a date: " + std::string(text));
    return jd;
}

}  // namespace xbase
