// The whole system set up from its own windows: on a fresh data folder made
// by tarsel-mkdata, a user builds a folder, an account on a real Dovecot
// mailbox and SMTP server, a restriction, an auto-reply template with merge
// codes and an agent, all in post32's windows; post32 is closed; the real
// postp and posta each make one pass; what the user would look at is
// checked: the server, the mail that was sent, the message folders, the
// tables, and the agent's history in a post32 opened again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "manager/main/tfrm_main.h"
#include "platform/datetime.h"
#include "store/folder_tree.h"
#include "store/table_layouts.h"
#include "tests/manager/endtoend/system_user.h"
#include "tests/manager/window/tree_selection.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/home/open_table.h"
#include "tests/support/processor_run.h"
#include "tests/support/scoped_env.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"
#include "ui_tfrm_main.h"

namespace managertest {
namespace {

using test_support::ProgramExit;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string serverMail(const std::string& id, const std::string& from, const std::string& subject, const std::string& body)
{
    return "From: " + from + "\nTo: sales@example.org\nMessage-ID: <" + id + "@example.org>\nSubject: " + subject +
           "\nDate: Wed, 09 Dec 2026 09:30:00 +0000\n\n" + body;
}

class WholeSystem : public ::testing::Test {
protected:
    test_support::TempDir dir{"e2e"};
    std::string config = dir.path() + "/config/";
    // The program folder, which is also the data folder: where post32 and
    // the processors look when no folder has been chosen.
    std::string home = dir.path() + "/home/";
    test_support::ScopedEnv configEnv{"TARSEL_CONFIG_DIR", config};
    test_support::ScopedEnv homeEnv{"TARSEL_HOME", home};
    test_support::ScopedEnv cacheEnv{"XDG_CACHE_HOME", dir.path() + "/cache"};
    std::string postp, posta, mkdata;

    void SetUp() override
    {
#if defined(TARSEL_POSTP) && defined(TARSEL_POSTA) && defined(TARSEL_MKDATA)
        postp = TARSEL_POSTP;
        posta = TARSEL_POSTA;
        mkdata = TARSEL_MKDATA;
#else
        GTEST_FAIL() << "postp, posta or tarsel-mkdata is not built";
#endif
        if (!test_support::DovecotServer::available())
            GTEST_FAIL() << "dovecot is not installed";
        if (!test_support::SmtpServer::available())
            GTEST_FAIL() << "aiosmtpd is not installed";
    }

    ProgramExit run(const std::string& program, const std::vector<std::string>& args = {"/SINGLEPASS"})
    {
        return test_support::waitForProgram(test_support::startProcessor(program, args, config, home),
                                            std::chrono::seconds(60));
    }

    // The one account's folder under the messages folder.
    std::string accountId() const
    {
        std::vector<std::string> ids;
        for (const auto& entry : std::filesystem::directory_iterator(home + "messages"))
            if (entry.is_directory())
                ids.push_back(entry.path().filename().string());
        EXPECT_EQ(ids.size(), 1u);
        return ids.empty() ? std::string() : ids.front();
    }

    std::vector<std::string> files(const std::string& folder) const
    {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::vector<std::string>> rows(const char* table, const std::vector<std::string>& fields) const
    {
        test_support::OpenTable open(home, table);
        std::vector<std::vector<std::string>> out;
        for (open.table.First(); !open.table.Eof(); open.table.Next()) {
            std::vector<std::string> row;
            for (const std::string& field : fields)
                row.push_back(trimmed(open.table.FieldByName(field).AsString()));
            out.push_back(std::move(row));
        }
        return out;
    }

    static void screenshot(QWidget& window, const char* name)
    {
        const QString folder = QStringLiteral(TARSEL_BINARY_DIR "/screenshots");
        QDir().mkpath(folder);
        EXPECT_TRUE(window.grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
    }
};

TEST_F(WholeSystem, SetUpInTheWindowsTheProcessorsFetchReplyForwardAndPost32ShowsTheHistory)
{
    const ProgramExit made = run(mkdata, {home});
    ASSERT_TRUE(made.exited);
    ASSERT_EQ(made.status, 0);

    test_support::DovecotServer pop("sales", "secret");
    test_support::SmtpServer smtp;
    SystemSetup setup;
    setup.popAddress = pop.address();
    setup.smtpAddress = smtp.address();
    setup.templateFile = home + "templates/OrderReply.eml";
    {
        SystemUser user(setup);
        manager::TfrmMain main;
        main.FormCreate();
        main.show();
        main.FormShow();
        user.NewFolder(main);
        user.NewAccount(main);
        user.AddRestriction(main);
        user.WriteTemplate(main);
        user.NewAgent(main);
        user.AttachAgent(main);
        // What the tree shows: the folder, the account, the agent under it.
        const auto agentItems = main.ui()->treeMain->findItems(QString::fromStdString(setup.agent),
                                                               Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(agentItems.size(), 1);
        ASSERT_NE(agentItems.front()->parent(), nullptr);
        EXPECT_EQ(agentItems.front()->parent()->text(0).toStdString(), setup.account);
        EXPECT_EQ(agentItems.front()->parent()->parent()->text(0).toStdString(), setup.folder);
        EXPECT_EQ(user.Boxes(), std::vector<std::string>{});
        EXPECT_EQ(user.Unanswered(), std::vector<std::string>{});
        EXPECT_EQ(main.ErrorCount(), 0) << main.StatusText();
        main.FormClose();
    }

    // Chosen by the restriction and the agent; chosen by the restriction
    // only; left alone by the restriction although the agent would fire.
    pop.addMessage(serverMail("m1", "Ann Lee <ann@example.org>", "Urgent order 17", "Please hurry.\nORDER=17\n"));
    pop.addMessage(serverMail("m2", "Bob Roe <bob@example.org>", "Order status", "Where is it?\n"));
    pop.addMessage(serverMail("m3", "Cy Doe <cy@example.org>", "Urgent hello", "Hi.\n"));

    const ProgramExit polled = run(postp);
    ASSERT_TRUE(polled.exited);
    EXPECT_EQ(polled.status, 0);
    ASSERT_EQ(pop.messageCount(), 1u) << pop.log();
    EXPECT_TRUE(has(pop.messages().at(0), "Urgent hello"));
    const std::string id = accountId();
    const std::string messages = home + "messages/";
    EXPECT_EQ(files(store::PendingFolder(messages, id)).size(), 2u);

    const ProgramExit answered = run(posta);
    ASSERT_TRUE(answered.exited);
    EXPECT_EQ(answered.status, 0);

    // The reply to Ann, every code expanded, and the forward to the boss.
    // On failure: what posta logged, and the two files the windows wrote for it.
    ASSERT_TRUE(smtp.waitForMessages(2)) << test_support::readFile(home + "agentproc.log") << "\n---\n"
                                         << test_support::readFile(setup.templateFile) << "\n---\n"
                                         << test_support::readFile(home + "agents/" + setup.agent + ".agent");
    const auto sent = smtp.messages();
    ASSERT_EQ(sent.size(), 2u);
    const auto& reply = sent[0];
    EXPECT_EQ(reply.recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_TRUE(has(reply.data, "Subject:  Your order is noted")) << reply.data;
    EXPECT_TRUE(has(reply.data, "X-TarselAuto-Reply: True")) << reply.data;
    EXPECT_TRUE(has(reply.data, "Dear Ann Lee,")) << reply.data;
    EXPECT_TRUE(has(reply.data, "your order 17 is noted.")) << reply.data;
    EXPECT_TRUE(has(reply.data, "Sent by sales@example.org")) << reply.data;
    EXPECT_FALSE(has(reply.data, "<<")) << reply.data;
    EXPECT_FALSE(has(reply.data, "no value provided")) << reply.data;
    const auto& forward = sent[1];
    EXPECT_EQ(forward.recipients, std::vector<std::string>{"boss@example.org"});
    EXPECT_TRUE(has(forward.data, "X-TarselForward: True")) << forward.data;
    EXPECT_TRUE(has(forward.data, "Forwarded Message:  Originally from: Ann Lee ann@example.org")) << forward.data;
    EXPECT_TRUE(has(forward.data, "ORDER=17")) << forward.data;

    // Both fetched messages filed: copies in the received folder, none pending.
    EXPECT_EQ(files(store::PendingFolder(messages, id)), std::vector<std::string>{});
    EXPECT_EQ(files(store::ReceivedFolder(messages, id)),
              (std::vector<std::string>{"-m1@example.org-.eml", "-m2@example.org-.eml"}));

    // post32 again: the attached agent's panel shows what it did.
    {
        manager::TfrmMain main;
        main.FormCreate();
        main.resize(800, 600);
        main.show();
        main.FormShow();
        SelectTreeItem(main, QString::fromStdString(setup.agent));
        QApplication::processEvents();
        const QAbstractItemModel* history = main.ui()->GridAgentHistory->model();
        ASSERT_EQ(history->rowCount(), 2);
        EXPECT_EQ(history->index(0, 0).data().toString().toStdString(),
                  "AutoReply Generated, SUBJECT: Your order is noted");
        EXPECT_EQ(history->index(1, 0).data().toString().toStdString(), "Message Forwarded to: boss@example.org");
        EXPECT_EQ(history->index(0, 1).data().toString().toStdString(), platform::DateToStr(platform::Date()));
        EXPECT_TRUE(main.ui()->panelHistoryHolder->isVisible());
        screenshot(main, "whole_system_history");
        EXPECT_EQ(main.ErrorCount(), 0) << main.StatusText();
        main.FormClose();
    }

    // The rows behind it, read with post32 closed.
    const auto received = rows(store::kReceivedTable, {"LINK_ID", "SUBJECT"});
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], (std::vector<std::string>{id, "Urgent order 17"}));
    EXPECT_EQ(received[1], (std::vector<std::string>{id, "Order status"}));
    const auto attached = rows(store::kAgentsTable, {"UNIQUE_ID", "LINK_ID", "AGENT"});
    ASSERT_EQ(attached.size(), 1u);
    EXPECT_EQ(attached[0][1], id);
    EXPECT_EQ(attached[0][2], setup.agent);
    const auto actions = rows(store::kActionsTable, {"MESSAGE_ID", "NODE_ID", "AGENT_ID", "ACTION"});
    EXPECT_EQ(actions, (std::vector<std::vector<std::string>>{
                           {"<m1@example.org>", id, attached[0][0], "AutoReply Generated, SUBJECT: Your order is noted"},
                           {"<m1@example.org>", id, attached[0][0], "Message Forwarded to: boss@example.org"}}));
}

}  // namespace
}  // namespace managertest
