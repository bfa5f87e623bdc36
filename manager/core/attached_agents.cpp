#include "manager/core/attached_agents.h"

#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "manager/core/row_writing.h"
#include "store/agent_name.h"
#include "store/record_ids.h"
#include "store/table_layouts.h"
#include "tables/table.h"

namespace manager {

AttachedAgents::AttachedAgents(ManagerTables& tables, store::RecordIds& ids, std::string databaseFolder)
    : tables_(tables), ids_(ids), folder_(std::move(databaseFolder))
{
}

std::string AttachedAgents::CurrentAccountId()
{
    TTable& nodes = tables_.Require("TableNodes2");
    if (nodes.Eof() && nodes.Bof())
        throw ManagerError("No account is selected.");
    return FieldText(nodes, "UNIQUE_ID");
}

int AttachedAgents::Attach(const std::string& agentName)
{
    const std::string problem = store::AgentNameProblem(agentName);
    if (!problem.empty())
        throw ManagerError(problem);
    const std::string accountId = CurrentAccountId();
    TTable& agents = tables_.Require("TableAgents2");
    const std::string id =
        ids_.UniqueClockId(agentName, 6, store::TagHolds(folder_, store::kAgentsTable, "UNIQUE_ID"));
    WriteRow(agents, RowStart::Insert, [&](TTable& row) {
        row.FieldByName("UNIQUE_ID").SetAsString(id);
        row.FieldByName("LINK_ID").SetAsString(accountId);
        row.FieldByName("AGENT").SetAsString(agentName);
    });
    return agents.RecNo();
}

void AttachedAgents::DetachCurrent()
{
    TTable& agents = tables_.Require("TableAgents2");
    if (agents.Eof() && agents.Bof())
        return;
    agents.Delete();
}

std::vector<AttachedAgent> AttachedAgents::Of(const std::string& accountId)
{
    TTable& agents = tables_.Require("TableAgents2");
    std::vector<AttachedAgent> found;
    for (agents.First(); !agents.Eof(); agents.Next())
        if (FieldText(agents, "LINK_ID") == accountId)
            found.push_back({FieldText(agents, "AGENT"), agents.RecNo()});
    return found;
}

}  // namespace manager
