#include "tables/error_report.h"

#include <cstdio>

namespace tables {

namespace {
ErrorReporter& installed() {
    static ErrorReporter reporter;
    return reporter;
}
}  // namespace

ErrorReporter setErrorReporter(ErrorReporter reporter) {
    ErrorReporter previous = std::move(installed());
    installed() = std::move(reporter);
    return previous;
}

void reportError(const std::string& text) {
    if (installed()) {
        installed()(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace tables
