#pragma once
// One reading of an INI file, so that several keys read together come from
// the same version of it even while another program replaces it.

#include <optional>
#include <string>

#include "platform/ini_text.h"

namespace store {

class IniSnapshot {
public:
    // A name without "/" lies in the settings folder; the file is found
    // without regard to case; a missing or unreadable file holds no keys.
    explicit IniSnapshot(const std::string& fileName);

    // Surrounding blanks removed; the default when the key is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue = {}) const;
    // A decimal or hexadecimal whole number read as the INI layer reads
    // it, else the default.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;

private:
    platform::IniText text_;
};

}  // namespace store
