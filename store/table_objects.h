#pragma once
// The table objects each program holds: the configuration manager's main
// window, the retriever's and the agent processor's data modules. Each
// object is a TTable of type ttSXFOX on a file of the data folder, with its
// data source and its TApollo companion ("TableNodes" -> "DataSourceNodes",
// "ApolloNodes"); a detail object shows the rows whose index key equals its
// master's field and follows the master row.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TTable;
class TDataSource;
class TApollo;

namespace store {

struct TableObjectSpec {
    std::string name;         // "TableNodes"
    std::string file;         // a table file of the data folder
    std::string index;        // index tag in use; empty: record order
    std::string master;       // master object's name; empty: none
    std::string masterField;  // master field the detail's key must equal
    bool apolloBound = true;  // the TApollo is bound through the data source
};

// post32's main window: fourteen objects.
const std::vector<TableObjectSpec>& ManagerTableObjects();
// postp's data module.
const std::vector<TableObjectSpec>& RetrieverTableObjects();
// posta's data module.
const std::vector<TableObjectSpec>& AgentProcessorTableObjects();

// Opening orders at start-up.
const std::vector<std::string>& ManagerOpenOrder();
const std::vector<std::string>& RetrieverOpenOrder();
const std::vector<std::string>& AgentProcessorOpenOrder();

// "TableNodes" -> "ApolloNodes" / "DataSourceNodes".
std::string ApolloNameOf(std::string_view tableObject);
std::string DataSourceNameOf(std::string_view tableObject);

// The table objects of one program, set up from their specs and owned here.
// The program holds its one TApolloEnv itself.
class TableSet {
public:
    explicit TableSet(const std::vector<TableObjectSpec>& specs);
    ~TableSet();
    TableSet(const TableSet&) = delete;
    TableSet& operator=(const TableSet&) = delete;

    // Throw StoreError for a name that is not in the set.
    TTable& Table(std::string_view name);
    TDataSource& DataSource(std::string_view name);
    TApollo& Apollo(std::string_view nameOrApolloName);

    // Points every table at the data folder (while they are closed).
    void SetDatabaseFolder(const std::string& folder);
    // Passes an engine property through each named table's TApollo.
    void SysProp(const std::vector<std::string>& names, int code, std::intptr_t value);
    // Opens the named tables, shared, in the order given.
    void Open(const std::vector<std::string>& names);
    void CloseAll();

private:
    struct Entry;
    Entry& entry(std::string_view name);
    std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace store
