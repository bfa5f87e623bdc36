#include "manager/core/account_tree.h"

#include "manager/core/manager_tables.h"
#include "manager/core/row_writing.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace manager {

namespace {

// Read-ahead for the walk, switched off again whatever happens.
class ReadAhead {
public:
    explicit ReadAhead(ManagerTables& tables) : tables_(tables) { set(true); }
    ~ReadAhead() { set(false); }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

private:
    void set(bool on)
    {
        for (const char* name : {"ApolloGroups", "ApolloNodes"})
            tables_.Apollo(name).SetTurboRead(on);
    }
    ManagerTables& tables_;
};

}  // namespace

AccountTree ReadAccountTree(ManagerTables& tables)
{
    TTable& orgs = tables.Require("TableOrgs");
    TTable& groups = tables.Require("TableGroups");
    TTable& nodes = tables.Require("TableNodes");
    TTable& agents = tables.Require("TableAgents");
    for (const char* name : {"TableGroups", "TableNodes", "TableGroups2", "TableNodes2"})
        if (tables.IsOpen(name))
            tables.Table(name).Refresh();
    ReadAhead readAhead(tables);

    AccountTree tree;
    orgs.First();
    tree.hasOrganisation = !orgs.Eof();
    if (!tree.hasOrganisation)
        return tree;
    for (groups.First(); !groups.Eof(); groups.Next()) {
        TreeFolder& folder = tree.folders.emplace_back(TreeFolder{FieldText(groups, "GROUP"), groups.RecNo(), {}});
        for (nodes.First(); !nodes.Eof(); nodes.Next()) {
            TreeAccount& account =
                folder.accounts.emplace_back(TreeAccount{FieldText(nodes, "NODE"), nodes.RecNo(), {}});
            for (agents.First(); !agents.Eof(); agents.Next())
                account.agents.push_back({FieldText(agents, "AGENT"), agents.RecNo()});
        }
    }
    return tree;
}

}  // namespace manager
