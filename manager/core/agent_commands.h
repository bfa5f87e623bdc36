#pragma once
// What the new-agent and change-agent commands write: an agent file built
// from the dialogs' lists, in the agents folder, under a checked name.

#include <string>

#include "manager/core/agent_lists.h"
#include "platform/datetime.h"

namespace manager {

// AgentsFolder + name + ".agent"; throws store::StoreError with the reason
// when the name cannot be an agent's name.
std::string AgentFilePath(const std::string& agentsFolder, const std::string& name);

// Whether an agent of this name (in any case) has a file already.
bool AgentNameTaken(const std::string& agentsFolder, const std::string& name);

// Writes the wizard's agent. An existing file of that name is replaced
// whole, so the agent is exactly what the wizard made; the caller asks first.
void WriteNewAgent(const std::string& agentsFolder, const std::string& name, const std::string& kind,
                   const AgentLists& lists, TDateTime now);

// The properties dialog's lists of an agent file: empty unless it is a
// "MESSAGE" agent.
AgentLists LoadAgentLists(const std::string& path);

// Writes the changed agent into its file as a "MESSAGE" agent, key by key;
// entries past the new counts stay.
void SaveAgentLists(const std::string& path, const AgentLists& lists, TDateTime now);

}  // namespace manager
