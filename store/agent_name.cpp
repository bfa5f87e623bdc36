#include "store/agent_name.h"

#include "store/store_error.h"
#include "store/table_layouts.h"

namespace store {

std::string AgentNameProblem(std::string_view name)
{
    if (name.empty())
        return "Please enter a name for the agent.";
    if (name == "." || name == "..")
        return "\"" + std::string(name) + "\" cannot be used as an agent name.";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || c == '?' || u < 0x20 || u == 0x7F)
            return "An agent name cannot contain \"/\", \"\\\", \"?\" or control characters.";
    }
    if (name.front() == ' ' || name.back() == ' ')
        return "An agent name cannot begin or end with a blank.";
    if (name.size() > static_cast<size_t>(kAgentNameWidth))
        return "An agent name can have at most " + std::to_string(kAgentNameWidth) + " characters.";
    return {};
}

void CheckAgentName(std::string_view name)
{
    const std::string problem = AgentNameProblem(name);
    if (!problem.empty())
        throw StoreError(problem);
}

}  // namespace store
