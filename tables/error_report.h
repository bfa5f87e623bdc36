#pragma once
// Where the table layer's error message boxes go. A windowed program installs
// a reporter that shows a message box; the processors log a line. With none
// installed the text goes to standard error. Reporting never stops the
// operation that reports.

#include <functional>
#include <string>

namespace tables {

using ErrorReporter = std::function<void(const std::string& text)>;

// Installs the reporter (an empty function restores standard error) and
// gives back the previous one.
ErrorReporter setErrorReporter(ErrorReporter reporter);
void reportError(const std::string& text);

}  // namespace tables
