#pragma once
// The names of the agents whose files lie in the agents folder (the file
// name without ".agent"), sorted: what the agent picker offers while the
// Agents tab's list is empty.

#include <string>
#include <vector>

namespace manager {

std::vector<std::string> AgentFileNames(const std::string& agentsFolder);

}  // namespace manager
