#pragma once
// The data module of a processor: its table objects (each a TTable of type
// ttSXFOX with its data source and TApollo) and the program's one engine
// settings component, with deleted rows hidden.

#include <memory>
#include <string>

#include "retriever/shell/processor_profile.h"
#include "store/table_objects.h"
#include "tables/apollo_env.h"

class TTable;
class TApollo;

namespace shell {

class TDM {
public:
    explicit TDM(const ProcessorProfile& profile);
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    TTable& Table(const std::string& name) { return tables_->Table(name); }
    TApollo& Apollo(const std::string& name) { return tables_->Apollo(name); }
    store::TableSet& Tables() { return *tables_; }
    TApolloEnv& ApolloEnv1() { return env_; }

    // Engine property 1009 with value 0 through the profile's Apollos.
    void PassStartupProperty();
    // Points the tables at the data folder and opens them, shared, in the
    // profile's order.
    void OpenTables(const std::string& databaseFolder);
    // The start-up window's close: the profile's close steps.
    void CloseTables();

    static constexpr int kEngineProperty = 1009;

private:
    const ProcessorProfile& profile_;
    TApolloEnv env_;
    std::unique_ptr<store::TableSet> tables_;
};

}  // namespace shell
