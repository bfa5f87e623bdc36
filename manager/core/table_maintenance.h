#pragma once
// Re-indexing, compressing and erasing the manager's tables, each worked on
// exclusively for a moment: it and the other objects on its file are
// closed, it is opened exclusively, worked on, closed and opened shared
// again with the index it used, and the others reopened. A table another
// program holds stops the command with a clear error; every table closed
// for it is open again, shared, before the error goes on.

#include <functional>
#include <string>
#include <vector>

class TApollo;

namespace manager {

class ManagerTables;

class TableMaintenance {
public:
    explicit TableMaintenance(ManagerTables& tables) : tables_(tables) {}

    // Every index tag of the nine tables that have one, in creation order.
    void ReIndex();
    // Removes the deleted rows of the accounts, folders, received, pending,
    // restrictions, sent, outbox and attached-agent tables.
    void Pack();
    // Removes every row of the received, sent, pending, actions and outbox
    // tables.
    void Zap();

    // One table worked on exclusively, with the objects on the same file.
    void WorkExclusively(const std::string& table, const std::vector<std::string>& others,
                         const std::function<void(TApollo&)>& work);

private:
    ManagerTables& tables_;
};

}  // namespace manager
