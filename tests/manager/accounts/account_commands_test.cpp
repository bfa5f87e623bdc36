// The account tree's commands without a window: folders and accounts with
// every field and the default restriction, refusals before any row, rows
// found by record number, deletes, renames and attachments.
#include "accounts_fixture.h"

#include "manager/core/account_tree.h"
#include "manager/core/attached_agents.h"
#include "manager/core/manager_error.h"
#include "manager/core/restriction_commands.h"
#include "manager/core/row_writing.h"
#include "platform/datetime.h"
#include "store/table_layouts.h"

namespace accountstest {
namespace {

using manager::ManagerError;

class AccountCommands : public AccountsCoreTest {
protected:
    std::string orgId() { return field(store::kOrgsTable, "UNIQUE_ID"); }
    int accountRecNo(const std::string& id)
    {
        TTable& nodes = tables->Table("TableNodes2");
        for (nodes.First(); !nodes.Eof(); nodes.Next())
            if (manager::FieldText(nodes, "UNIQUE_ID") == id)
                return nodes.RecNo();
        return 0;
    }
};

TEST_F(AccountCommands, NewFolderAndAccountWriteEveryFieldAndTheDefaultRestriction)
{
    const int folder = accounts().NewFolder("Office");
    const Rows groups = rows(store::kGroupsTable, {"UNIQUE_ID", "LINK_ID", "GROUP", "NOTES", "CREATEON"});
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0][0].size(), 16u);
    EXPECT_EQ(groups[0][0].substr(14), "Of");
    EXPECT_EQ(groups[0][1], orgId());
    EXPECT_EQ(groups[0][2], "Office");
    EXPECT_EQ(groups[0][3], "Office");
    EXPECT_EQ(groups[0][4], platform::DateToStr(platform::Date()));

    const std::string id = accounts().NewAccount(folder, sampleAccount());
    const Rows nodes = rows(store::kNodesTable, {"UNIQUE_ID", "LINK_ID", "NODE", "SMTPADDRES", "POPADDRESS", "LOGIN",
                                                 "PASSWORD", "ADDRESS", "FREQVAL", "FREQTYPE", "NEXTDATE", "NEXTTIME",
                                                 "LASTDATE", "LASTTIME"});
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0], (std::vector<std::string>{id, groups[0][0], "Sales", "smtp.example.org", "pop.example.org",
                                                  "sales", "s3cret", "sales@example.org", "15", "H", "12/09/26",
                                                  "00:30", "12/09/26", "00:30"}));
    EXPECT_GE(id.size(), 13u);
    const Rows rules = rows(store::kRulesTable, {"UNIQUE_ID", "LINK_ID", "RULE", "COND", "CONDVAL1", "CONDVAL2",
                                                 "ACT1", "ACT2"});
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0][0].substr(14), id.substr(0, 6));
    EXPECT_EQ(std::vector<std::string>(rules[0].begin() + 1, rules[0].end()),
              (std::vector<std::string>{id, "Control Restriction", "A", "", "", "Y", "N"}));
}

TEST_F(AccountCommands, AFieldThatDoesNotConvertOrFitIsRefusedBeforeAnyRowIsBegun)
{
    const int folder = accounts().NewFolder("Office");
    struct Case {
        void (*spoil)(manager::NewAccountFields&);
        const char* named;
    };
    const Case cases[] = {
        {[](manager::NewAccountFields& f) { f.nextDate = "13/45/26"; }, "next processing date"},
        {[](manager::NewAccountFields& f) { f.nextDate = "02/30/26"; }, "next processing date"},
        {[](manager::NewAccountFields& f) { f.nextTime = "13:00PM"; }, "next processing time"},
        {[](manager::NewAccountFields& f) { f.nextTime = "  :  AM"; }, "next processing time"},
        {[](manager::NewAccountFields& f) { f.minutes = "ten"; }, "polling interval"},
        {[](manager::NewAccountFields& f) { f.minutes = "-5"; }, "polling interval"},
        // No interval, or 0, would poll at every tick of the retriever.
        {[](manager::NewAccountFields& f) { f.minutes = ""; }, "polling interval"},
        {[](manager::NewAccountFields& f) { f.password = std::string(26, 'p'); }, "password"},
        // 40 characters, 41 bytes: would be stored cut.
        {[](manager::NewAccountFields& f) { f.name = std::string(39, 'n') + "\xc3\xa9"; }, "account name"},
        {[](manager::NewAccountFields& f) { f.pop = std::string(51, 'h'); }, "POP server address"},
    };
    for (const Case& c : cases) {
        manager::NewAccountFields fields = sampleAccount();
        c.spoil(fields);
        try {
            accounts().NewAccount(folder, fields);
            ADD_FAILURE() << "accepted: " << c.named;
        } catch (const ManagerError& refused) {
            EXPECT_NE(std::string(refused.what()).find(c.named), std::string::npos) << refused.what();
        }
    }
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
    EXPECT_TRUE(rows(store::kRulesTable, {"RULE"}).empty());
    EXPECT_EQ(tables->Table("TableNodes2").State(), dsBrowse);
}

TEST_F(AccountCommands, AnErrorWhileARowIsWrittenCancelsIt)
{
    TTable& nodes = tables->Require("TableNodes2");
    EXPECT_THROW(manager::WriteRow(nodes, manager::RowStart::Append,
                                   [](TTable& row) {
                                       row.FieldByName("NODE").SetAsString("half");
                                       row.FieldByName("NO_SUCH_FIELD").SetAsString("x");
                                   }),
                 std::exception);
    EXPECT_EQ(nodes.State(), dsBrowse);
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
}

TEST_F(AccountCommands, TwoFoldersOfOneNameGetTheirOwnIdentifiersAndAccounts)
{
    const int first = accounts().NewFolder("Office");
    const int second = accounts().NewFolder("Office");
    const Rows groups = rows(store::kGroupsTable, {"UNIQUE_ID"});
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_NE(groups[0][0], groups[1][0]);
    EXPECT_EQ(groups[1][0].size(), groups[0][0].size());
    accounts().NewAccount(second, sampleAccount("Second"));
    accounts().NewAccount(first, sampleAccount("First"));
    const manager::AccountTree tree = manager::ReadAccountTree(*tables);
    ASSERT_EQ(tree.folders.size(), 2u);
    for (const manager::TreeFolder& folder : tree.folders) {
        ASSERT_EQ(folder.accounts.size(), 1u);
        EXPECT_EQ(folder.accounts[0].name, folder.recNo == first ? "First" : "Second");
    }
}

TEST_F(AccountCommands, DeletingAFolderDeletesEveryAccountFiledInIt)
{
    const int doomed = accounts().NewFolder("Doomed");
    const int kept = accounts().NewFolder("Kept");
    for (const char* name : {"One", "Two", "Three"})
        accounts().NewAccount(doomed, sampleAccount(name));
    accounts().NewAccount(kept, sampleAccount("Stays"));
    EXPECT_EQ(accounts().FolderCount(), 2);
    EXPECT_EQ(accounts().AccountCount(doomed), 3);
    accounts().DeleteFolder(doomed);
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Stays"}}));
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Kept"}}));
    // Restrictions of the deleted accounts stay in their table.
    EXPECT_EQ(rows(store::kRulesTable, {"RULE"}).size(), 4u);
    EXPECT_EQ(accounts().FolderCount(), 1);
}

TEST_F(AccountCommands, PropertiesReadBackAsShownAndWriteTheScheduleStored)
{
    const int folder = accounts().NewFolder("Office");
    const std::string id = accounts().NewAccount(folder, sampleAccount());
    accounts().SelectAccount(accountRecNo(id));
    manager::AccountProperties shown = accounts().ReadAccount();
    EXPECT_EQ(shown.name, "Sales");
    EXPECT_EQ(shown.nextDate, "12/09/26");
    EXPECT_EQ(shown.nextTime, "12:30AM");
    EXPECT_EQ(shown.minutes, "15");
    EXPECT_EQ(shown.nextDay, platform::EncodeDate(2026, 12, 9));

    shown.name = "Sales desk";
    shown.notes = "line one\nline two";
    shown.password = "n3w";
    shown.minutes = "600";
    shown.nextDate = "01/02/27";
    shown.nextTime = "12:05PM";
    accounts().WriteAccount(shown);
    EXPECT_EQ(rows(store::kNodesTable, {"NODE", "NOTES", "PASSWORD", "FREQVAL", "NEXTDATE", "NEXTTIME", "LASTDATE",
                                        "LASTTIME"}),
              (Rows{{"Sales desk", "line one\nline two", "n3w", "600", "01/02/27", "12:05", "12/09/26", "00:30"}}));
    const manager::AccountProperties again = accounts().ReadAccount();
    EXPECT_EQ(again.notes, "line one\nline two");
    EXPECT_EQ(again.nextTime, "12:05PM");

    shown.nextTime = "99:99AM";
    EXPECT_THROW(accounts().WriteAccount(shown), ManagerError);
    EXPECT_EQ(field(store::kNodesTable, "NEXTTIME"), "12:05");
}

TEST_F(AccountCommands, RenameActsOnTheRowItWasGivenAndARemovedRowIsNotTakenForAnother)
{
    const int folder = accounts().NewFolder("Office");
    const std::string a = accounts().NewAccount(folder, sampleAccount("Alpha"));
    const std::string b = accounts().NewAccount(folder, sampleAccount("Beta"));
    accounts().SelectAccount(accountRecNo(a));
    accounts().RenameAccount(accountRecNo(b), "Bravo");
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Alpha"}, {"Bravo"}}));
    accounts().RenameFolder(folder, "Head office");
    EXPECT_EQ(field(store::kGroupsTable, "GROUP"), "Head office");
    EXPECT_THROW(accounts().RenameFolder(folder, std::string(41, 'x')), ManagerError);

    const int gone = accountRecNo(a);
    accounts().DeleteAccount(gone);
    EXPECT_THROW(accounts().SelectAccount(gone), ManagerError);
    EXPECT_THROW(accounts().DeleteAccount(gone), ManagerError);
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Bravo"}}));
}

TEST_F(AccountCommands, AttachingTwiceInOneSecondGivesTwoRowsWithDistinctIdentifiers)
{
    const int folder = accounts().NewFolder("Office");
    const std::string id = accounts().NewAccount(folder, sampleAccount());
    accounts().SelectAccount(accountRecNo(id));
    manager::AttachedAgents agents(*tables, ids, data);
    agents.Attach("Auto reply");
    agents.Attach("Auto reply");
    const Rows attached = rows(store::kAgentsTable, {"UNIQUE_ID", "LINK_ID", "AGENT"});
    ASSERT_EQ(attached.size(), 2u);
    EXPECT_NE(attached[0][0], attached[1][0]);
    for (const auto& row : attached) {
        EXPECT_EQ(row[0].size(), 20u);
        EXPECT_EQ(row[0].substr(14), "Auto r");
        EXPECT_EQ(row[1], id);
    }
    EXPECT_EQ(agents.Of(id).size(), 2u);
    agents.DetachCurrent();
    EXPECT_EQ(rows(store::kAgentsTable, {"AGENT"}).size(), 1u);
}

TEST_F(AccountCommands, ANameTheAgentFieldCannotHoldIsRefusedWithItsReason)
{
    const int folder = accounts().NewFolder("Office");
    accounts().SelectAccount(accountRecNo(accounts().NewAccount(folder, sampleAccount())));
    manager::AttachedAgents agents(*tables, ids, data);
    for (const std::string& bad : {std::string(), std::string(100, 'a'), std::string("a/b"), std::string(" lead")})
        EXPECT_THROW(agents.Attach(bad), ManagerError) << bad;
    EXPECT_TRUE(rows(store::kAgentsTable, {"AGENT"}).empty());
    agents.Attach(std::string(99, 'a'));
    EXPECT_EQ(field(store::kAgentsTable, "AGENT"), std::string(99, 'a'));
}

TEST_F(AccountCommands, AccountsWhoseIdentifiersArePrefixesOfEachOtherKeepTheirOwnRows)
{
    const int folder = accounts().NewFolder("Office");
    const std::string folderId = field(store::kGroupsTable, "UNIQUE_ID");
    TTable& nodes = tables->Table("TableNodes2");
    for (const char* id : {"4242", "42"})
        manager::WriteRow(nodes, manager::RowStart::Append, [&](TTable& row) {
            row.FieldByName("UNIQUE_ID").SetAsString(id);
            row.FieldByName("LINK_ID").SetAsString(folderId);
            row.FieldByName("NODE").SetAsString(std::string("Account ") + id);
        });
    manager::RestrictionCommands restrictions(*tables, ids, data);
    manager::AttachedAgents agents(*tables, ids, data);
    manager::RestrictionChoice all;
    all.condition = manager::kAllMessages;
    for (const char* id : {"42", "4242"}) {
        accounts().SelectAccount(accountRecNo(id));
        all.name = std::string("rule of ") + id;
        restrictions.Add(all);
        agents.Attach(std::string("agent of ") + id);
    }
    for (const char* id : {"42", "4242"}) {
        accounts().SelectAccount(accountRecNo(id));
        const auto listed = restrictions.List();
        ASSERT_EQ(listed.size(), 1u) << id;
        EXPECT_EQ(listed[0].rule, std::string("rule of ") + id);
        const auto attached = agents.Of(id);
        ASSERT_EQ(attached.size(), 1u) << id;
        EXPECT_EQ(attached[0].name, std::string("agent of ") + id);
    }
    const manager::AccountTree tree = manager::ReadAccountTree(*tables);
    ASSERT_EQ(tree.folders.at(0).accounts.size(), 2u);
    for (const manager::TreeAccount& account : tree.folders[0].accounts) {
        ASSERT_EQ(account.agents.size(), 1u);
        EXPECT_EQ(account.agents[0].name, "agent of " + account.name.substr(8));
    }
    (void)folder;
}

TEST_F(AccountCommands, TheTreeOfAnEmptyOrganisationIsTheRootAlone)
{
    const manager::AccountTree empty = manager::ReadAccountTree(*tables);
    EXPECT_TRUE(empty.hasOrganisation);
    EXPECT_TRUE(empty.folders.empty());
    accounts().NewFolder("Empty");
    const manager::AccountTree one = manager::ReadAccountTree(*tables);
    ASSERT_EQ(one.folders.size(), 1u);
    EXPECT_TRUE(one.folders[0].accounts.empty());
}

}  // namespace
}  // namespace accountstest
