#include "store/ini_snapshot.h"

#include <charconv>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace store {

namespace {

std::string load(const std::string& fileName)
{
    const std::string path = fileName.find('/') == std::string::npos ? platform::ConfigDir() + fileName : fileName;
    const auto existing = platform::FindIgnoreCase(path);
    if (!existing)
        return {};
    try {
        return platform::ReadWholeFile(*existing);
    } catch (const platform::FileError&) {
        return {};
    }
}

}  // namespace

IniSnapshot::IniSnapshot(const std::string& fileName) : text_(load(fileName)) {}

std::string IniSnapshot::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const
{
    auto value = text_.value(section, key);
    return value ? *value : defaultValue;
}

int IniSnapshot::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const
{
    const std::string value = ReadString(section, key);
    int n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    return error == std::errc() && end == value.data() + value.size() && !value.empty() ? n : defaultValue;
}

}  // namespace store
