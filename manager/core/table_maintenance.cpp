#include "manager/core/table_maintenance.h"

#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "store/table_layouts.h"
#include "store/table_objects.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace manager {

namespace {

struct Job {
    const char* table;
    std::vector<std::string> others;
};

const std::vector<Job>& reindexOrder()
{
    static const std::vector<Job> jobs{
        {"TableNodes", {"TableNodes2"}}, {"TableGroups", {"TableGroups2"}}, {"TableReceived", {}},
        {"TableActions", {"TableAgentActions"}}, {"TablePending", {}}, {"TableSent", {}},
        {"TableOut", {}}, {"TableRules", {}}, {"TableAgents2", {"TableAgents"}}};
    return jobs;
}

const std::vector<Job>& packOrder()
{
    static const std::vector<Job> jobs{
        {"TableNodes", {"TableNodes2"}}, {"TableGroups", {"TableGroups2"}}, {"TableReceived", {}},
        {"TablePending", {}}, {"TableRules", {}}, {"TableSent", {}}, {"TableOut", {}},
        {"TableAgents2", {"TableAgents"}}};
    return jobs;
}

const std::vector<Job>& zapOrder()
{
    static const std::vector<Job> jobs{
        {"TableReceived", {}}, {"TableSent", {}}, {"TablePending", {}}, {"TableActions", {"TableAgentActions"}}, {"TableOut", {}}};
    return jobs;
}

// Opens shared what is closed, each with the index it used; the first
// failure is kept for the caller, the others are still tried.
void reopenShared(ManagerTables& tables, const std::vector<std::string>& names, std::string& failure)
{
    for (const std::string& name : names) {
        TTable& table = tables.Table(name);
        table.Exclusive = false;
        if (table.Active())
            continue;
        try {
            table.Open();
        } catch (const std::exception& error) {
            if (failure.empty())
                failure = table.TableName + ": " + error.what();
        }
    }
}

void runAll(TableMaintenance& maintenance, const std::vector<Job>& jobs, const std::function<void(TApollo&, const Job&)>& work)
{
    for (const Job& job : jobs)
        maintenance.WorkExclusively(job.table, job.others, [&](TApollo& apollo) { work(apollo, job); });
}

std::string fileOf(ManagerTables& tables, const char* name) { return tables.Table(name).TableName; }

}  // namespace

void TableMaintenance::WorkExclusively(const std::string& name, const std::vector<std::string>& others,
                                       const std::function<void(TApollo&)>& work)
{
    TTable& table = tables_.Require(name);
    const std::string index = table.IndexName();
    std::vector<std::string> closed{name};
    for (const std::string& other : others)
        if (tables_.IsOpen(other))
            closed.push_back(other);
    for (const std::string& each : closed)
        tables_.Table(each).Close();

    std::string failure;
    try {
        table.Exclusive = true;
        table.Open();
        work(tables_.Apollo(name));
    } catch (const std::exception& error) {
        failure = table.TableName + ": " + error.what();
    }
    table.Close();
    table.SetIndexName(index);
    std::string reopenFailure;
    reopenShared(tables_, closed, reopenFailure);
    if (!failure.empty())
        throw ManagerError("Unable to work on " + failure +
                           "\nThe mail retriever or the agent processor may hold the table; close them and try again.");
    if (!reopenFailure.empty())
        throw ManagerError("Unable to open " + reopenFailure);
}

void TableMaintenance::ReIndex()
{
    runAll(*this, reindexOrder(), [this](TApollo& apollo, const Job& job) {
        const store::TableLayout& layout = store::LayoutOf(fileOf(tables_, job.table));
        for (const store::TagLayout& tag : layout.tags)
            if (apollo.IndexTag(layout.indexName, tag.name, tag.name, tag.unique ? 1 : 0, false, "") == 0)
                throw ManagerError("the tag " + tag.name + " could not be built");
    });
}

void TableMaintenance::Pack()
{
    runAll(*this, packOrder(), [](TApollo& apollo, const Job&) { apollo.Pack(); });
}

void TableMaintenance::Zap()
{
    runAll(*this, zapOrder(), [](TApollo& apollo, const Job&) { apollo.Zap(); });
}

}  // namespace manager
