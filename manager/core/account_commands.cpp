#include "manager/core/account_commands.h"

#include "manager/core/account_schedule.h"
#include "manager/core/field_limits.h"
#include "manager/core/input_checks.h"
#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "manager/core/row_writing.h"
#include "store/record_ids.h"
#include "store/restriction_row.h"
#include "store/table_layouts.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace manager {

namespace {

void checkAccountTexts(const std::string& name, const std::string& address, const std::string& login,
                       const std::string& password, const std::string& pop, const std::string& smtp)
{
    CheckName("account name", name);
    CheckFits("account name", name, kNodeWidth);
    CheckFits("e-mail address", address, kAddressWidth);
    CheckFits("user name", login, kLoginWidth);
    CheckFits("password", password, kPasswordWidth);
    CheckFits("POP server address", pop, kServerWidth);
    CheckFits("SMTP server address", smtp, kServerWidth);
    CheckServerAddress("SMTP server address", smtp);
    CheckServerAddress("POP server address", pop);
}

void writeSchedule(TTable& nodes, const Schedule& schedule)
{
    nodes.FieldByName("FREQVAL").SetAsInteger(schedule.minutes);
    nodes.FieldByName("NEXTDATE").SetAsDateTime(schedule.nextDate);
    nodes.FieldByName("NEXTTIME").SetAsString(schedule.nextTime);
}

}  // namespace

AccountCommands::AccountCommands(ManagerTables& tables, store::RecordIds& ids, std::string databaseFolder)
    : tables_(tables), ids_(ids), folder_(std::move(databaseFolder))
{
}

int AccountCommands::NewFolder(const std::string& name)
{
    CheckName("folder name", name);
    CheckFits("folder name", name, kGroupWidth);
    TTable& orgs = tables_.Require("TableOrgs");
    TTable& groups = tables_.Require("TableGroups");
    if (orgs.Eof() && orgs.Bof())
        throw ManagerError("There is no organisation to file the folder under.");
    const std::string orgId = FieldText(orgs, "UNIQUE_ID");
    const std::string id = ids_.UniqueClockId(name, 2, store::TagHolds(folder_, store::kGroupsTable, "UNIQUE_ID"));
    WriteRow(groups, RowStart::Insert, [&](TTable& row) {
        row.FieldByName("UNIQUE_ID").SetAsString(id);
        row.FieldByName("LINK_ID").SetAsString(orgId);
        row.FieldByName("CREATEON").SetAsDateTime(platform::Date());
        row.FieldByName("GROUP").SetAsString(name);
        row.FieldByName("NOTES").SetAsString(name);
    });
    return groups.RecNo();
}

std::string AccountCommands::NewAccount(int folderRecNo, const NewAccountFields& fields)
{
    checkAccountTexts(fields.name, fields.address, fields.login, fields.password, fields.pop, fields.smtp);
    const Schedule schedule = ReadSchedule(fields.minutes, fields.nextDate, fields.nextTime);
    const std::string folderId = folderIdAt(folderRecNo);
    TTable& nodes = tables_.Require("TableNodes2");
    TTable& rules = tables_.Require("TableRules");
    const std::string id = ids_.UniqueAccountId(store::TagHolds(folder_, store::kNodesTable, "UNIQUE_ID"));
    WriteRow(nodes, RowStart::Append, [&](TTable& row) {
        row.FieldByName("UNIQUE_ID").SetAsString(id);
        row.FieldByName("LINK_ID").SetAsString(folderId);
        row.FieldByName("NODE").SetAsString(fields.name);
        row.FieldByName("SMTPADDRES").SetAsString(fields.smtp);
        row.FieldByName("POPADDRESS").SetAsString(fields.pop);
        row.FieldByName("LOGIN").SetAsString(fields.login);
        row.FieldByName("PASSWORD").SetAsString(fields.password);
        row.FieldByName("ADDRESS").SetAsString(fields.address);
        writeSchedule(row, schedule);
        row.FieldByName("FREQTYPE").SetAsString("H");
        row.FieldByName("LASTDATE").SetAsDateTime(schedule.nextDate);
        row.FieldByName("LASTTIME").SetAsString(schedule.nextTime);
    });
    store::RestrictionRow rule = store::DefaultRestriction(ids_, id, fields.retrieve, fields.remove);
    rule.uniqueId = ids_.UniqueClockId(id, 6, store::TagHolds(folder_, store::kRulesTable, "UNIQUE_ID"));
    WriteRow(rules, RowStart::Insert, [&](TTable& row) {
        row.FieldByName("UNIQUE_ID").SetAsString(rule.uniqueId);
        row.FieldByName("LINK_ID").SetAsString(rule.linkId);
        row.FieldByName("RULE").SetAsString(rule.rule);
        row.FieldByName("COND").SetAsString(rule.cond);
        row.FieldByName("CONDVAL1").SetAsString(rule.condVal1);
        row.FieldByName("CONDVAL2").SetAsString(rule.condVal2);
        row.FieldByName("ACT1").SetAsString(rule.act1);
        row.FieldByName("ACT2").SetAsString(rule.act2);
    });
    return id;
}

AccountProperties AccountCommands::ReadAccount()
{
    TTable& nodes = tables_.Require("TableNodes2");
    if (nodes.Eof() && nodes.Bof())
        throw ManagerError("No account is selected.");
    AccountProperties p;
    p.name = FieldText(nodes, "NODE");
    p.notes = nodes.FieldByName("NOTES").AsString();
    p.address = FieldText(nodes, "ADDRESS");
    p.login = FieldText(nodes, "LOGIN");
    p.password = FieldText(nodes, "PASSWORD");
    p.pop = FieldText(nodes, "POPADDRESS");
    p.smtp = FieldText(nodes, "SMTPADDRES");
    p.minutes = std::to_string(nodes.FieldByName("FREQVAL").AsInteger());
    p.nextDay = nodes.FieldByName("NEXTDATE").AsDateTime();
    p.nextDate = ShownDate(p.nextDay);
    p.nextTime = ShownTime(FieldText(nodes, "NEXTTIME"));
    return p;
}

void AccountCommands::WriteAccount(const AccountProperties& p)
{
    checkAccountTexts(p.name, p.address, p.login, p.password, p.pop, p.smtp);
    const Schedule schedule = ReadSchedule(p.minutes, p.nextDate, p.nextTime);
    TTable& nodes = tables_.Require("TableNodes2");
    WriteRow(nodes, RowStart::Edit, [&](TTable& row) {
        row.FieldByName("NODE").SetAsString(p.name);
        row.FieldByName("NOTES").SetAsString(p.notes);
        row.FieldByName("ADDRESS").SetAsString(p.address);
        row.FieldByName("LOGIN").SetAsString(p.login);
        row.FieldByName("PASSWORD").SetAsString(p.password);
        row.FieldByName("POPADDRESS").SetAsString(p.pop);
        row.FieldByName("SMTPADDRES").SetAsString(p.smtp);
        writeSchedule(row, schedule);
    });
    if (tables_.IsOpen("TableNodes"))
        tables_.Table("TableNodes").Refresh();
}

void AccountCommands::RenameAccount(int recNo, const std::string& name)
{
    CheckName("account name", name);
    CheckFits("account name", name, kNodeWidth);
    SelectAccount(recNo);
    WriteRow(tables_.Table("TableNodes2"), RowStart::Edit,
             [&](TTable& row) { row.FieldByName("NODE").SetAsString(name); });
}

void AccountCommands::RenameFolder(int recNo, const std::string& name)
{
    CheckName("folder name", name);
    CheckFits("folder name", name, kGroupWidth);
    SelectFolder(recNo);
    WriteRow(tables_.Table("TableGroups2"), RowStart::Edit,
             [&](TTable& row) { row.FieldByName("GROUP").SetAsString(name); });
}

void AccountCommands::DeleteAccount(int recNo)
{
    SelectAccount(recNo);
    tables_.Table("TableNodes2").Delete();
}

int AccountCommands::FolderCount()
{
    TTable& groups = tables_.Require("TableGroups");
    int count = 0;
    for (groups.First(); !groups.Eof(); groups.Next())
        ++count;
    return count;
}

int AccountCommands::AccountCount(int folderRecNo) { return static_cast<int>(accountsOf(folderIdAt(folderRecNo)).size()); }

void AccountCommands::DeleteFolder(int folderRecNo)
{
    const std::string folderId = folderIdAt(folderRecNo);
    // The rows are gathered first: deleting while walking would skip some.
    for (const int account : accountsOf(folderId))
        DeleteAccount(account);
    SelectFolder(folderRecNo);
    tables_.Table("TableGroups2").Delete();
}

namespace {

// Goes to a row a tree item carries; a row deleted or renumbered since the
// tree was built is not taken for another.
void goTo(ManagerTables& tables, const char* table, const char* apollo, int recNo)
{
    tables.Require(table);
    tables.Apollo(apollo).GoToRecord(recNo);
    if (tables.Table(table).RecNo() != recNo)
        throw ManagerError("The selected item is no longer in the table; refresh the account list.");
}

}  // namespace

void AccountCommands::SelectFolder(int recNo) { goTo(tables_, "TableGroups2", "ApolloGroups2", recNo); }
void AccountCommands::SelectAccount(int recNo) { goTo(tables_, "TableNodes2", "ApolloNodes2", recNo); }
void AccountCommands::SelectAttachedAgent(int recNo) { goTo(tables_, "TableAgents2", "ApolloAgents2", recNo); }

std::vector<int> AccountCommands::accountsOf(const std::string& folderId)
{
    TTable& nodes = tables_.Require("TableNodes2");
    std::vector<int> rows;
    for (nodes.First(); !nodes.Eof(); nodes.Next())
        if (FieldText(nodes, "LINK_ID") == folderId)
            rows.push_back(nodes.RecNo());
    return rows;
}

std::string AccountCommands::folderIdAt(int recNo)
{
    SelectFolder(recNo);
    return FieldText(tables_.Table("TableGroups2"), "UNIQUE_ID");
}

}  // namespace manager
