#include "manager/core/agent_rename.h"

#include <vector>

#include "manager/core/listed_files.h"
#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "manager/core/row_writing.h"
#include "platform/files.h"
#include "store/agent_name.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace manager {

namespace {

std::string agentNameOf(const std::string& fileName)
{
    const std::string extension = kAgentExtension;
    if (fileName.size() < extension.size() ||
        fileName.compare(fileName.size() - extension.size(), extension.size(), extension) != 0)
        throw ManagerError(kAgentRenameFailure);
    return fileName.substr(0, fileName.size() - extension.size());
}

// Gathered before any is written, so that the walk never meets a row twice.
std::vector<int> rowsNaming(TTable& agents, const std::string& name)
{
    std::vector<int> rows;
    for (agents.First(); !agents.Eof(); agents.Next())
        if (FieldText(agents, "AGENT") == name)
            rows.push_back(agents.RecNo());
    return rows;
}

void nameRow(ManagerTables& tables, int recNo, const std::string& name)
{
    tables.Apollo("ApolloAgents2").GoToRecord(recNo);
    TTable& agents = tables.Table("TableAgents2");
    if (agents.RecNo() != recNo)
        throw ManagerError(kAgentRenameFailure);
    WriteRow(agents, RowStart::Edit, [&](TTable& row) { row.FieldByName("AGENT").SetAsString(name); });
}

}  // namespace

RenamedAgent RenameAgent(ManagerTables& tables, const std::string& agentsFolder, const std::string& fileName,
                         const std::string& newName)
{
    const std::string oldName = agentNameOf(fileName);
    if (newName == oldName)
        return {fileName, 0};
    const std::string problem = store::AgentNameProblem(newName);
    if (!problem.empty())
        throw ManagerError(problem);
    // Without the table the rows could not follow: the file stays too.
    TTable& agents = tables.Require("TableAgents2");
    const int selected = agents.RecNo();
    const std::vector<int> rows = rowsNaming(agents, oldName);

    RenamedAgent renamed{RenameListedFile(agentsFolder, fileName, newName, kAgentExtension, kAgentRenameFailure),
                         0};
    try {
        for (const int row : rows) {
            nameRow(tables, row, newName);
            ++renamed.rows;
        }
    } catch (const std::exception&) {
        // Best effort back to where it was: the rows written, then the file.
        for (int i = 0; i < renamed.rows; ++i) {
            try {
                nameRow(tables, rows[static_cast<std::size_t>(i)], oldName);
            } catch (const std::exception&) {
            }
        }
        try {
            platform::RenameNoReplace(agentsFolder + renamed.fileName, agentsFolder + fileName);
        } catch (const std::exception&) {
        }
        if (selected > 0)
            tables.Apollo("ApolloAgents2").GoToRecord(selected);
        throw ManagerError(kAgentRenameFailure);
    }
    if (selected > 0)
        tables.Apollo("ApolloAgents2").GoToRecord(selected);
    return renamed;
}

}  // namespace manager
