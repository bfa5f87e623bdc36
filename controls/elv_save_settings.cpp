#include "controls/elv_save_settings.h"

#include <algorithm>

#include "platform/ini_file.h"

namespace column_layout {

namespace {

std::string sectionOf(const std::string& registryKey) { return registryKey + "\\Columns"; }

int numberOr0(const std::string& text)
{
    int value = 0;
    return platform::ParseIniInteger(text, value) ? value : 0;
}

}  // namespace

std::string FormatList(const std::vector<int>& values)
{
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(values[i]);
    }
    return text;
}

std::vector<int> ParseList(const std::string& text, const std::vector<int>& current)
{
    std::vector<int> values = current;
    std::size_t at = 0;
    for (std::size_t i = 0; i < values.size() && at <= text.size(); ++i) {
        const std::size_t comma = text.find(',', at);
        const std::size_t end = comma == std::string::npos ? text.size() : comma;
        values[i] = numberOr0(text.substr(at, end - at));
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    return values;
}

bool IsArrangement(const std::vector<int>& order)
{
    std::vector<bool> seen(order.size(), false);
    for (int column : order) {
        if (column < 0 || static_cast<std::size_t>(column) >= order.size() || seen[column])
            return false;
        seen[column] = true;
    }
    return true;
}

std::optional<std::string> Read(const std::string& registryKey, const std::string& name)
{
    const std::string value = platform::IniFile(kFileName).ReadString(sectionOf(registryKey), name, "");
    if (value.empty())
        return std::nullopt;
    return value;
}

void Write(const std::string& registryKey, const std::optional<std::string>& order,
           const std::optional<std::string>& sizes)
{
    std::vector<platform::IniWrite> writes;
    if (order)
        writes.push_back({sectionOf(registryKey), "Order", *order});
    if (sizes)
        writes.push_back({sectionOf(registryKey), "Sizes", *sizes});
    if (!writes.empty())
        platform::IniFile(kFileName).WriteValues(writes);
}

}  // namespace column_layout
