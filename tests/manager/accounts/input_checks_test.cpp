// What the account commands refuse as typed, before any row is written: a
// blank folder or account name, a server text the retriever would not read
// as the user meant, a polling interval outside 1 to 600 minutes.
#include "accounts_fixture.h"

#include "manager/core/manager_error.h"
#include "store/table_layouts.h"

namespace accountstest {
namespace {

using manager::ManagerError;

class InputChecks : public AccountsCoreTest {
protected:
    // The text of the refusal; empty when accepted.
    template <typename Command>
    static std::string refusal(Command&& command)
    {
        try {
            command();
        } catch (const ManagerError& refused) {
            return refused.what();
        }
        return {};
    }
    void selectOnlyAccount() { tables->Table("TableNodes2").First(); }
};

TEST_F(InputChecks, ABlankFolderOrAccountNameIsRefusedWhereverItIsWritten)
{
    for (const std::string blank : {"", "   ", " \t "})
        EXPECT_NE(refusal([&] { accounts().NewFolder(blank); }).find("folder name"), std::string::npos)
            << "[" << blank << "]";
    EXPECT_TRUE(rows(store::kGroupsTable, {"GROUP"}).empty());

    const int folder = accounts().NewFolder("Office");
    manager::NewAccountFields fields = sampleAccount();
    fields.name = "  ";
    EXPECT_NE(refusal([&] { accounts().NewAccount(folder, fields); }).find("account name"), std::string::npos);
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
    EXPECT_TRUE(rows(store::kRulesTable, {"RULE"}).empty());

    accounts().NewAccount(folder, sampleAccount("Sales"));
    selectOnlyAccount();
    const int account = tables->Table("TableNodes2").RecNo();
    EXPECT_NE(refusal([&] { accounts().RenameFolder(folder, " "); }), "");
    EXPECT_NE(refusal([&] { accounts().RenameAccount(account, ""); }), "");
    manager::AccountProperties shown = accounts().ReadAccount();
    for (const std::string blank : {"", "    "}) {
        shown.name = blank;
        EXPECT_NE(refusal([&] { accounts().WriteAccount(shown); }).find("account name"), std::string::npos);
    }
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Office"}}));
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Sales"}}));
    // A name with blanks after it is a name.
    accounts().RenameFolder(folder, "Head office  ");
    EXPECT_EQ(field(store::kGroupsTable, "GROUP"), "Head office");
}

TEST_F(InputChecks, AServerTextIsAHostOrAHostAColonAndAPortFromOneTo65535)
{
    const int folder = accounts().NewFolder("Office");
    // Each of these the retriever would read as another port, or not at all.
    for (const std::string bad : {"mail:", "mail:pop3", "mail:0", "mail:65536", "mail:99999999999", "mail:-110",
                                  "mail:110:1", ":110", "mail server", "mail: 110"}) {
        manager::NewAccountFields fields = sampleAccount();
        fields.smtp = bad;
        const std::string smtp = refusal([&] { accounts().NewAccount(folder, fields); });
        EXPECT_NE(smtp.find("SMTP server address \"" + bad + "\""), std::string::npos) << smtp;
        fields = sampleAccount();
        fields.pop = bad;
        EXPECT_NE(refusal([&] { accounts().NewAccount(folder, fields); }).find("POP server address"),
                  std::string::npos)
            << bad;
    }
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());

    for (const std::string good : {"", "mail", "pop.example.org:110", "127.0.0.1:65535", "mail:1", " mail:995 "}) {
        manager::NewAccountFields fields = sampleAccount();
        fields.pop = good;
        EXPECT_EQ(refusal([&] { accounts().NewAccount(folder, fields); }), "") << good;
    }
    selectOnlyAccount();
    manager::AccountProperties shown = accounts().ReadAccount();
    shown.pop = "pop.example.org:";
    EXPECT_NE(refusal([&] { accounts().WriteAccount(shown); }).find("POP server address"), std::string::npos);
    EXPECT_EQ(field(store::kNodesTable, "POPADDRESS"), "");
}

TEST_F(InputChecks, APollingIntervalIsOneToSixHundredWholeMinutes)
{
    const int folder = accounts().NewFolder("Office");
    for (const std::string bad : {"0", "00", "601", "9999", "1.5", "ten"}) {
        manager::NewAccountFields fields = sampleAccount();
        fields.minutes = bad;
        const std::string text = refusal([&] { accounts().NewAccount(folder, fields); });
        EXPECT_NE(text.find("from 1 to 600"), std::string::npos) << bad << ": " << text;
    }
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
    for (const std::string good : {"1", "600", " 45 "}) {
        manager::NewAccountFields fields = sampleAccount();
        fields.minutes = good;
        accounts().NewAccount(folder, fields);
    }
    EXPECT_EQ(rows(store::kNodesTable, {"FREQVAL"}), (Rows{{"1"}, {"600"}, {"45"}}));
}

}  // namespace
}  // namespace accountstest
