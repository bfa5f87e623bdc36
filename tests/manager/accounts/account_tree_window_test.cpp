// The accounts tab through the windows: new folder and account, the tree,
// its pop-up menu, rename, delete, attach and detach with the history panel,
// and maintenance from the menu, the dialog seam answering.
#include "accounts_window_fixture.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "controls/tep_wizard.h"
#include "controls/tep_wizard_page.h"
#include "manager/dialogs/tfrm_agents.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "platform/datetime.h"
#include "store/table_layouts.h"
#include "tests/support/temp_dir.h"
#include "ui_tfrm_agents.h"
#include "ui_tfrm_new_group.h"
#include "ui_tfrm_new_node.h"

namespace accountstest {
namespace {

using manager::TfrmMain;

class AccountTree : public AccountsWindowTest {
protected:
    void newFolder(const QString& name)
    {
        answers["manager::TfrmNewGroup"] = [name](QDialog& dialog) {
            static_cast<manager::TfrmNewGroup&>(dialog).ui()->edtGroupName->setText(name);
            return int(QDialog::Accepted);
        };
        ui().Position1->trigger();
    }
    void newAccount(const QString& name)
    {
        answers["manager::TfrmNewNode"] = [name](QDialog& dialog) {
            Ui::TfrmNewNode& u = *static_cast<manager::TfrmNewNode&>(dialog).ui();
            u.edtNodeName->setText(name);
            u.edtSMTP->setText(QStringLiteral("mail.example.org"));
            u.edtUsername->setText(QStringLiteral("user"));
            u.edtPassword->setText(QStringLiteral("pw"));
            u.edtEmail->setText(name + QStringLiteral("@example.org"));
            u.edtMins->setText(QStringLiteral("10"));
            u.MedtNextDate->setText(QStringLiteral("12/09/26"));
            u.MedtNextTime->setText(QStringLiteral("01:30PM"));
            return int(QDialog::Accepted);
        };
        ui().B1->trigger();
    }
    void attach(const QString& agent)
    {
        answers["manager::TfrmAgents"] = [agent](QDialog& dialog) {
            auto& picker = static_cast<manager::TfrmAgents&>(dialog);
            const auto found = picker.ui()->lstVAgents->findItems(agent, Qt::MatchExactly);
            if (!found.isEmpty())
                found.front()->setSelected(true);
            return int(QDialog::Accepted);
        };
        ui().mnuAttach->trigger();
    }
    std::string lastLogLine() const
    {
        return main->Log().Held().empty() ? std::string() : main->Log().Held().back();
    }
    void writeAgentFile(const std::string& name) const
    {
        test_support::writeFile(homeDir() + "agents/" + name + ".agent", "[Agent]\n");
    }
    void addHistory(const std::string& agentId, const std::string& action)
    {
        TTable& actions = main->Tables().Table("TableActions");
        actions.Append();
        actions.FieldByName("UNIQUE_ID").SetAsString("h" + action.substr(0, 6));
        actions.FieldByName("AGENT_ID").SetAsString(agentId);
        actions.FieldByName("ACTION").SetAsString(action);
        actions.FieldByName("CREATEON").SetAsDateTime(platform::EncodeDate(2026, 12, 9));
        actions.FieldByName("CREATEAT").SetAsString("10:15");
        actions.Post();
    }
};

TEST_F(AccountTree, NewFolderAndAccountThroughTheWizardLandInTheTreeAndTheTables)
{
    ASSERT_NE(item(QStringLiteral("E-Mail Accounts")), nullptr);
    newFolder(QStringLiteral("Office"));
    newFolder(QStringLiteral("Home"));
    select(QStringLiteral("Office"));

    answers["manager::TfrmNewNode"] = [this](QDialog& dialog) {
        auto& wizard = static_cast<manager::TfrmNewNode&>(dialog);
        Ui::TfrmNewNode& u = *wizard.ui();
        // The folder selected in the tree is preselected; both choices YES.
        EXPECT_EQ(u.lstGroups->count(), 2);
        EXPECT_EQ(u.lstGroups->selectedItems().value(0)->text().toStdString(), "Office");
        EXPECT_EQ(u.cmbAction1->currentText().toStdString(), "YES");
        EXPECT_EQ(u.cmbAction2->currentText().toStdString(), "YES");
        dialog.show();
        QApplication::processEvents();
        EXPECT_FALSE(u.MedtNextDate->text().contains(QLatin1Char('_')));
        EXPECT_FALSE(u.NewNodeWiz->NextButton()->isEnabled());
        u.edtNodeName->setText(QStringLiteral("Sales"));
        EXPECT_TRUE(u.NewNodeWiz->NextButton()->isEnabled());
        u.edtSMTP->setText(QStringLiteral("mail"));
        EXPECT_EQ(u.edtPOP->text().toStdString(), "mail");
        u.edtPOP->setText(QStringLiteral("pop.example.org"));
        u.edtUsername->setText(QStringLiteral("typed"));
        u.edtPassword->setText(QStringLiteral("secret"));
        EXPECT_EQ(u.edtRealName->text().toStdString(), "Sales");
        u.edtEmail->setText(QStringLiteral("sales@example.org"));
        for (int page = 0; page < u.NewNodeWiz->PageCount(); ++page) {
            u.NewNodeWiz->setActivePage(u.NewNodeWiz->Pages(page));
            QApplication::processEvents();
            screenshot(dialog, ("account_wizard_page" + std::to_string(page + 1)).c_str());
        }
        // A user name typed on the login page stays the login.
        EXPECT_EQ(u.edtUsername->text().toStdString(), "typed");
        u.MedtNextDate->setText(QStringLiteral("12/09/26"));
        u.MedtNextTime->setText(QStringLiteral("12:30PM"));
        u.cmbAction2->setCurrentIndex(1);
        return int(QDialog::Accepted);
    };
    ui().B1->trigger();
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    const Rows nodes = rows(store::kNodesTable, {"NODE", "LINK_ID", "LOGIN", "POPADDRESS", "SMTPADDRES", "NEXTTIME", "FREQVAL"});
    ASSERT_EQ(nodes.size(), 1u);
    const Rows groups = rows(store::kGroupsTable, {"UNIQUE_ID", "GROUP"});
    EXPECT_EQ(nodes[0],
              (std::vector<std::string>{"Sales", groups[0][0], "typed", "pop.example.org", "mail", "12:30", "10"}));
    EXPECT_EQ(rows(store::kRulesTable, {"RULE", "COND", "ACT1", "ACT2"}),
              (Rows{{"Control Restriction", "A", "Y", "N"}}));
    QTreeWidgetItem* account = item(QStringLiteral("Sales"));
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(account->parent()->text(0).toStdString(), "Office");
    EXPECT_EQ(account->data(0, TfrmMain::kImageRole).toInt(), 6);
}

TEST_F(AccountTree, ARefusedFieldIsNamedAndTheWizardShownAgainWithNothingWritten)
{
    newFolder(QStringLiteral("Office"));
    int shown = 0;
    answers["manager::TfrmNewNode"] = [&shown](QDialog& dialog) {
        Ui::TfrmNewNode& u = *static_cast<manager::TfrmNewNode&>(dialog).ui();
        if (++shown > 1) {
            EXPECT_EQ(u.edtNodeName->text().toStdString(), "Sales");
            return int(QDialog::Rejected);
        }
        u.edtNodeName->setText(QStringLiteral("Sales"));
        u.MedtNextDate->setText(QStringLiteral("13/40/26"));
        u.MedtNextTime->setText(QStringLiteral("10:00AM"));
        return int(QDialog::Accepted);
    };
    ui().B1->trigger();
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.toStdString().find("next processing date"), std::string::npos);
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
    EXPECT_TRUE(rows(store::kRulesTable, {"RULE"}).empty());
}

TEST_F(AccountTree, WithNoFolderTheNewAccountCommandSaysSoAndCreatesNothing)
{
    ui().B1->trigger();
    EXPECT_TRUE(dialogs.empty());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.toStdString().find("folder"), std::string::npos);
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
}

TEST_F(AccountTree, SelectionEnablesTheCommandsOfItsKindAndThePopUpShowsThem)
{
    newFolder(QStringLiteral("Office"));
    newAccount(QStringLiteral("Sales"));
    writeAgentFile("Filer");
    select(QStringLiteral("Sales"));
    attach(QStringLiteral("Filer"));
    const auto visible = [this] {
        std::vector<std::string> shown;
        for (QAction* action : main->PopupMenuTree()->actions())
            if (action->isVisible())
                shown.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        return shown;
    };
    using Names = std::vector<std::string>;
    select(QStringLiteral("Sales"));
    EXPECT_TRUE(ui().mnuAttach->isEnabled());
    EXPECT_TRUE(ui().btnModify->isEnabled());
    EXPECT_TRUE(ui().mnuFileProperties->isEnabled());
    EXPECT_FALSE(ui().mnuDetach->isEnabled());
    main->PopupMenuTreePopup();
    EXPECT_EQ(visible(), (Names{"&New", "&Delete...", "Rena&me", "-", "&Attach Agent...", "-", "&Properties..."}));
    select(QStringLiteral("Office"));
    EXPECT_TRUE(ui().mnuFileDelete->isEnabled());
    EXPECT_FALSE(ui().mnuFileProperties->isEnabled());
    main->PopupMenuTreePopup();
    EXPECT_EQ(visible(), (Names{"&New", "&Delete...", "Rena&me"}));
    select(QStringLiteral("Filer"));
    EXPECT_TRUE(ui().mnuDetach->isEnabled());
    EXPECT_FALSE(ui().mnuRename->isEnabled());
    main->PopupMenuTreePopup();
    EXPECT_EQ(visible(), (Names{"Rena&me", "&Detach Agent..."}));
    tree()->setCurrentItem(nullptr);
    main->PopupMenuTreePopup();
    EXPECT_EQ(visible(), (Names{"Rena&me"}));
}

TEST_F(AccountTree, BackFromAnotherTabNothingLooksSelectedAndAClickSelectsWithoutARename)
{
    newFolder(QStringLiteral("Office"));
    newAccount(QStringLiteral("Sales"));
    main->show();
    select(QStringLiteral("Sales"));
    ASSERT_TRUE(ui().btnModify->isEnabled());
    ui().pageControlMain->setCurrentWidget(ui().TSagents);
    ui().pageControlMain->setCurrentWidget(ui().TSaccounts);
    QApplication::processEvents();
    // The view says what the buttons say: nothing is selected.
    EXPECT_TRUE(tree()->selectedItems().isEmpty());
    EXPECT_EQ(tree()->currentItem(), nullptr);
    EXPECT_FALSE(ui().btnModify->isEnabled());
    EXPECT_FALSE(ui().btnDelete->isEnabled());
    EXPECT_FALSE(ui().mnuFileProperties->isEnabled());

    QTreeWidgetItem* sales = item(QStringLiteral("Sales"));
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(sales).center());
    EXPECT_TRUE(sales->isSelected());
    EXPECT_TRUE(ui().btnModify->isEnabled());
    EXPECT_TRUE(ui().mnuFileProperties->isEnabled());
    // A click on an item already selected would start a rename once the
    // double-click time is over.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    EXPECT_EQ(tree()->findChild<QLineEdit*>(), nullptr);
}

TEST_F(AccountTree, RenameWritesTheEditedItemsRowAndLogsIt)
{
    newFolder(QStringLiteral("Office"));
    newAccount(QStringLiteral("Alpha"));
    newAccount(QStringLiteral("Beta"));
    writeAgentFile("Filer");
    select(QStringLiteral("Alpha"));
    attach(QStringLiteral("Filer"));
    // The edit ends because another item was selected: still the edited row.
    select(QStringLiteral("Alpha"));
    QTreeWidgetItem* beta = item(QStringLiteral("Beta"));
    beta->setText(0, QStringLiteral("Bravo"));
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Alpha"}, {"Bravo"}}));
    EXPECT_NE(lastLogLine().find("Node renamed from Beta to Bravo"), std::string::npos);
    main->treeMainEdited(beta);
    EXPECT_NE(lastLogLine().find("Node renamed from Bravo to Bravo"), std::string::npos);
    item(QStringLiteral("Office"))->setText(0, QStringLiteral("Head office"));
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Head office"}}));
    EXPECT_NE(lastLogLine().find("Group renamed from Office to Head office"), std::string::npos);
    // An attached agent keeps its name; so does a name too long for the field.
    item(QStringLiteral("Filer"))->setText(0, QStringLiteral("Other"));
    EXPECT_NE(item(QStringLiteral("Filer")), nullptr);
    EXPECT_EQ(rows(store::kAgentsTable, {"AGENT"}), (Rows{{"Filer"}}));
    item(QStringLiteral("Alpha"))->setText(0, QString(41, QLatin1Char('x')));
    EXPECT_NE(item(QStringLiteral("Alpha")), nullptr);
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}).at(0).at(0), "Alpha");
}

TEST_F(AccountTree, DeleteAsksByKindAndRemovesAFolderWithAllItsAccounts)
{
    ui().btnDelete->click();
    tree()->setCurrentItem(nullptr);
    main->Delete1Click();
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Nothing Selected to delete"}));
    newFolder(QStringLiteral("Office"));
    select(QStringLiteral("Office"));
    boxes.clear();
    main->Delete1Click();
    EXPECT_EQ(boxTexts(),
              (std::vector<std::string>{"Unable to delete this folder, you must have at least one root folder."}));

    newFolder(QStringLiteral("Doomed"));
    select(QStringLiteral("Doomed"));
    for (const char* name : {"One", "Two", "Three"})
        newAccount(QString::fromLatin1(name));
    select(QStringLiteral("Office"));
    newAccount(QStringLiteral("Keeper"));
    select(QStringLiteral("One"));
    boxes.clear();
    boxAnswer = QMessageBox::No;
    main->Delete1Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption.toStdString(), " Delete Confirmation");
    EXPECT_EQ(boxes[0].text.toStdString(), "Are you sure you want to delete this account?");
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}).size(), 4u);

    boxAnswer = QMessageBox::Yes;
    select(QStringLiteral("Doomed"));
    boxes.clear();
    main->Delete1Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption.toStdString(), "Delete Confirmation");
    EXPECT_EQ(boxes[0].text.toStdString(), "WARNING THIS GROUP HAS ACCOUNTS: Are you sure you want to delete this group "
                                           "and all accounts inside it?");
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Keeper"}}));
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Office"}}));
    EXPECT_EQ(item(QStringLiteral("Doomed")), nullptr);
    EXPECT_EQ(item(QStringLiteral("Two")), nullptr);

    select(QStringLiteral("Keeper"));
    main->Delete1Click();
    EXPECT_TRUE(rows(store::kNodesTable, {"NODE"}).empty());
    EXPECT_EQ(item(QStringLiteral("Keeper")), nullptr);
    newFolder(QStringLiteral("Empty"));
    select(QStringLiteral("Empty"));
    boxes.clear();
    main->Delete1Click();
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Are you sure you want to delete this group?"}));
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Office"}}));
}

TEST_F(AccountTree, AttachTwiceDetachAndTheHistoryOfOneAttachment)
{
    newFolder(QStringLiteral("Office"));
    newAccount(QStringLiteral("Sales"));
    newAccount(QStringLiteral("Support"));
    writeAgentFile("Auto reply");
    writeAgentFile("Filer");
    select(QStringLiteral("Sales"));
    attach(QStringLiteral("Auto reply"));
    select(QStringLiteral("Sales"));
    attach(QStringLiteral("Auto reply"));
    select(QStringLiteral("Support"));
    attach(QStringLiteral("Filer"));
    const Rows attached = rows(store::kAgentsTable, {"UNIQUE_ID", "AGENT"});
    ASSERT_EQ(attached.size(), 3u);
    EXPECT_NE(attached[0][0], attached[1][0]);
    EXPECT_EQ(countItems(QStringLiteral("Auto reply")), 2);

    addHistory(attached[0][0], "Replied to one");
    addHistory(attached[0][0], "Replied to two");
    addHistory(attached[2][0], "Filed elsewhere");
    main->populateGroups();
    main->resize(640, 520);
    main->show();
    select(QStringLiteral("Auto reply"));
    QApplication::processEvents();
    EXPECT_EQ(ui().panelHistoryHolder->maximumHeight(), 175);
    EXPECT_TRUE(ui().panelHistoryHolder->isVisible());
    QAbstractItemModel* grid = ui().GridAgentHistory->model();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->headerData(0, Qt::Horizontal).toString().toStdString(), "Action Description");
    EXPECT_EQ(grid->data(grid->index(0, 0)).toString().toStdString(), "Replied to one");
    EXPECT_EQ(grid->data(grid->index(1, 1)).toString().toStdString(), "12/09/26");
    EXPECT_EQ(grid->data(grid->index(1, 2)).toString().toStdString(), "10:15");
    screenshot(*main, "account_tree_history_open");

    select(QStringLiteral("Filer"));
    EXPECT_EQ(grid->rowCount(), 1);
    select(QStringLiteral("Filer"));
    boxes.clear();
    boxAnswer = QMessageBox::Yes;
    ui().mnuDetach->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption.toStdString(), "Removal Confirmation");
    EXPECT_EQ(boxes[0].text.toStdString(), "Are you sure you want to detatch this agent?");
    EXPECT_EQ(rows(store::kAgentsTable, {"AGENT"}), (Rows{{"Auto reply"}, {"Auto reply"}}));
    EXPECT_EQ(item(QStringLiteral("Filer")), nullptr);
    select(QStringLiteral("Sales"));
    QApplication::processEvents();
    EXPECT_EQ(ui().panelHistoryHolder->maximumHeight(), 0);
    EXPECT_FALSE(ui().panelHistoryHolder->isVisible());
}

TEST_F(AccountTree, ThePickerRefusesANameTheAttachmentCannotHold)
{
    manager::TfrmAgents picker(main.get());
    picker.AddAgent(QString(100, QLatin1Char('a')));
    picker.AddAgent(QStringLiteral("Fine"));
    picker.show();
    picker.ui()->lstVAgents->item(0)->setSelected(true);
    picker.btnOKClick();
    EXPECT_EQ(picker.result(), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.toStdString().find("99"), std::string::npos) << boxes[0].text.toStdString();
    screenshot(picker, "agent_picker");
    picker.ui()->lstVAgents->clearSelection();
    picker.ui()->lstVAgents->item(1)->setSelected(true);
    emit picker.ui()->lstVAgents->itemDoubleClicked(picker.ui()->lstVAgents->item(1));
    EXPECT_EQ(picker.result(), int(QDialog::Accepted));
    EXPECT_EQ(picker.SelectedAgent(), "Fine");
}

TEST_F(AccountTree, AHandMadeAgentFileWithARefusedNameIsNotOffered)
{
    newFolder(QStringLiteral("Office"));
    newAccount(QStringLiteral("Sales"));
    writeAgentFile("Filer");
    writeAgentFile("what?");
    writeAgentFile(" Padded");
    select(QStringLiteral("Sales"));
    std::vector<std::string> offered;
    answers["manager::TfrmAgents"] = [&offered](QDialog& dialog) {
        auto& picker = static_cast<manager::TfrmAgents&>(dialog);
        for (int i = 0; i < picker.ui()->lstVAgents->count(); ++i)
            offered.push_back(picker.ui()->lstVAgents->item(i)->text().toStdString());
        return int(QDialog::Rejected);
    };
    ui().mnuAttach->trigger();
    EXPECT_EQ(offered, std::vector<std::string>{"Filer"});
    EXPECT_TRUE(rows(store::kAgentsTable, {"AGENT"}).empty());
}

TEST_F(AccountTree, ARebuildIsNotReenteredByWhatRunsInItsMidst)
{
    newFolder(QStringLiteral("Office"));
    newAccount(QStringLiteral("Sales"));
    bool ran = false;
    QTimer::singleShot(0, main.get(), [this, &ran] {
        ran = true;
        main->populateGroups();
        tree()->setCurrentItem(tree()->topLevelItem(0));
    });
    main->populateGroups();
    QApplication::processEvents();
    EXPECT_TRUE(ran);
    EXPECT_EQ(tree()->topLevelItemCount(), 1);
    EXPECT_EQ(countItems(QStringLiteral("Sales")), 1);
}

TEST_F(AccountTree, CompressFromTheMenuRebuildsTheTreeOnTheRenumberedRows)
{
    newFolder(QStringLiteral("Office"));
    for (const char* name : {"One", "Two", "Three"})
        newAccount(QString::fromLatin1(name));
    select(QStringLiteral("One"));
    boxAnswer = QMessageBox::Yes;
    main->Delete1Click();
    ui().Pack1->trigger();
    ui().ReIndex1->trigger();
    EXPECT_EQ(main->ErrorCount(), 0);
    select(QStringLiteral("Three"));
    main->Delete1Click();
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Two"}}));
    EXPECT_NE(item(QStringLiteral("Two")), nullptr);
}

}  // namespace
}  // namespace accountstest
