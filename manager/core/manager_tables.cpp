#include "manager/core/manager_tables.h"

#include "manager/core/manager_error.h"
#include "tables/db_errors.h"
#include "tables/table.h"

namespace manager {

ManagerTables::ManagerTables() : tables_(std::make_unique<store::TableSet>(store::ManagerTableObjects()))
{
    env_.SetDeleted(true);
}

ManagerTables::~ManagerTables() = default;

const std::vector<std::string>& ManagerTables::CloseOrder()
{
    static const std::vector<std::string> order{
        "TableOrgs",   "TableGroups", "TableNodes", "TableActions", "TableReceived",
        "TablePending", "TableSent",  "TableOut",   "TableRules",   "TableAgents2",
        "TableGroups2", "TableNodes2", "TableAgentActions", "TableAgents"};
    return order;
}

void ManagerTables::PassStartupProperty()
{
    tables_->SysProp({"ApolloNodes", "ApolloAgents", "ApolloRules"}, kEngineProperty, 0);
}

void ManagerTables::SetDatabaseFolder(const std::string& folder) { tables_->SetDatabaseFolder(folder); }

void ManagerTables::OpenInStartupOrder()
{
    for (const std::string& name : store::ManagerOpenOrder()) {
        TTable& table = tables_->Table(name);
        try {
            table.Open();
        } catch (const EDBEngineError& error) {
            // The engine's text names the file, its folder and why, when it
            // can say; a code alone gets the file's name in front.
            if (!error.FilePath().empty())
                throw ManagerError(error.what());
            throw ManagerError(table.TableName + ": " + error.what());
        } catch (const std::exception& error) {
            throw ManagerError(table.TableName + ": " + error.what());
        }
    }
}

void ManagerTables::CloseAtExit()
{
    for (const std::string& name : CloseOrder())
        tables_->Table(name).Close();
}

bool ManagerTables::IsOpen(const std::string& name) { return tables_->Table(name).Active(); }

TTable& ManagerTables::Require(const std::string& name)
{
    TTable& table = tables_->Table(name);
    if (!table.Active())
        throw ManagerError("The table " + table.TableName + " is not open.");
    return table;
}

}  // namespace manager
