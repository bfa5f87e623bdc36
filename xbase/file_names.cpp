#include "xbase/file_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cctype>
#include <memory>

namespace xbase {

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The entry of folder named like name ignoring case.
std::optional<std::string> matchInFolder(const std::string& folder, const std::string& name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
    if (!dir) return std::nullopt;
    while (const dirent* e = ::readdir(dir.get())) {
        if (equalsIgnoringCase(e->d_name, name)) return std::string(e->d_name);
    }
    return std::nullopt;
}

}  // namespace

std::string upperCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

std::optional<std::string> findIgnoringCase(const std::string& path) {
    if (path.empty()) return std::nullopt;
    if (exists(path)) return path;
    // Walk the components, matching each one that does not exist as spelt.
    std::string resolved = path[0] == '/' ? "/" : "";
    std::size_t pos = path[0] == '/' ? 1 : 0;
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos) slash = path.size();
        const std::string part = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty()) continue;
        std::string candidate = resolved + part;
        if (!exists(candidate)) {
            auto match = matchInFolder(resolved, part);
            if (!match) return std::nullopt;
            candidate = resolved + *match;
        }
        resolved = candidate;
        if (slash < path.size()) resolved += '/';
    }
    return resolved;
}

std::string withExtension(const std::string& path, const std::string& extension) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasDot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasDot ? path.substr(0, dot) : path) + extension;
}

std::string siblingPath(const std::string& path, const std::string& lowerExtension) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasDot = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    bool upper = false;
    if (hasDot && dot + 1 < path.size()) upper = std::isupper(static_cast<unsigned char>(path[dot + 1])) != 0;
    return withExtension(path, upper ? upperCase(lowerExtension) : lowerExtension);
}

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace xbase
