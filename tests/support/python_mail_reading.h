#pragma once
// What an independent reader makes of a mail file: Python's email package
// with its default policy (mail_reading.py, run with /usr/bin/python3).

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

struct PythonMailReading {
    struct Address {
        std::string name, address;
        bool operator==(const Address&) const = default;
    };
    struct Part {
        std::string name, sha256;
        std::size_t size = 0;
    };
    std::optional<std::string> subject;
    std::vector<Address> from, to, cc;
    std::optional<std::string> text;  // the first part when it is the text
    std::string textCharSet;
    std::vector<Part> parts;
    // Every header as the default policy reads it, names in lower case,
    // runs of blanks made one.
    std::vector<std::pair<std::string, std::string>> fields;
    bool headerAscii = false;       // every byte of the header block is ASCII
    std::size_t longestLine = 0;    // in bytes, without the line break
    std::vector<std::string> unsound;  // fields read with a defect or bytes that are no text
    std::string output;             // what the script printed, for failure messages
};

// Throws std::runtime_error when the script cannot run or fails.
PythonMailReading readMailWithPython(const std::string& path);
// The value of the first header of that name (lower case); "" when absent.
std::string fieldOf(const PythonMailReading& reading, const std::string& name);

// One line for every value Python reads soundly from the original that it
// does not read the same from the written file, and for a written header
// line that is not ASCII or a written line longer than 998 characters;
// empty when they agree.
std::string differencesSeenByPython(const std::string& original, const std::string& written);

}  // namespace test_support
