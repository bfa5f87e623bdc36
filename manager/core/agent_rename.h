#pragma once
// Renaming an agent: its file in the agents folder and every attached-agent
// row that names it, so the accounts that ran it go on running it under its
// new name. Either both change or neither does.

#include <string>

namespace manager {

class ManagerTables;

inline constexpr const char* kAgentRenameFailure = "Unable to rename agent";

struct RenamedAgent {
    std::string fileName;  // the agent's file name now
    int rows = 0;          // attached-agent rows that now name it
};

// Renames the listed file `fileName` of `agentsFolder` to newName +
// ".agent", never over another agent's file, then sets AGENT to newName in
// every Agents.dbf row whose AGENT is the old name as the agent processor
// reads it (exactly, less the field's padding). A row that cannot be written
// puts the rows already written and the file back. Throws ManagerError: the
// name check's reason for a refused name, else kAgentRenameFailure.
// TableAgents2 is left on the row it stood on.
RenamedAgent RenameAgent(ManagerTables& tables, const std::string& agentsFolder, const std::string& fileName,
                         const std::string& newName);

}  // namespace manager
