#include "store/table_objects.h"

#include "store/store_error.h"
#include "store/table_layouts.h"
#include "tables/apollo.h"
#include "tables/data_source.h"
#include "tables/table.h"

namespace store {

namespace {

TableObjectSpec detail(const char* name, const char* file, const char* index, const char* master)
{
    return {name, file, index, master, master[0] ? "UNIQUE_ID" : "", true};
}

std::string suffixOf(std::string_view tableObject)
{
    constexpr std::string_view prefix = "Table";
    return std::string(tableObject.substr(0, prefix.size()) == prefix ? tableObject.substr(prefix.size())
                                                                      : tableObject);
}

}  // namespace

const std::vector<TableObjectSpec>& ManagerTableObjects()
{
    static const std::vector<TableObjectSpec> specs{
        detail("TableOrgs", kOrgsTable, "", ""),
        detail("TableGroups", kGroupsTable, "LINK_ID", "TableOrgs"),
        detail("TableNodes", kNodesTable, "LINK_ID", "TableGroups"),
        detail("TableAgents", kAgentsTable, "LINK_ID", "TableNodes"),
        detail("TableGroups2", kGroupsTable, "GROUP", ""),
        detail("TableNodes2", kNodesTable, "", ""),
        detail("TableAgents2", kAgentsTable, "LINK_ID", ""),
        detail("TableAgentActions", kActionsTable, "AGENT_ID", "TableAgents2"),
        detail("TableRules", kRulesTable, "LINK_ID", "TableNodes2"),
        detail("TableReceived", kReceivedTable, "LINK_ID", "TableNodes2"),
        detail("TablePending", kPendingTable, "LINK_ID", "TableNodes2"),
        detail("TableSent", kSentTable, "LINK_ID", "TableNodes2"),
        detail("TableOut", kOutboxTable, "LINK_ID", "TableNodes2"),
        {"TableActions", kActionsTable, "MESSAGE_ID", "TableReceived", "MESSAGE_ID", true},
    };
    return specs;
}

const std::vector<TableObjectSpec>& RetrieverTableObjects()
{
    static const std::vector<TableObjectSpec> specs{
        detail("TableNodes", kNodesTable, "", ""),
        {"TableOrgs", kOrgsTable, "", "", "", false},
        detail("TableGroups", kGroupsTable, "", ""),
        detail("TableReceived", kReceivedTable, "MESSAGE_ID", ""),
        detail("TableRules", kRulesTable, "LINK_ID", "TableNodes"),
        detail("TablePending", kPendingTable, "LINK_ID", "TableNodes"),
    };
    return specs;
}

const std::vector<TableObjectSpec>& AgentProcessorTableObjects()
{
    static const std::vector<TableObjectSpec> specs{
        detail("TableANodes", kNodesTable, "", ""),
        detail("TableAgents", kAgentsTable, "LINK_ID", "TableANodes"),
        detail("TableAReceived", kReceivedTable, "LINK_ID", "TableANodes"),
        detail("TableAPending", kPendingTable, "LINK_ID", "TableANodes"),
        detail("TableActions", kActionsTable, "", ""),
    };
    return specs;
}

const std::vector<std::string>& ManagerOpenOrder()
{
    static const std::vector<std::string> order{
        "TableOrgs", "TableGroups", "TableNodes",  "TableReceived", "TablePending",
        "TableSent", "TableOut",    "TableRules",  "TableAgents",   "TableAgents2",
        "TableGroups2", "TableNodes2", "TableActions", "TableAgentActions"};
    return order;
}

const std::vector<std::string>& RetrieverOpenOrder()
{
    static const std::vector<std::string> order{"TableReceived", "TableNodes", "TableGroups", "TableRules",
                                                "TablePending"};
    return order;
}

const std::vector<std::string>& AgentProcessorOpenOrder()
{
    static const std::vector<std::string> order{"TableAReceived", "TableANodes", "TableAPending", "TableAgents",
                                                "TableActions"};
    return order;
}

std::string ApolloNameOf(std::string_view tableObject) { return "Apollo" + suffixOf(tableObject); }
std::string DataSourceNameOf(std::string_view tableObject) { return "DataSource" + suffixOf(tableObject); }

struct TableSet::Entry {
    TableObjectSpec spec;
    TTable table;
    TDataSource source;
    TApollo apollo;
};

TableSet::TableSet(const std::vector<TableObjectSpec>& specs)
{
    for (const TableObjectSpec& spec : specs) {
        auto e = std::make_unique<Entry>();
        e->spec = spec;
        e->table.TableName = spec.file;
        e->table.TableType = ttSXFOX;
        e->table.SetIndexName(spec.index);
        e->source.SetDataSet(&e->table);
        if (spec.apolloBound)
            e->apollo.SetDataSource(&e->source);
        entries_.push_back(std::move(e));
    }
    for (auto& e : entries_) {
        if (e->spec.master.empty())
            continue;
        e->table.MasterFields = e->spec.masterField;
        e->table.SetMasterSource(&entry(e->spec.master).source);
    }
}

TableSet::~TableSet()
{
    // Links first, so that no table or component follows one already gone.
    for (auto& e : entries_) {
        e->apollo.SetDataSource(nullptr);
        e->table.SetMasterSource(nullptr);
    }
    CloseAll();
    for (auto& e : entries_)
        e->source.SetDataSet(nullptr);
}

TableSet::Entry& TableSet::entry(std::string_view name)
{
    for (auto& e : entries_)
        if (e->spec.name == name || ApolloNameOf(e->spec.name) == name || DataSourceNameOf(e->spec.name) == name)
            return *e;
    throw StoreError("No table object " + std::string(name));
}

TTable& TableSet::Table(std::string_view name) { return entry(name).table; }
TDataSource& TableSet::DataSource(std::string_view name) { return entry(name).source; }
TApollo& TableSet::Apollo(std::string_view name) { return entry(name).apollo; }

void TableSet::SetDatabaseFolder(const std::string& folder)
{
    // The table layer joins folder and file itself; a missing "/" is added
    // so that a folder setting typed without one still works.
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    for (auto& e : entries_)
        e->table.DatabaseName = path;
}

void TableSet::SysProp(const std::vector<std::string>& names, int code, std::intptr_t value)
{
    for (const std::string& name : names)
        entry(name).apollo.SysProp(code, value);
}

void TableSet::Open(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        entry(name).table.Open();
}

void TableSet::CloseAll()
{
    // Details before their masters: the reverse of the list.
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        (*it)->table.Close();
}

}  // namespace store
