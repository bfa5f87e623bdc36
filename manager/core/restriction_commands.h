#pragma once
// The restrictions of the account on which TableNodes2 stands, written the
// moment the account window adds, changes or removes one; each row is
// posted whole or not at all.

#include <string>
#include <vector>

#include "manager/core/restriction_mapping.h"

namespace store {
class RecordIds;
}

namespace manager {

class ManagerTables;

struct RestrictionItem {
    std::string rule;
    int recNo = 0;
};

class RestrictionCommands {
public:
    RestrictionCommands(ManagerTables& tables, store::RecordIds& ids, std::string databaseFolder);

    // In the order of the LINK_ID index.
    std::vector<RestrictionItem> List();
    // The new row's record number.
    int Add(const RestrictionChoice& choice);
    store::RestrictionRow Read(int recNo);
    void Edit(int recNo, const RestrictionChoice& choice);
    void Remove(int recNo);

private:
    void goTo(int recNo);

    ManagerTables& tables_;
    store::RecordIds& ids_;
    std::string folder_;
};

}  // namespace manager
