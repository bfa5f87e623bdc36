#include "store/ini_batch.h"

namespace store {

void IniBatch::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    writes_.push_back({section, key, value});
}

void IniBatch::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniBatch::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void IniBatch::Apply(const std::string& fileName) const
{
    platform::IniFile(fileName).WriteValues(writes_);
}

}  // namespace store
