#include "manager/core/agent_file_names.h"

#include <algorithm>

#include "platform/files.h"

namespace manager {

std::vector<std::string> AgentFileNames(const std::string& agentsFolder)
{
    static constexpr std::string_view kExtension = ".agent";
    std::vector<std::string> names;
    for (const std::string& file : platform::FindFiles(agentsFolder, "*.agent")) {
        const std::string base = file.substr(file.find_last_of('/') + 1);
        if (base.size() > kExtension.size())
            names.push_back(base.substr(0, base.size() - kExtension.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace manager
