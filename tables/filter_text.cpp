#include "tables/filter_text.h"

#include "tables/text_util.h"

namespace tables {

std::string joinFilterTexts(const std::vector<std::string>& texts) {
    if (texts.size() == 1) return texts.front();
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty()) joined += " .and. ";
        joined += "(" + text + ")";
    }
    return joined;
}

std::string stringLiteral(std::string_view value) {
    if (value.find('\'') == std::string_view::npos) return "'" + std::string(value) + "'";
    if (value.find('"') == std::string_view::npos) return "\"" + std::string(value) + "\"";
    // Both quote kinds: single-quoted pieces with each apostrophe added in
    // double quotes between them.
    std::string out;
    size_t start = 0;
    while (true) {
        size_t quote = value.find('\'', start);
        out += "'" + std::string(value.substr(start, quote - start)) + "'";
        if (quote == std::string_view::npos) break;
        out += "+\"'\"+";
        start = quote + 1;
    }
    return out;
}

std::string lookupFilterText(std::string_view fieldName, std::string_view value,
                             bool caseInsensitive, bool textField) {
    if (caseInsensitive && textField)
        return "Upper(" + std::string(fieldName) + ") = " + stringLiteral(upperCase(value));
    return std::string(fieldName) + " = " + stringLiteral(value);
}

}  // namespace tables
