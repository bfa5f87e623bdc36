#pragma once
// The text of an INI file as lines, read and changed the way the profile
// routines do it. Lines that are neither section headers nor keys (comments,
// blank lines, anything else) are kept as they are, line endings included.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniText {
public:
    explicit IniText(std::string_view text);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::vector<std::string> keys(std::string_view section) const;
    bool hasSection(std::string_view section) const;

    void set(std::string_view section, std::string_view key, std::string_view value);
    void removeKey(std::string_view section, std::string_view key);
    void removeSection(std::string_view section);

    std::string text() const;

private:
    struct Range {
        size_t header, end;  // header line; one past the section's last line
    };
    std::optional<Range> findSection(std::string_view section) const;
    std::optional<size_t> findKey(const Range& range, std::string_view key) const;

    std::vector<std::string> lines_;  // without "\n"; a "\r" stays
    std::string eol_ = "\n";          // what new lines end with
    std::string bom_;
    bool finalEol_ = true;
};

}  // namespace platform
