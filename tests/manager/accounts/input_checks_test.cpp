// What the account commands refuse before any row is written: a blank name,
// a server text the retriever would not read as meant, a polling interval
// outside 1 to 600 minutes.
#include "accounts_fixture.h"

#include <functional>
#include <vector>

#include "manager/core/manager_error.h"
#include "store/table_layouts.h"

namespace accountstest {
namespace {

class InputChecks : public AccountsCoreTest {
protected:
    // The refusal's text; empty when the command was carried out.
    static std::string refusal(const std::function<void()>& command)
    {
        try {
            command();
        } catch (const manager::ManagerError& refused) {
            return refused.what();
        }
        return {};
    }
    // A new account whose one field holds `text`.
    std::string newAccount(std::string manager::NewAccountFields::*field, const std::string& text)
    {
        manager::NewAccountFields fields = sampleAccount();
        fields.*field = text;
        return refusal([&] { accounts().NewAccount(1, fields); });
    }
};

TEST_F(InputChecks, ABlankNameIsRefusedWhereverAFolderOrAccountIsNamed)
{
    EXPECT_NE(refusal([&] { accounts().NewFolder(" \t "); }).find("folder name cannot be blank"), std::string::npos);
    accounts().NewFolder("Office");
    accounts().NewAccount(1, sampleAccount());
    tables->Table("TableNodes2").First();
    manager::AccountProperties shown = accounts().ReadAccount();
    shown.name = "  ";
    manager::NewAccountFields fields = sampleAccount();
    fields.name = "   ";
    for (const auto& command : std::vector<std::function<void()>>{
             [&] { accounts().NewAccount(1, fields); }, [&] { accounts().WriteAccount(shown); },
             [&] { accounts().RenameAccount(1, ""); }, [&] { accounts().RenameFolder(1, "  "); }})
        EXPECT_NE(refusal(command).find("name cannot be blank"), std::string::npos);
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Office"}}));
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Sales"}}));
}

TEST_F(InputChecks, AServerTextIsAHostOrAHostAColonAndAPortFromOneTo65535)
{
    accounts().NewFolder("Office");
    using F = manager::NewAccountFields;
    // Each of these the retriever would read as another port, or not at all.
    for (const char* bad : {"mail:", "mail:pop3", "mail:0", "mail:65536", "mail:-110", ":110", "mail server"})
        EXPECT_NE(newAccount(&F::smtp, bad).find("SMTP server address \"" + std::string(bad) + "\""),
                  std::string::npos);
    EXPECT_NE(newAccount(&F::pop, "pop:").find("POP server address"), std::string::npos);
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
    for (const char* good : {"", "mail", "127.0.0.1:65535", "mail:1"})
        EXPECT_EQ(newAccount(&F::pop, good), "") << good;
}

TEST_F(InputChecks, APollingIntervalIsOneToSixHundredWholeMinutes)
{
    accounts().NewFolder("Office");
    using F = manager::NewAccountFields;
    for (const char* bad : {"", "0", "601", "1.5"})
        EXPECT_NE(newAccount(&F::minutes, bad).find("from 1 to 600"), std::string::npos) << bad;
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
    for (const char* good : {"1", "600"})
        EXPECT_EQ(newAccount(&F::minutes, good), "");
    EXPECT_EQ(rows(store::kNodesTable, {"FREQVAL"}), (Rows{{"1"}, {"600"}}));
}

}  // namespace
}  // namespace accountstest
