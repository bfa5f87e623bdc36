#include "manager/core/agent_commands.h"

#include <unistd.h>

#include <cstdio>

#include "manager/core/listed_files.h"
#include "manager/core/manager_error.h"
#include "platform/files.h"
#include "store/agent_file.h"
#include "store/agent_name.h"

namespace manager {

std::string AgentFilePath(const std::string& agentsFolder, const std::string& name)
{
    store::CheckAgentName(name);
    return agentsFolder + name + kAgentExtension;
}

bool AgentNameTaken(const std::string& agentsFolder, const std::string& name)
{
    return platform::FindIgnoreCase(AgentFilePath(agentsFolder, name)).has_value();
}

void WriteNewAgent(const std::string& agentsFolder, const std::string& name, const std::string& kind,
                   const AgentLists& lists, TDateTime now)
{
    const std::string path = AgentFilePath(agentsFolder, name);
    const auto existing = platform::FindIgnoreCase(path);
    if (!existing) {
        store::WriteAgentFile(path, kind, TriggersFromLists(lists), ActionsFromLists(lists), now);
        return;
    }
    // Built aside under a hidden name the lists never show, then moved over
    // the old file: the processor reads the old agent or the new, never a mix.
    const std::string aside = agentsFolder + ".new-agent-" + std::to_string(getpid());
    std::remove(aside.c_str());
    try {
        store::WriteAgentFile(aside, kind, TriggersFromLists(lists), ActionsFromLists(lists), now);
        if (std::rename(aside.c_str(), existing->c_str()) != 0)
            throw ManagerError("Unable to write to " + *existing);
    } catch (...) {
        std::remove(aside.c_str());
        throw;
    }
}

AgentLists LoadAgentLists(const std::string& path)
{
    const store::AgentDefinition agent = store::LoadAgentFile(path);
    return ListsFromAgent(agent.triggers, agent.actions);
}

void SaveAgentLists(const std::string& path, const AgentLists& lists, TDateTime now)
{
    store::WriteAgentFile(path, store::kMessageAgent, TriggersFromLists(lists), ActionsFromLists(lists), now);
}

}  // namespace manager
