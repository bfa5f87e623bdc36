// Agents made in post32's agent dialogs, as a user makes them, written by
// the main window's commands, attached to an account and run by the agent
// processor's own pass on a pending message: the file is what the
// processor reads, and the triggers and actions do what their captions say.
// (The processor's tables and the main window's cannot live in one
// program, so the commands' own steps stand in for the main window.)
#include "fixtures/agent_fixture.h"

#include <QMenu>
#include <QTreeWidget>

#include <chrono>
#include <regex>
#include <sys/stat.h>
#include <thread>

#include "manager/core/agent_commands.h"
#include "manager/dialogs/tfrm_agent_properties.h"
#include "manager/dialogs/tfrm_new_agent.h"
#include "manager/seam/dialog_seam.h"
#include "platform/files.h"
#include "platform/process.h"
#include "retriever/core/message_keys.h"
#include "tests/manager/window/agent_driver.h"
#include "tests/support/scoped_env.h"
#include "tests/support/smtp_server.h"

namespace managertest {
namespace {

using test_support::SmtpServer;

class AgentMadeInWindows : public agents_test::AgentFixture {
protected:
    void SetUp() override
    {
        if (!SmtpServer::available())
            GTEST_SKIP() << "aiosmtpd not available";
        platform::ForceDirectories(dir.path() + "/config");
        platform::ForceDirectories(templatesFolder);
        smtp = std::make_unique<SmtpServer>();
        addAccount("acc1", smtp->address());
        manager::DialogSeam::SetDialogAnswerer([this](QDialog& dialog) { return driver.answer(dialog); });
        manager::DialogSeam::SetBoxAnswerer([](const manager::BoxRequest&) { return QMessageBox::Ok; });
    }

    void TearDown() override
    {
        manager::DialogSeam::SetDialogAnswerer({});
        manager::DialogSeam::SetBoxAnswerer({});
    }

    // The file with its two time stamps checked and blanked.
    std::string agentFileText(const std::string& name)
    {
        std::string text = test_support::readFile(agentsFolder + name + ".agent");
        const std::regex stamp("(CreatedDateTime|ModifiedDateTime)=\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d");
        EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), stamp), std::sregex_iterator()), 2)
            << text;
        return std::regex_replace(text, stamp, "$1=*");
    }

    test_support::ScopedEnv config{"TARSEL_CONFIG_DIR", dir.path() + "/config"};
    std::string templatesFolder = dir.path() + "/templates/";
    std::unique_ptr<SmtpServer> smtp;
    AgentDriver driver;

    // The new-agent command: the wizard, then its agent written.
    void newAgent()
    {
        manager::TfrmNewAgent wizard;
        ASSERT_EQ(manager::DialogSeam::ExecModal(wizard), QDialog::Accepted);
        manager::WriteNewAgent(agentsFolder, wizard.AgentName(), wizard.AgentKind(), wizard.Lists(), platform::Now());
    }

    // The change-agent command: the file into the properties dialog and,
    // after OK, back.
    void changeAgent(const std::string& name)
    {
        const std::string path = agentsFolder + name + ".agent";
        manager::TfrmAgentProperties properties;
        properties.SetLists(manager::LoadAgentLists(path));
        if (manager::DialogSeam::ExecModal(properties) == QDialog::Accepted)
            manager::SaveAgentLists(path, properties.Lists(), platform::Now());
    }
};

TEST_F(AgentMadeInWindows, TwoTriggersAndThreeActionsAreWrittenAsGivenAndRunOnAMatchingMessage)
{
    const std::string reply = templatesFolder + "Thanks.eml";
    test_support::writeFile(reply, "From: desk@example.org\r\nSubject: We have your order\r\n\r\nThank you.\r\n");
    driver.agent = {{{"Subject", "contains", "order"}, {"From", "doesn't contain", "boss@"}},
                    {{"Forward To", "boss@example.org"}, {"Auto-Reply", reply}, {"Play Sound", "bell.wav"}},
                    "Orders"};
    newAgent();

    EXPECT_EQ(agentFileText("Orders"),
              "[MAIN]\nAgentType=MESSAGE\nAppVersion=.9999\nCreatedDateTime=*\nModifiedDateTime=*\nCreateUser=\n"
              "ModifiedUser=\nTriggerCount=2\nActionCount=3\n"
              "[HEADER]\nEntry1=Subject\nEntry2=From\n"
              "[CONDITION]\nEntry1=contains\nEntry2=doesn't contain\n"
              "[VALUE]\nEntry1=order\nEntry2=boss@\n"
              "[ACTIONPARAM1]\nEntry1=FORWARD TO\nEntry2=AUTO-REPLY\nEntry3=PLAY SOUND\n"
              "[ACTIONPARAM2]\nEntry1=boss@example.org\nEntry2=" +
                  reply + "\nEntry3=bell.wav\n[ACTIONPARAM3]\nEntry1=\nEntry2=\nEntry3=\n");

    attachAgent("acc1", "Orders");
    addPending("acc1", "hello.eml", agents_test::MailText("<h@x>", "Hello"));
    addPending("acc1", "order.eml", agents_test::MailText("<o@x>", "Re: ORDER 17"));
    pass->AgentsMain();

    ASSERT_TRUE(smtp->waitForMessages(2));
    const auto sent = smtp->messages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].recipients, std::vector<std::string>{"boss@example.org"});
    EXPECT_NE(sent[0].data.find("Forwarded Message:  Originally from: Ann Lee"), std::string::npos);
    EXPECT_EQ(sent[1].recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_NE(sent[1].data.find("We have your order"), std::string::npos);
    EXPECT_EQ(host.sounds, std::vector<std::string>{"bell.wav"});
    EXPECT_EQ(historyTexts(),
              (std::vector<std::string>{"Message Forwarded to: boss@example.org",
                                        "AutoReply Generated, SUBJECT: We have your order", "Played Sound: bell.wav"}));
}

TEST_F(AgentMadeInWindows, TheWholeHeaderAndReplyToChoicesHoldAsTheyRead)
{
    driver.agent = {{{"<Any Header>", "contains", "X-Urgent"}, {"Reply To", "contains", "help@"}},
                    {{"Play Sound", "urgent.wav"}, {"Remove from further agent processing", ""}},
                    "Urgent"};
    newAgent();
    const std::string text = agentFileText("Urgent");
    // Stored as the processor looks them up.
    EXPECT_NE(text.find("[HEADER]\nEntry1=ANYHEADER\nEntry2=Reply-To\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Entry2=REMOVE FROM FURTHER AGENT PROCESSING\n"), std::string::npos) << text;

    writeAgent("Later", {agents_test::Always()}, {{"PLAY SOUND", "later.wav", ""}});
    attachAgent("acc1", "Urgent");
    attachAgent("acc1", "Later");
    addPending("acc1", "plain.eml", agents_test::MailText("<p@x>", "Plain", {"Hi"}, "Reply-To: help@example.org\r\n"));
    addPending("acc1", "urgent.eml",
               agents_test::MailText("<u@x>", "Now", {"Hi"}, "Reply-To: help@example.org\r\nX-Urgent: yes\r\n"));
    pass->AgentsMain();

    // The urgent message stops at the first agent; the plain one reaches the second.
    EXPECT_EQ(host.sounds, (std::vector<std::string>{"later.wav", "urgent.wav"}));
}

// A program picked with the Browse button from a folder with a blank in its
// name is the program the processor starts, on the message's copy.
TEST_F(AgentMadeInWindows, AProgramPickedFromAFolderWithABlankIsStarted)
{
    const std::string tools = dir.path() + "/my tools/";
    const std::string program = tools + "launch.sh";
    const std::string out = dir.path() + "/handed.eml";
    platform::ForceDirectories(tools);
    test_support::writeFile(program, "#!/bin/sh\ncp \"$1\" " + out + ".part && mv " + out + ".part " + out + "\n");
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
    manager::DialogSeam::SetFileAnswerer([&](const manager::FileRequest&) { return QString::fromStdString(program); });
    driver.agent = {{{"Subject", "contains", "order"}}, {{"Launch Program", "", true}}, "Open orders"};
    newAgent();
    manager::DialogSeam::SetFileAnswerer({});
    EXPECT_EQ(store::ReadAgentActions(agentsFolder + "Open orders.agent"),
              (std::vector<store::AgentAction>{{"LAUNCH PROGRAM", "'" + program + "'", ""}}));

    pass->services.launch = [](const std::string& commandLine, const std::vector<std::string>& args) {
        return platform::StartProcess(commandLine, args);
    };
    attachAgent("acc1", "Open orders");
    addPending("acc1", "order.eml", agents_test::MailText("<o@x>", "order 5"));
    pass->AgentsMain();

    const std::string copy = programFolder + "temp/" + MakeSafeFileName("<o@x>") + ".eml";
    EXPECT_EQ(historyTexts(), std::vector<std::string>{"Launched Program '" + program + "' " + copy});
    for (int i = 0; i < 6000 && !platform::FileExists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test_support::readFile(out), test_support::readFile(copy));
}

TEST_F(AgentMadeInWindows, AnAgentChangedInItsPropertiesRunsWithItsNewTrigger)
{
    driver.agent = {{{"Subject", "contains", "invoice"}}, {{"Play Sound", "cash.wav"}}, "Money"};
    newAgent();
    // The trigger is edited in the properties dialog: Subject begins with "Bill".
    TriggerInput edited{"Subject", "begins with", "Bill"};
    driver.onProperties = [&](QDialog& dialog) {
        auto* triggers = dialog.findChild<QTreeWidget*>(QStringLiteral("lstVTriggers"));
        triggers->topLevelItem(0)->setSelected(true);
        dialog.findChild<QMenu*>(QStringLiteral("popTriggers"))->actions().at(3)->trigger();  // Delete
        driver.addTrigger(dialog, edited);
        return int(QDialog::Accepted);
    };
    changeAgent("Money");

    attachAgent("acc1", "Money");
    addPending("acc1", "a.eml", agents_test::MailText("<a@x>", "invoice 3"));
    addPending("acc1", "b.eml", agents_test::MailText("<b@x>", "bill 4"));
    pass->AgentsMain();
    EXPECT_EQ(host.sounds, std::vector<std::string>{"cash.wav"});
    EXPECT_EQ(store::ReadAgentTriggers(agentsFolder + "Money.agent"),
              (std::vector<store::AgentTrigger>{{"Subject", "begins with", "Bill"}}));
}

}  // namespace
}  // namespace managertest
