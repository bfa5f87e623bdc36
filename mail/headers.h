#pragma once
// The raw header lines of a message, in file order, with the lookups by
// field name the whole system uses (names compared without regard to case).

#include <string>
#include <string_view>
#include <vector>

class TmsHeaders {
public:
    using Lines = std::vector<std::string>;

    TmsHeaders() = default;
    explicit TmsHeaders(Lines lines) : lines_(std::move(lines)) {}

    // String-list access.
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int index) const { return lines_.at(static_cast<std::size_t>(index)); }
    std::string& operator[](int index) { return lines_.at(static_cast<std::size_t>(index)); }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Insert(int index, std::string line);
    void Delete(int index);
    void Clear() { lines_.clear(); }
    const Lines& lines() const { return lines_; }
    Lines& lines() { return lines_; }
    void Assign(const TmsHeaders& source) { lines_ = source.lines_; }
    // Loads the lines of a text (CR LF, LF or CR breaks).
    void SetText(std::string_view text);

    // The unfolded, decoded value of the first field of that name (at most
    // 255 bytes); Content-Type and X-UIDL come back undecoded and uncut.
    std::string GetFieldValue(std::string_view name) const;
    // The unfolded value as it stands: not decoded, not cut.
    std::string GetRawFieldValue(std::string_view name) const;
    // Every comma-separated item of every field of that name, decoded.
    void GetFieldList(std::string_view name, std::vector<std::string>& list) const;
    std::vector<std::string> GetFieldList(std::string_view name) const;
    // Deletes the first field of that name with its continuation lines.
    void RemoveField(std::string_view name);
    // Deletes the first empty line and everything after it.
    void CutAtBlankLine();
    // True when a line holds the text, as it stands or once decoded to UTF-8.
    bool ContainsText(std::string_view text, bool caseSensitive) const;

private:
    Lines lines_;
};

namespace mail {

// True when the line is a field of that name ("name:" at its start, any case).
bool headerLineMatches(std::string_view line, std::string_view name);

// Decoded header text made safe to store: CR, LF and NUL become blanks.
std::string blankControlBreaks(std::string text);

// Splits text into lines at CR LF, LF or CR; a final line without a break
// counts, a final break does not start a further line.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace mail
