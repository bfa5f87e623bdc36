#pragma once
// The configuration manager's fourteen table objects and its one engine
// settings component (deleted rows hidden): opened shared at start-up in a
// fixed order, closed at exit. A table that failed to open stays closed for
// the run; commands reach their tables through Require, which says so.

#include <memory>
#include <string>
#include <vector>

#include "store/table_objects.h"
#include "tables/apollo_env.h"

class TTable;
class TApollo;

namespace manager {

class ManagerTables {
public:
    ManagerTables();
    ~ManagerTables();
    ManagerTables(const ManagerTables&) = delete;
    ManagerTables& operator=(const ManagerTables&) = delete;

    TTable& Table(const std::string& name) { return tables_->Table(name); }
    TApollo& Apollo(const std::string& name) { return tables_->Apollo(name); }
    store::TableSet& Tables() { return *tables_; }
    TApolloEnv& ApolloEnv1() { return env_; }

    // Engine property 1009 = 0 through ApolloNodes, ApolloAgents, ApolloRules.
    void PassStartupProperty();
    // Points every table object at the data folder.
    void SetDatabaseFolder(const std::string& folder);
    // Opens the tables, shared, in the start-up order. The first that fails
    // ends it with its error, which names the file (and, when the engine
    // can say, its folder and why): it and every later one stay closed.
    void OpenInStartupOrder();
    // The exit's close order; the attached-agent walk table too, so that no
    // table stays held once the window is gone.
    void CloseAtExit();

    bool IsOpen(const std::string& name);
    // The table, when open; otherwise ManagerError "The table FILE is not
    // open." so a command on it stops with a clear message.
    TTable& Require(const std::string& name);

    static constexpr int kEngineProperty = 1009;
    static const std::vector<std::string>& CloseOrder();

private:
    TApolloEnv env_;
    std::unique_ptr<store::TableSet> tables_;
};

}  // namespace manager
