#pragma once
// Settings and agent files in INI form, with the profile semantics the
// programs were written against: section and key names compared without
// regard to case, the first section and the first key of a name win, a
// written key replaces its value in place or is appended to its section
// (the section to the end of the file), every other line is kept.
//
// Nothing is cached: every read looks at the file as it is now. Every write
// is a read-modify-write under an exclusive lock on the file, and the new
// text replaces the file atomically, so readers never see half a file and
// two programs writing different keys lose neither.

#include <string>
#include <vector>

namespace platform {

// One "key=value" of a batch write.
struct IniWrite {
    std::string section, key, value;
};

class IniFile {
public:
    // A name without a folder ("tarsel.ini") lies in ConfigDir(). When the
    // file does not exist as spelled, an existing file whose name differs
    // only in case is used instead.
    explicit IniFile(const std::string& fileName);

    const std::string& FileName() const { return path_; }

    // Values are read with surrounding blanks removed but quotes kept, so a
    // quoted command line reads back as written; a missing file, section or
    // key gives the default.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // A decimal or hexadecimal ("0x1F", "$1F") whole number, else the default.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    // True when the value reads as a non-zero integer; no number gives the default.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    // Writes "key=value" ("key=" for an empty value). Throws IniFileError
    // "Unable to write to <file>" when the file cannot be written, or when a
    // name or value would break the file's lines (line breaks, "=" or "]"
    // in names).
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);  // "1" / "0"
    // Writes every key in one read-modify-write (in order, so a later write
    // of a key wins): a reader sees the file with all of them or none. Every
    // name and value is checked first; a bad one writes nothing.
    void WriteValues(const std::vector<IniWrite>& writes);

    // Key names of a section in file order (first of each name), empty when
    // the section is missing.
    std::vector<std::string> ReadSection(const std::string& section) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    void DeleteKey(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);  // header and all its lines

private:
    std::string existingPath() const;
    std::string load() const;

    std::string path_;
};

// An INI integer as ReadInteger reads it: optional sign, then decimal digits
// or "0x"/"$" and hexadecimal digits, the whole text (blanks around it
// aside) within the range of int. False, and `out` untouched, otherwise.
bool ParseIniInteger(const std::string& text, int& out);

}  // namespace platform
