#include "xbase/expr/text_rules.h"

#include <cstring>

namespace xbase::expr {

namespace {
int compareBytes(std::string_view a, std::string_view b, size_t n) {
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
}  // namespace

int compareText(std::string_view left, std::string_view right, bool exact) {
    if (!exact) {
        if (right.empty()) return 0;
        const size_t n = left.size() < right.size() ? left.size() : right.size();
        const int c = compareBytes(left, right, n);
        if (c != 0) return c;
        return left.size() >= right.size() ? 0 : -1;
    }
    left = trimRight(left);
    right = trimRight(right);
    const size_t n = left.size() < right.size() ? left.size() : right.size();
    const int c = compareBytes(left, right, n);
    if (c != 0 || left.size() == right.size()) return c;
    // The shorter side counts as blanks from here on.
    const std::string_view longer = left.size() > right.size() ? left : right;
    const int sign = left.size() > right.size() ? 1 : -1;
    for (size_t i = n; i < longer.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(longer[i]);
        if (c != ' ') return c > ' ' ? sign : -sign;
    }
    return 0;
}

bool containsText(std::string_view needle, std::string_view haystack) {
    return !needle.empty() && haystack.find(needle) != std::string_view::npos;
}

std::string_view trimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && s[n - 1] == ' ') --n;
    return s.substr(0, n);
}

std::string_view trimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

void upperInPlace(std::string& s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

void lowerInPlace(std::string& s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

bool blankText(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
    return true;
}

}  // namespace xbase::expr
