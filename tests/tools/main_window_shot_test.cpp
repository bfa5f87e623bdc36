// The README's picture of the main window: drawn only from a data folder
// with an attached agent that has history rows, else refused with the
// reason and no file left behind.
#include <gtest/gtest.h>

#include <QImage>

#include "platform/datetime.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "store/table_layouts.h"
#include "tests/support/home/open_table.h"
#include "tests/support/scratch_settings.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tools/demo_setup/demo_rows.h"
#include "tools/screenshot/main_window_shot.h"

namespace {

using test_support::ScopedEnv;

class MainWindowShot : public ::testing::Test, protected test_support::ScratchSettings {
protected:
    MainWindowShot() : ScratchSettings("shot") {}
    tools::ShotRequest request{dir.file("main.png"), 900, 600};

    std::string dataFolder() const { return dir.path() + "/home/"; }

    // The account of the demo with its attached agent; the agent's identifier.
    std::string accountWithAgent() const
    {
        store::CreateDataFolder(dataFolder(), false);
        demo::DemoAccount account;
        account.popServer = "127.0.0.1:110";
        account.smtpServer = "127.0.0.1:25";
        demo::WriteDemoRows(dataFolder(), account);
        test_support::OpenTable agents(dataFolder(), store::kAgentsTable);
        agents.table.First();
        return agents.table.FieldByName("UNIQUE_ID").AsString();
    }

    void addHistory(const std::string& agentId, const std::string& action) const
    {
        test_support::OpenTable actions(dataFolder(), store::kActionsTable);
        actions.table.Append();
        actions.set("UNIQUE_ID", "h" + action.substr(0, 6));
        actions.set("AGENT_ID", agentId);
        actions.set("ACTION", action);
        actions.table.FieldByName("CREATEON").SetAsDateTime(platform::EncodeDate(2026, 12, 9));
        actions.set("CREATEAT", "10:15");
        actions.table.Post();
    }

    // The error's text; the test fails when the shot is written.
    std::string refusal() const
    {
        try {
            tools::WriteMainWindowShot(request);
        } catch (const tools::ShotError& error) {
            EXPECT_FALSE(platform::FileExists(request.pngFile));
            return error.what();
        }
        ADD_FAILURE() << "a picture was written";
        return {};
    }
};

TEST_F(MainWindowShot, WhatIsNotWorthAPictureIsRefused)
{
    platform::ForceDirectories(dataFolder());
    EXPECT_EQ(refusal(), dataFolder() + " is not a data folder (make one with tarsel-mkdata)");

    store::CreateDataFolder(dataFolder(), false);
    EXPECT_EQ(refusal(), "no agent is attached to an account, so there is no history panel to show");
}

TEST_F(MainWindowShot, AWindowThatDidNotStartCleanlyIsRefusedWithWhatItSaid)
{
    accountWithAgent();
    test_support::writeFile(dataFolder() + store::kNodesTable, "not a table");
    const std::string text = refusal();
    EXPECT_EQ(text.rfind("post32 at start-up raised:\n  ", 0), 0u) << text;
}

TEST_F(MainWindowShot, AnAgentWithoutHistoryIsRefused)
{
    accountWithAgent();
    EXPECT_EQ(refusal(), "the attached agent Order desk has no history rows");
}

TEST_F(MainWindowShot, TheWindowIsDrawnAtTheAskedSizeWithItsHistory)
{
    addHistory(accountWithAgent(), "AutoReply Generated");
    tools::WriteMainWindowShot(request);
    const QImage picture(QString::fromStdString(request.pngFile));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(900, 600));
}

}  // namespace
