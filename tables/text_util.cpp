#include "tables/text_util.h"

#include <cctype>

namespace tables {

std::string upperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool sameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && upperCase(a) == upperCase(b);
}

std::string trimRight(std::string_view text) {
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
    return std::string(text.substr(0, end));
}

std::string trimLeft(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && text[begin] == ' ') ++begin;
    return std::string(text.substr(begin));
}

std::string fileNamePart(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string withoutExtension(std::string_view name) {
    std::string file = fileNamePart(name);
    size_t dot = file.rfind('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

std::string extensionOf(std::string_view name) {
    std::string file = fileNamePart(name);
    size_t dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : file.substr(dot);
}

}  // namespace tables
