#include "tools/demo_setup/demo_rows.h"

#include <stdexcept>

#include "platform/datetime.h"
#include "store/record_ids.h"
#include "store/restriction_row.h"
#include "store/table_layouts.h"
#include "tables/apollo.h"
#include "tables/apollo_env.h"
#include "tables/data_source.h"
#include "tables/table.h"

namespace demo {
namespace {

// One table of the data folder, opened shared with its companion.
struct OpenTable {
    TTable table;
    TDataSource source{&table};
    TApollo apollo;
    OpenTable(const std::string& folder, const char* file)
    {
        table.DatabaseName = folder;
        table.TableName = file;
        table.TableType = ttSXFOX;
        apollo.SetDataSource(&source);
        table.Open();
    }
};

std::string firstOrganisation(const std::string& folder)
{
    OpenTable orgs(folder, store::kOrgsTable);
    orgs.table.First();
    if (orgs.table.Eof())
        throw std::runtime_error("the organisation table of " + folder + " is empty");
    return orgs.table.FieldByName("UNIQUE_ID").AsString();
}

std::string addFolderRow(const std::string& folder, store::RecordIds& ids, const std::string& orgId)
{
    const std::string name = "Demo";
    const std::string id = ids.FolderId(name);
    OpenTable groups(folder, store::kGroupsTable);
    groups.table.Append();
    groups.table.FieldByName("UNIQUE_ID").SetAsString(id);
    groups.table.FieldByName("LINK_ID").SetAsString(orgId);
    groups.table.FieldByName("GROUP").SetAsString(name);
    groups.table.FieldByName("NOTES").SetAsString(name);
    groups.table.FieldByName("CREATEON").SetAsDateTime(platform::Date());
    groups.table.Post();
    return id;
}

void addAccountRow(const std::string& folder, const std::string& id, const std::string& groupId,
                   const DemoAccount& account)
{
    // Due at once: the next poll lies at the start of today.
    OpenTable nodes(folder, store::kNodesTable);
    TTable& t = nodes.table;
    t.Append();
    t.FieldByName("UNIQUE_ID").SetAsString(id);
    t.FieldByName("LINK_ID").SetAsString(groupId);
    t.FieldByName("NODE").SetAsString(account.name);
    t.FieldByName("ADDRESS").SetAsString(account.address);
    t.FieldByName("LOGIN").SetAsString(account.login);
    t.FieldByName("PASSWORD").SetAsString(account.password);
    t.FieldByName("POPADDRESS").SetAsString(account.popServer);
    t.FieldByName("SMTPADDRES").SetAsString(account.smtpServer);
    t.FieldByName("FREQTYPE").SetAsString("H");
    t.FieldByName("FREQVAL").SetAsInteger(60);
    t.FieldByName("NEXTDATE").SetAsDateTime(platform::Date());
    t.FieldByName("NEXTTIME").SetAsString("00:00");
    t.FieldByName("LASTDATE").SetAsDateTime(platform::Date());
    t.FieldByName("LASTTIME").SetAsString("00:00");
    t.Post();
}

void addAttachedAgentRow(const std::string& folder, store::RecordIds& ids, const std::string& accountId,
                         const std::string& agentName)
{
    OpenTable agents(folder, store::kAgentsTable);
    agents.table.Append();
    agents.table.FieldByName("UNIQUE_ID").SetAsString(ids.AttachedAgentId(agentName));
    agents.table.FieldByName("LINK_ID").SetAsString(accountId);
    agents.table.FieldByName("AGENT").SetAsString(agentName);
    agents.table.Post();
}

}  // namespace

std::string WriteDemoRows(const std::string& databaseFolder, const DemoAccount& account)
{
    TApolloEnv env;
    env.SetDeleted(true);
    store::RecordIds ids;
    const std::string groupId = addFolderRow(databaseFolder, ids, firstOrganisation(databaseFolder));
    const std::string accountId = ids.AccountId();
    addAccountRow(databaseFolder, accountId, groupId, account);
    {
        OpenTable rules(databaseFolder, store::kRulesTable);
        store::AppendRestriction(rules.table, store::DefaultRestriction(ids, accountId, true, true));
    }
    addAttachedAgentRow(databaseFolder, ids, accountId, account.agentName);
    return accountId;
}

}  // namespace demo
