#pragma once
// What the account tree's commands write: new folders and accounts (with
// the default restriction), an account's properties, renames and deletes.
// Rows are found by their record numbers, as the tree's items carry them;
// identifiers are checked against their unique tags before they are stored.

#include <string>
#include <vector>

#include "platform/datetime.h"

namespace store {
class RecordIds;
}

namespace manager {

class ManagerTables;

// What the account wizard collects.
struct NewAccountFields {
    std::string name, smtp, pop, login, password, address;
    std::string minutes, nextDate, nextTime;  // as typed: "10", "mm/dd/yy", "hh:mmAM/PM"
    bool retrieve = true;                     // the default restriction's two choices
    bool remove = true;
};

// What the properties dialog shows and gives back.
struct AccountProperties {
    std::string name, notes, address, login, password, pop, smtp;
    std::string minutes, nextDate, nextTime;  // as shown
    TDateTime nextDay = 0;                    // NEXTDATE, for the calendar
};

class AccountCommands {
public:
    AccountCommands(ManagerTables& tables, store::RecordIds& ids, std::string databaseFolder);

    // A folder of the organisation on which TableOrgs stands; its record number.
    int NewFolder(const std::string& name);
    // An account in the folder row `folderRecNo` and its default restriction;
    // the account's identifier. Checks every field before a row is begun.
    std::string NewAccount(int folderRecNo, const NewAccountFields& fields);

    // The account on which TableNodes2 stands.
    AccountProperties ReadAccount();
    void WriteAccount(const AccountProperties& properties);

    void RenameAccount(int recNo, const std::string& name);
    void RenameFolder(int recNo, const std::string& name);

    void DeleteAccount(int recNo);
    // Folders of the organisation, accounts of one folder.
    int FolderCount();
    int AccountCount(int folderRecNo);
    // The folder row and every account row filed in it.
    void DeleteFolder(int folderRecNo);

    // Moves the selection tables onto a tree item's row.
    void SelectFolder(int recNo);
    void SelectAccount(int recNo);
    void SelectAttachedAgent(int recNo);

private:
    std::vector<int> accountsOf(const std::string& folderId);
    std::string folderIdAt(int recNo);

    ManagerTables& tables_;
    store::RecordIds& ids_;
    std::string folder_;
};

}  // namespace manager
