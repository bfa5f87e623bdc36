// An account set up through post32's windows, then polled by the real postp
// against a real Dovecot: the folder, the account with its schedule and
// restrictions, an attached agent; and compressing while postp holds the
// tables.
#include "fixtures/processor_home.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidget>

#include <chrono>
#include <csignal>
#include <map>

#include "manager/dialogs/tfrm_agents.h"
#include "manager/dialogs/tfrm_modify.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "manager/dialogs/tfrm_rule_wiz.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "platform/datetime.h"
#include "store/table_layouts.h"
#include "store/table_objects.h"
#include "tables/table.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/processor_run.h"
#include "tests/support/scoped_env.h"
#include "tree_selection.h"
#include "ui_tfrm_agents.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_modify.h"
#include "ui_tfrm_new_group.h"
#include "ui_tfrm_new_node.h"
#include "ui_tfrm_rule_wiz.h"

namespace accountstest {
namespace {

std::string message(const std::string& id, const std::string& subject)
{
    return "From: someone@example.org\nTo: sales@example.org\nMessage-ID: <" + id + "@example.org>\nSubject: " +
           subject + "\nDate: Wed, 09 Dec 2026 09:30:00 +0000\n\nBody of " + subject + "\n";
}

class AccountsRoad : public ::testing::Test {
protected:
    agents_test::ProcessorHome home;
    test_support::ScopedEnv config{"TARSEL_CONFIG_DIR", home.folder() + "/config/"};
    test_support::ScopedEnv program{"TARSEL_HOME", home.folder() + "/home/"};
    std::map<std::string, std::function<int(QDialog&)>> answers;
    std::vector<std::string> boxes;
    std::string postp;

    void SetUp() override
    {
#if defined(TARSEL_POSTP)
        postp = TARSEL_POSTP;
#else
        GTEST_FAIL() << "postp is not built";
#endif
        manager::DialogSeam::SetBoxAnswerer([this](const manager::BoxRequest& request) {
            boxes.push_back(request.text.toStdString());
            return QMessageBox::Yes;
        });
        manager::DialogSeam::SetDialogAnswerer([this](QDialog& dialog) {
            const auto found = answers.find(dialog.metaObject()->className());
            return found == answers.end() ? int(QDialog::Rejected) : found->second(dialog);
        });
    }
    void TearDown() override
    {
        manager::DialogSeam::SetBoxAnswerer({});
        manager::DialogSeam::SetDialogAnswerer({});
    }

    static void select(manager::TfrmMain& main, const QString& text) { managertest::SelectTreeItem(main, text); }

    // Folder "Office", account "Sales" on the server, due since yesterday,
    // every 5 minutes, leaving its mail on the server; a restriction that
    // leaves "secret" mail alone; the agent "Filer" attached.
    void setUpThroughTheWindows(manager::TfrmMain& main, const std::string& popAddress)
    {
        answers["manager::TfrmNewGroup"] = [](QDialog& dialog) {
            static_cast<manager::TfrmNewGroup&>(dialog).ui()->edtGroupName->setText(QStringLiteral("Office"));
            return int(QDialog::Accepted);
        };
        main.ui()->Position1->trigger();
        select(main, QStringLiteral("Office"));
        const std::string yesterday = platform::FormatDateTime("mm/dd/yy", platform::Date() - 1);
        answers["manager::TfrmNewNode"] = [&](QDialog& dialog) {
            Ui::TfrmNewNode& u = *static_cast<manager::TfrmNewNode&>(dialog).ui();
            u.edtNodeName->setText(QStringLiteral("Sales"));
            u.edtSMTP->setText(QStringLiteral("127.0.0.1"));
            u.edtPOP->setText(QString::fromStdString(popAddress));
            u.edtUsername->setText(QStringLiteral("tester"));
            u.edtPassword->setText(QStringLiteral("secret"));
            u.edtMins->setText(QStringLiteral("5"));
            u.MedtNextDate->setText(QString::fromStdString(yesterday));
            u.MedtNextTime->setText(QStringLiteral("12:00AM"));
            u.cmbAction2->setCurrentIndex(1);
            return int(QDialog::Accepted);
        };
        main.ui()->B1->trigger();
        select(main, QStringLiteral("Sales"));
        answers["manager::TfrmRuleWiz"] = [](QDialog& dialog) {
            Ui::TfrmRuleWiz& u = *static_cast<manager::TfrmRuleWiz&>(dialog).ui();
            u.cmbField->setEditText(QStringLiteral("Subject"));
            u.edtValue->setText(QStringLiteral("secret"));
            u.cmbAction1->setCurrentIndex(1);
            u.cmbAction2->setCurrentIndex(1);
            u.edtName->setText(QStringLiteral("Leave secrets"));
            return int(QDialog::Accepted);
        };
        answers["manager::TfrmAgents"] = [](QDialog& dialog) {
            auto& picker = static_cast<manager::TfrmAgents&>(dialog);
            const auto found = picker.ui()->lstVAgents->findItems(QStringLiteral("Filer"), Qt::MatchExactly);
            if (!found.isEmpty())
                found.front()->setSelected(true);
            return int(QDialog::Accepted);
        };
        answers["manager::TfrmModify"] = [](QDialog& dialog) {
            Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
            u.btnAdd->click();
            u.btnAttach->click();
            EXPECT_EQ(u.lstVAttachedAgents->topLevelItemCount(), 1);
            return int(QDialog::Accepted);
        };
        main.ui()->btnModify->click();
    }

    std::vector<std::vector<std::string>> nodes() const
    {
        return home.rows(store::kNodesTable, {"UNIQUE_ID", "NEXTDATE", "NEXTTIME", "LASTDATE"});
    }
};

TEST_F(AccountsRoad, PostpPollsTheAccountAsTheWindowsSetItUp)
{
    if (!test_support::DovecotServer::available())
        GTEST_FAIL() << "dovecot is not installed";
    test_support::DovecotServer server;
    home.writeAgent("Filer", {}, {});
    {
        manager::TfrmMain main;
        main.FormCreate();
        setUpThroughTheWindows(main, server.address());
        EXPECT_TRUE(boxes.empty()) << boxes.front();
        EXPECT_EQ(main.ErrorCount(), 0);
        main.FormClose();
    }
    const auto before = nodes();
    ASSERT_EQ(before.size(), 1u);
    const std::string id = [&] {
        std::string value = before[0][0];
        while (!value.empty() && value.back() == ' ')
            value.pop_back();
        return value;
    }();
    EXPECT_EQ(home.rows(store::kAgentsTable, {"AGENT"}).size(), 1u);

    server.addMessage(message("one", "hello there"));
    server.addMessage(message("two", "the secret plan"));
    const agents_test::ProgramExit exit = home.run(postp);
    ASSERT_TRUE(exit.exited);
    EXPECT_EQ(exit.status, 0);
    // The control restriction fetched and kept; the secret one was left alone.
    EXPECT_EQ(home.pendingFiles(id), (std::vector<std::string>{"-one@example.org-.eml"}));
    EXPECT_EQ(server.messageCount(), 2u) << server.log();
    const auto after = nodes();
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0][1] + after[0][2], before[0][1] + before[0][2]);
    EXPECT_EQ(after[0][3], platform::DateToStr(platform::Date()));
}

TEST_F(AccountsRoad, CompressWhilePostpHoldsTheTablesReportsItAndLeavesEveryTableOpen)
{
    manager::TfrmMain main;
    main.FormCreate();
    const pid_t running = home.start(postp, {});
    ASSERT_TRUE(test_support::waitUntilHeld(running, "NODES.DBF"));
    main.ui()->Pack1->trigger();
    kill(running, SIGTERM);
    home.wait(running);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("NODES.DBF"), std::string::npos) << boxes[0];
    for (const std::string& name : store::ManagerOpenOrder())
        EXPECT_TRUE(main.Tables().IsOpen(name)) << name;
    // With postp gone the command works.
    boxes.clear();
    main.ui()->Pack1->trigger();
    EXPECT_TRUE(boxes.empty()) << boxes.front();
}

}  // namespace
}  // namespace accountstest
