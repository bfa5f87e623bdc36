// The Agents and Auto-Reply Templates tabs of the main window: the lists
// built from their folders, new and changed agents written through the
// dialogs, and delete and rename acting on the listed files.
#include "window_fixture.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTreeWidget>

#include <filesystem>

#include "agent_driver.h"
#include "manager/core/account_commands.h"
#include "manager/core/attached_agents.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"
#include "platform/files.h"
#include "store/agent_file.h"
#include "store/table_layouts.h"
#include "tables/field.h"
#include "tables/table.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_message.h"

namespace managertest {
namespace {

std::vector<std::string> captions(const QTreeWidget* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.push_back(list->topLevelItem(i)->text(0).toStdString());
    return texts;
}

// The composers the templates tab opened: they free themselves only when
// closed, and a test closes none of them.
void deleteComposers()
{
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<manager::TfrmMessage*>(window))
            windows.emplace_back(window);
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}

class AgentsTab : public WindowTest {
protected:
    AgentDriver driver;
    manager::TfrmMain main;
    Ui::TfrmMain& ui = *main.ui();
    std::string agents = dir.path() + "/agents/";
    std::string templates = dir.path() + "/templates/";

    void SetUp() override
    {
        WindowTest::SetUp();
        platform::ForceDirectories(agents);
        platform::ForceDirectories(templates);
        main.Folders().agents = agents;
        main.Folders().templates = templates;
        // A rename carries the attached-agent rows, so the tables are open.
        main.Tables().SetDatabaseFolder(homeDir());
        main.Tables().OpenInStartupOrder();
        onDialog = [this](QDialog& dialog) { return driver.answer(dialog); };
    }
    void TearDown() override
    {
        deleteComposers();
        WindowTest::TearDown();
    }

    void select(QTreeWidget* list, const std::string& caption)
    {
        list->clearSelection();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0).toStdString() == caption)
                list->topLevelItem(i)->setSelected(true);
    }
    // Edits an item's caption as the list's in-place editor does.
    void rename(QTreeWidget* list, const std::string& from, const std::string& to)
    {
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0).toStdString() == from)
                return list->topLevelItem(i)->setText(0, QString::fromStdString(to));
        ADD_FAILURE() << "no item " << from;
    }
    std::string agentText(const std::string& name) { return test_support::readFile(agents + name + ".agent"); }
    void threeTriggerAgent(const std::string& name)
    {
        store::WriteAgentFile(agents + name + ".agent", "MESSAGE",
                              {{"Subject", "contains", "a"}, {"From", "contains", "b"}, {"To", "contains", "c"}},
                              {{"PLAY SOUND", "x.wav", ""}}, platform::Now());
    }
};

TEST_F(AgentsTab, TheListsShowTheirFolderFilesByNameWithoutExtension)
{
    for (const char* name : {"Orders.agent", "notes.txt", ".agent", "Upper.AGENT", "Alpha.agent", "what?.agent"})
        test_support::writeFile(agents + name, "[MAIN]\nAgentType=INTERVAL\n");
    platform::ForceDirectories(agents + "folder.agent");
    for (const char* name : {"Thanks.eml", "readme.txt"})
        test_support::writeFile(templates + name, "Subject: x\r\n\r\n");
    main.RefreshAgents();
    main.RefreshTemplates();
    EXPECT_EQ(captions(ui.lstVAgents), (std::vector<std::string>{"", "Alpha", "Orders", "what?"}));
    EXPECT_EQ(captions(ui.lstVTemplates), std::vector<std::string>{"Thanks"});
    // Listed, but never offered for attaching.
    std::vector<bool> attachable;
    for (int i = 0; i < ui.lstVAgents->topLevelItemCount(); ++i)
        attachable.push_back(manager::TfrmMain::IsAttachableAgentItem(*ui.lstVAgents->topLevelItem(i)));
    EXPECT_EQ(attachable, (std::vector<bool>{false, true, true, false}));
    EXPECT_EQ(ui.lstVAgents->headerItem()->text(0).toStdString(), "Agent Name");
    EXPECT_EQ(ui.lstVTemplates->headerItem()->text(0).toStdString(), "Template Name");

    ui.pageControlMain->setCurrentIndex(1);
    EXPECT_FALSE(ui.btnAgentsModify->isEnabled());
    select(ui.lstVAgents, "Orders");
    EXPECT_TRUE(ui.btnAgentsModify->isEnabled());
    EXPECT_TRUE(ui.btnAgentsDelete->isEnabled());
    EXPECT_TRUE(ui.mnuFileProperties->isEnabled());
    // Showing the window lists the folders afresh.
    main.resize(640, 400);
    main.show();
    EXPECT_FALSE(ui.btnAgentsModify->isEnabled());
    select(ui.lstVAgents, "Orders");
    screenshot(main, "manager_agents_tab");
    ui.pageControlMain->setCurrentIndex(2);
    select(ui.lstVTemplates, "Thanks");
    EXPECT_TRUE(ui.btnARDelete->isEnabled());
    screenshot(main, "manager_templates_tab");
}

TEST_F(AgentsTab, ANewAgentIsWrittenAndListed)
{
    driver.agent = {{{"Subject", "contains", "order"}}, {{"Close Tarsel", ""}}, "Closer"};
    ui.A1->trigger();
    EXPECT_EQ(ui.pageControlMain->currentIndex(), 1);
    EXPECT_EQ(captions(ui.lstVAgents), std::vector<std::string>{"Closer"});
    const store::AgentDefinition agent = store::ReadAgentFile(agents + "Closer.agent");
    EXPECT_EQ(agent.type, "MESSAGE");
    EXPECT_EQ(agent.actions, (std::vector<store::AgentAction>{{"CLOSE TARSEL", "", ""}}));
    // Cancelled: nothing written.
    driver = AgentDriver{};
    onDialog = [](QDialog&) { return int(QDialog::Rejected); };
    ui.btnAgentsNew->click();
    EXPECT_EQ(captions(ui.lstVAgents), std::vector<std::string>{"Closer"});
}

TEST_F(AgentsTab, ATakenNameIsReplacedOnlyWhenTheUserSaysSo)
{
    test_support::writeFile(agents + "Orders.agent", "[MAIN]\nAgentType=INTERVAL\nOwner=kept\n");
    const std::string before = agentText("Orders");
    driver.agent = {{{"Subject", "contains", "x"}}, {{"Play Sound", "a.wav"}}, "Orders"};
    driver.laterNames = {"Orders 2"};
    boxAnswer = QMessageBox::No;
    main.A1Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, manager::BoxKind::Question);
    EXPECT_NE(boxes[0].text.toStdString().find("\"Orders\" already exists"), std::string::npos);
    // The wizard came back with its agent; the other name was written.
    EXPECT_EQ(driver.wizardShowings, 2);
    EXPECT_EQ(agentText("Orders"), before);
    EXPECT_EQ(store::ReadAgentActions(agents + "Orders 2.agent"),
              (std::vector<store::AgentAction>{{"PLAY SOUND", "a.wav", ""}}));

    // The same in another case names the same agent.
    driver = AgentDriver{};
    driver.agent = {{{"Subject", "contains", "x"}}, {{"Play Sound", "b.wav"}}, "ORDERS"};
    boxAnswer = QMessageBox::Yes;
    main.A1Click();
    EXPECT_EQ(boxes.size(), 2u);
    const std::string replaced = agentText("Orders");
    EXPECT_EQ(replaced.find("Owner=kept"), std::string::npos) << replaced;
    EXPECT_EQ(store::ReadAgentActions(agents + "Orders.agent"),
              (std::vector<store::AgentAction>{{"PLAY SOUND", "b.wav", ""}}));
    EXPECT_FALSE(platform::FileExists(agents + "ORDERS.agent"));
}

TEST_F(AgentsTab, ChangingAnAgentToOneTriggerKeepsTheCountsRight)
{
    threeTriggerAgent("Three");
    main.RefreshAgents();
    select(ui.lstVAgents, "Three");
    driver.onProperties = [](QDialog& dialog) {
        auto* triggers = dialog.findChild<QTreeWidget*>(QStringLiteral("lstVTriggers"));
        EXPECT_EQ(triggers->topLevelItemCount(), 3);
        triggers->topLevelItem(0)->setSelected(true);
        dialog.findChild<QMenu*>(QStringLiteral("popTriggers"))->actions().at(3)->trigger();
        triggers->topLevelItem(1)->setSelected(true);
        dialog.findChild<QMenu*>(QStringLiteral("popTriggers"))->actions().at(3)->trigger();
        return int(QDialog::Accepted);
    };
    ui.btnAgentsModify->click();
    EXPECT_EQ(store::ReadAgentTriggers(agents + "Three.agent"),
              (std::vector<store::AgentTrigger>{{"From", "contains", "b"}}));
    const std::string text = agentText("Three");
    EXPECT_NE(text.find("TriggerCount=1\n"), std::string::npos);
    // Entries past the count stay; readers go by the count.
    EXPECT_NE(text.find("Entry3=To\n"), std::string::npos) << text;
}

TEST_F(AgentsTab, CancelLeavesTheFileAndAConfirmedIntervalAgentBecomesAMessageAgent)
{
    threeTriggerAgent("Three");
    test_support::writeFile(agents + "Timer.agent", "[MAIN]\nAgentType=INTERVAL\n");
    main.RefreshAgents();
    const std::string before = agentText("Three");
    TriggerInput extra{"Cc", "contains", "z"};
    driver.onProperties = [&](QDialog& dialog) {
        driver.addTrigger(dialog, extra);
        return int(QDialog::Rejected);
    };
    select(ui.lstVAgents, "Three");
    main.mnuFilePropertiesClick();  // not on the agents tab: the accounts' command
    ui.pageControlMain->setCurrentIndex(1);
    select(ui.lstVAgents, "Three");
    main.mnuFilePropertiesClick();
    EXPECT_EQ(agentText("Three"), before);

    int loaded = -1;
    driver.onProperties = [&](QDialog& dialog) {
        loaded = dialog.findChild<QTreeWidget*>(QStringLiteral("lstVTriggers"))->topLevelItemCount();
        driver.addTrigger(dialog, extra);
        return int(QDialog::Accepted);
    };
    select(ui.lstVAgents, "Timer");
    main.btnAgentsModifyClick();
    EXPECT_EQ(loaded, 0);
    const store::AgentDefinition agent = store::ReadAgentFile(agents + "Timer.agent");
    EXPECT_EQ(agent.type, "MESSAGE");
    EXPECT_EQ(agent.triggers, (std::vector<store::AgentTrigger>{{"Cc", "contains", "z"}}));
    // Nothing selected: nothing opens.
    ui.lstVAgents->clearSelection();
    const size_t shown = dialogs.size();
    main.btnAgentsModifyClick();
    EXPECT_EQ(dialogs.size(), shown);
}

TEST_F(AgentsTab, DeletingAsksAndActsOnTheListedFile)
{
    for (const char* name : {"Keep.agent", "what?.agent", "Gone.agent"})
        test_support::writeFile(agents + name, "[MAIN]\nAgentType=INTERVAL\n");
    main.RefreshAgents();
    select(ui.lstVAgents, "what?");
    boxAnswer = QMessageBox::No;
    main.btnAgentsDeleteClick();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption.toStdString(), " Delete Confirmation");
    EXPECT_EQ(boxes[0].text.toStdString(), "Are you sure you want to delete this agent?");
    EXPECT_TRUE(platform::FileExists(agents + "what?.agent"));

    boxAnswer = QMessageBox::Yes;
    main.btnAgentsDeleteClick();
    EXPECT_FALSE(platform::FileExists(agents + "what?.agent"));
    EXPECT_EQ(captions(ui.lstVAgents), (std::vector<std::string>{"Gone", "Keep"}));

    // Removed by another program meanwhile: no message, and the list follows.
    std::filesystem::remove(agents + "Gone.agent");
    select(ui.lstVAgents, "Gone");
    boxes.clear();
    main.btnAgentsDeleteClick();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Are you sure you want to delete this agent?"});
    EXPECT_EQ(captions(ui.lstVAgents), std::vector<std::string>{"Keep"});

    ui.lstVAgents->clearSelection();
    boxes.clear();
    main.btnAgentsDeleteClick();
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Are you sure you want to delete this agent?",
                                                    "Unable to delete agent"}));
}

TEST_F(AgentsTab, RenamingNeverReplacesNorLeavesTheFolder)
{
    for (const char* name : {"One.agent", "Two.agent", "what?.agent", ".agent"})
        test_support::writeFile(agents + name, std::string("[MAIN]\nAgentType=INTERVAL\nName=") + name + "\n");
    main.RefreshAgents();

    rename(ui.lstVAgents, "One", "Two");
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to rename agent"});
    EXPECT_EQ(captions(ui.lstVAgents), (std::vector<std::string>{"", "One", "Two", "what?"}));
    EXPECT_NE(agentText("Two").find("Name=Two.agent"), std::string::npos);
    EXPECT_NE(agentText("One").find("Name=One.agent"), std::string::npos);

    boxes.clear();
    rename(ui.lstVAgents, "One", "../One");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.toStdString().find("\"/\""), std::string::npos);
    EXPECT_TRUE(platform::FileExists(agents + "One.agent"));
    EXPECT_FALSE(platform::FileExists(dir.path() + "/One.agent"));
    EXPECT_EQ(captions(ui.lstVAgents)[1], "One");

    // Files made by hand whose names the check refuses can be renamed.
    boxes.clear();
    rename(ui.lstVAgents, "what?", "What");
    rename(ui.lstVAgents, "", "Nameless");
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_NE(agentText("What").find("Name=what?.agent"), std::string::npos);
    EXPECT_NE(agentText("Nameless").find("Name=.agent"), std::string::npos);
    // The renamed item goes on naming its new file.
    rename(ui.lstVAgents, "What", "What Now");
    EXPECT_TRUE(platform::FileExists(agents + "What Now.agent"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AgentsTab, RenamingAnAttachedAgentFromTheMenuKeepsItsAccountsRunningIt)
{
    test_support::writeFile(agents + "Orders.agent", "[MAIN]\nAgentType=INTERVAL\n");
    test_support::writeFile(templates + "Thanks.eml", "Subject: x\r\n\r\n");
    manager::AccountCommands accounts(main.Tables(), main.Ids(), homeDir());
    manager::NewAccountFields fields;
    fields.name = "Sales";
    fields.smtp = "smtp.example.org";
    fields.pop = "pop.example.org";
    fields.login = "sales";
    fields.address = "sales@example.org";
    fields.minutes = "15";
    fields.nextDate = "12/09/26";
    fields.nextTime = "12:30AM";
    accounts.NewAccount(accounts.NewFolder("Office"), fields);
    manager::AttachedAgents(main.Tables(), main.Ids(), homeDir()).Attach("Orders");
    main.populateGroups();
    main.RefreshAgents();
    main.RefreshTemplates();
    main.resize(640, 400);
    main.show();

    // File > Rename follows the selection of the tab's list, as Delete does.
    ui.pageControlMain->setCurrentIndex(1);
    EXPECT_FALSE(ui.mnuRename->isEnabled());
    ui.lstVAgents->setCurrentItem(ui.lstVAgents->topLevelItem(0));
    ASSERT_TRUE(ui.mnuRename->isEnabled());
    ui.mnuRename->trigger();
    auto* editor = ui.lstVAgents->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    // The editor stops at what the attached rows' AGENT field holds.
    editor->setText(QString(120, QLatin1Char('o')));
    EXPECT_EQ(editor->text().size(), store::kAgentNameWidth);
    // Typed and committed as the in-place editor does on Return.
    editor->setText(QStringLiteral("Sales Orders"));
    emit ui.lstVAgents->itemDelegate()->commitData(editor);

    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(captions(ui.lstVAgents), std::vector<std::string>{"Sales Orders"});
    EXPECT_TRUE(platform::FileExists(agents + "Sales Orders.agent"));
    // The account's attached item names the agent it still runs.
    EXPECT_TRUE(ui.treeMain->findItems(QStringLiteral("Orders"), Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
    EXPECT_EQ(ui.treeMain->findItems(QStringLiteral("Sales Orders"), Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
    // The rebuilt tree leaves the tab's File entries on its selection.
    EXPECT_TRUE(ui.mnuFileDelete->isEnabled());
    EXPECT_TRUE(ui.mnuRename->isEnabled());

    ui.pageControlMain->setCurrentIndex(2);
    EXPECT_FALSE(ui.mnuRename->isEnabled());
    ui.lstVTemplates->setCurrentItem(ui.lstVTemplates->topLevelItem(0));
    EXPECT_TRUE(ui.mnuRename->isEnabled());
    ui.lstVTemplates->clearSelection();
    EXPECT_FALSE(ui.mnuRename->isEnabled());
}

TEST_F(AgentsTab, TemplatesAreOpenedRenamedAndDeletedByTheirFiles)
{
    for (const char* name : {"Thanks.eml", "Sorry.eml"})
        test_support::writeFile(templates + name, std::string("Subject: ") + name + "\r\n\r\n");
    main.RefreshTemplates();
    select(ui.lstVTemplates, "Thanks");
    ui.btnARModify->click();
    ASSERT_EQ(main.ComposerRequests().size(), 1u);
    EXPECT_EQ(main.ComposerRequests()[0].fileName, templates + "Thanks.eml");

    rename(ui.lstVTemplates, "Thanks", "Sorry");
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to rename template"});
    EXPECT_EQ(test_support::readFile(templates + "Sorry.eml"), "Subject: Sorry.eml\r\n\r\n");
    boxes.clear();
    rename(ui.lstVTemplates, "Thanks", "Thank You");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(test_support::readFile(templates + "Thank You.eml"), "Subject: Thanks.eml\r\n\r\n");

    select(ui.lstVTemplates, "Sorry");
    boxAnswer = QMessageBox::Yes;
    main.btnARDeleteClick();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Are you sure you want to delete this template?"});
    EXPECT_FALSE(platform::FileExists(templates + "Sorry.eml"));
    EXPECT_EQ(captions(ui.lstVTemplates), std::vector<std::string>{"Thank You"});
}

class TemplatesOnTables : public WindowTest {
protected:
    void TearDown() override
    {
        deleteComposers();
        WindowTest::TearDown();
    }
    static void addSender(manager::TfrmMain& main)
    {
        TTable& nodes = main.Tables().Table("TableNodes2");
        nodes.Append();
        nodes.FieldByName("UNIQUE_ID").SetAsString("acc7");
        nodes.FieldByName("NODE").SetAsString("Help Desk");
        nodes.FieldByName("ADDRESS").SetAsString("desk@example.org");
        nodes.Post();
    }
};

TEST_F(TemplatesOnTables, ANewTemplateStartsWithTheCurrentAccountsSender)
{
    manager::Post32Program program;
    program.Show();
    QApplication::processEvents();
    manager::TfrmMain& main = program.frmMain();
    addSender(main);
    main.ui()->btnARNew->click();
    EXPECT_EQ(main.ui()->pageControlMain->currentIndex(), 2);
    ASSERT_EQ(main.ComposerRequests().size(), 1u);
    EXPECT_EQ(main.ComposerRequests()[0].fileName, "");
    EXPECT_EQ(main.ComposerRequests()[0].sender,
              (manager::TemplateSender{"acc7", "Help Desk", "desk@example.org"}));
    // The action dialog's "&Create New" runs the same command.
    main.ui()->MailMessageTemplate1->trigger();
    EXPECT_EQ(main.ComposerRequests().size(), 2u);
}

TEST_F(TemplatesOnTables, NewOpensAComposerFromTheAccountAndOpenLoadsTheTemplate)
{
    manager::Post32Program program;
    program.Show();
    QApplication::processEvents();
    manager::TfrmMain& main = program.frmMain();
    addSender(main);
    main.ui()->btnARNew->click();
    QPointer<manager::TfrmMessage> created = newest<manager::TfrmMessage>();
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->isVisible());
    EXPECT_EQ(created->ui()->lblFrom->text().toStdString(), "acc7");
    EXPECT_EQ(created->ui()->lblFromName->text().toStdString(), "Help Desk");
    EXPECT_EQ(created->ui()->lblFromAddress->text().toStdString(), "desk@example.org");
    delete created.data();

    const std::string file = main.Folders().templates + "Thanks.eml";
    test_support::writeFile(file, "Subject: Thank you for writing\r\n\r\nWe read every message.\r\n");
    main.ui()->pageControlMain->setCurrentIndex(2);
    main.RefreshTemplates();
    main.ui()->lstVTemplates->topLevelItem(0)->setSelected(true);
    main.ui()->btnARModify->click();
    QPointer<manager::TfrmMessage> opened = newest<manager::TfrmMessage>();
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->ui()->lblSubject->text().toStdString(), "Thank you for writing");
    EXPECT_EQ(opened->ui()->lblFilename->text().toStdString(), file);
    EXPECT_EQ(opened->CurrentFileName(), file);
    screenshot(*opened, "template_composer");
}

}  // namespace
}  // namespace managertest
