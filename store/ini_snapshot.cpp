#include "store/ini_snapshot.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_file.h"
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
    int value = defaultValue;
    platform::ParseIniInteger(ReadString(section, key), value);
    return value;
}

}  // namespace store
