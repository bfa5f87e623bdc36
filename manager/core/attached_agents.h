#pragma once
// Agents attached to accounts: attaching one to the account on which
// TableNodes2 stands, detaching the row on which TableAgents2 stands, and
// the attachments of one account.

#include <string>
#include <vector>

namespace store {
class RecordIds;
}

namespace manager {

class ManagerTables;

struct AttachedAgent {
    std::string name;
    int recNo = 0;
    bool operator==(const AttachedAgent&) const = default;
};

class AttachedAgents {
public:
    AttachedAgents(ManagerTables& tables, store::RecordIds& ids, std::string databaseFolder);

    // The new row's record number. A name the AGENT field cannot hold is
    // refused with the agent-name check's reason.
    int Attach(const std::string& agentName);
    void DetachCurrent();
    // The attachments whose LINK_ID is exactly the account's identifier, in
    // the order of the LINK_ID index.
    std::vector<AttachedAgent> Of(const std::string& accountId);
    // The identifier of the account on which TableNodes2 stands.
    std::string CurrentAccountId();

private:
    ManagerTables& tables_;
    store::RecordIds& ids_;
    std::string folder_;
};

}  // namespace manager
