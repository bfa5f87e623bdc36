#pragma once
// The account tree as the tables hold it: the folders of the first
// organisation in the order of their LINK_ID index, the accounts of each
// folder and the agents attached to each account, every item with its row.

#include <string>
#include <vector>

namespace manager {

class ManagerTables;

struct TreeAgent {
    std::string name;
    int recNo = 0;
};

struct TreeAccount {
    std::string name;
    int recNo = 0;
    std::vector<TreeAgent> agents;
};

struct TreeFolder {
    std::string name;
    int recNo = 0;
    std::vector<TreeAccount> accounts;
};

struct AccountTree {
    bool hasOrganisation = false;
    std::vector<TreeFolder> folders;
};

// Walks TableOrgs, TableGroups, TableNodes and TableAgents (re-read first,
// with read-ahead on while it walks).
AccountTree ReadAccountTree(ManagerTables& tables);

}  // namespace manager
