// The preferences command through its dialog, answered as a user would.
#include "window_fixture.h"

#include <QApplication>
#include <QTest>
#include <QTreeWidget>

#include "agent_driver.h"
#include "manager/dialogs/tfrm_pref.h"
#include "manager/main/tfrm_main.h"
#include "platform/dialup_backend.h"
#include "platform/ini_file.h"
#include "tests/support/fake_dialup_backend.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_pref.h"

namespace managertest {
namespace {

using manager::TfrmPref;

class PreferencesWindow : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        dialup->phoneBook = {"Office ISP"};
        platform::setDialupBackend(dialup);
    }
    void TearDown() override
    {
        main.reset();
        platform::setDialupBackend(nullptr);
        WindowTest::TearDown();
    }
    void start()
    {
        main = std::make_unique<manager::TfrmMain>();
        main->FormCreate();
    }
    // Opens the preferences; `answer` plays the user and returns the result.
    void openPreferences(const std::function<int(TfrmPref&)>& answer)
    {
        onDialog = [&answer](QDialog& dialog) {
            auto* pref = qobject_cast<TfrmPref*>(&dialog);
            EXPECT_NE(pref, nullptr);
            dialog.show();
            const int result = pref ? answer(*pref) : int(QDialog::Rejected);
            dialog.hide();
            return result;
        };
        main->ui()->SetPreferences1->trigger();
    }
    std::string key(const char* section, const char* name) const
    {
        return platform::IniFile("tarsel.ini").ReadString(section, name, "<absent>");
    }

    std::shared_ptr<test_support::FakeDialupBackend> dialup = std::make_shared<test_support::FakeDialupBackend>();
    std::unique_ptr<manager::TfrmMain> main;
};

TEST_F(PreferencesWindow, StoredRasInAnyCaseShowsDialupAndLanDisablesTheEntry)
{
    writeSettings("[Connect]\nMethod=ras\n");
    start();
    openPreferences([](TfrmPref& pref) {
        Ui::TfrmPref& ui = *pref.ui();
        EXPECT_EQ(ui.PageControl1->currentIndex(), 0);
        EXPECT_TRUE(ui.optDUN->isChecked());
        EXPECT_TRUE(ui.RASComboBox->isEnabled());
        EXPECT_TRUE(ui.lblRasSpec->isEnabled());
        EXPECT_EQ(ui.RASComboBox->count(), 2);
        EXPECT_EQ(ui.RASComboBox->itemText(0).toStdString(), "None");
        ui.optLAN->click();
        EXPECT_FALSE(ui.RASComboBox->isEnabled());
        EXPECT_FALSE(ui.lblRasSpec->isEnabled());
        return int(QDialog::Rejected);
    });
    // Cancel writes nothing.
    EXPECT_EQ(key("Connect", "Method"), "ras");
}

TEST_F(PreferencesWindow, NoneWithDialupGivesNoDialupError)
{
    start();
    openPreferences([](TfrmPref& pref) {
        pref.ui()->optDUN->setChecked(true);
        pref.ui()->RASComboBox->setCurrentIndex(0);
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(key("Connect", "Method"), "RAS");
    EXPECT_EQ(key("RAS", "Service"), "None");
}

TEST_F(PreferencesWindow, AChangedMessagesPathAnsweredNoIsRestoredInTheDialogAndTheFile)
{
    start();
    const std::string before = main->Folders().messages;
    boxAnswer = QMessageBox::No;
    std::string shownAfterOk;
    openPreferences([&](TfrmPref& pref) {
        pref.ui()->edtMessagesPath->setText(QStringLiteral("/srv/mail/"));
        pref.ui()->chkDisableSounds->setChecked(true);
        return int(QDialog::Accepted);
    });
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].kind, manager::BoxKind::Question);
    EXPECT_EQ(boxes[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(boxTexts()[0],
              "You have selected a new messages path.  Are you sure you want to store messages in /srv/mail/?");
    EXPECT_EQ(boxTexts()[1], "Your messages path has been restored to the previous setting.");
    EXPECT_EQ(main->Folders().messages, before);
    EXPECT_EQ(key("Folders", "Messages"), before);
    EXPECT_EQ(key("Misc", "SoundsDisabled"), "1");
}

TEST_F(PreferencesWindow, SoundsSwitchedOffInTheDialogSilenceTheNextSound)
{
    start();
    EXPECT_EQ(key("Misc", "SoundsDisabled"), "<absent>");
    openPreferences([](TfrmPref& pref) {
        pref.ui()->chkDisableSounds->setChecked(true);
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(main->SettingsFile().SoundsDisabled());
}

TEST_F(PreferencesWindow, AgentsAndTemplatesFoldersTypedWithoutTheSeparatorHoldTheirFiles)
{
    start();
    const std::string agents = dir.path() + "/x/agents";
    const std::string templates = dir.path() + "/x/templates";
    platform::ForceDirectories(agents);
    platform::ForceDirectories(templates);
    openPreferences([&](TfrmPref& pref) {
        pref.ui()->edtAgentsPath->setText(QString::fromStdString(agents));
        pref.ui()->edtTemplates->setText(QString::fromStdString(templates));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(key("Folders", "Agents"), agents + "/");
    EXPECT_EQ(key("Folders", "Templates"), templates + "/");
    EXPECT_EQ(main->Folders().agents, agents + "/");
    EXPECT_EQ(main->Folders().templates, templates + "/");

    // A new agent lands inside the folder, is listed, and Delete removes it.
    AgentDriver driver;
    driver.agent = {{{"Subject", "contains", "order"}}, {{"Close Tarsel", ""}}, "Closer"};
    onDialog = [&driver](QDialog& dialog) { return driver.answer(dialog); };
    main->A1Click();
    EXPECT_TRUE(platform::FileExists(agents + "/Closer.agent"));
    EXPECT_FALSE(platform::FileExists(agents + "Closer.agent"));
    QTreeWidget* list = main->ui()->lstVAgents;
    ASSERT_EQ(list->topLevelItemCount(), 1);
    list->setCurrentItem(list->topLevelItem(0));
    boxAnswer = QMessageBox::Yes;
    main->btnAgentsDeleteClick();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Are you sure you want to delete this agent?"});
    EXPECT_FALSE(platform::FileExists(agents + "/Closer.agent"));
    EXPECT_EQ(list->topLevelItemCount(), 0);

    // A template in the folder is listed from it and removed from it.
    test_support::writeFile(templates + "/Thanks.eml", "Subject: x\r\n\r\n");
    main->RefreshTemplates();
    QTreeWidget* templatesList = main->ui()->lstVTemplates;
    ASSERT_EQ(templatesList->topLevelItemCount(), 1);
    main->ui()->pageControlMain->setCurrentIndex(2);
    templatesList->setCurrentItem(templatesList->topLevelItem(0));
    main->btnARDeleteClick();
    EXPECT_FALSE(platform::FileExists(templates + "/Thanks.eml"));
}

TEST_F(PreferencesWindow, Screenshot)
{
    writeSettings("[Connect]\nMethod=RAS\n");
    start();
    openPreferences([this](TfrmPref& pref) {
        screenshot(pref, "manager_preferences");
        pref.ui()->PageControl1->setCurrentIndex(1);
        screenshot(pref, "manager_preferences_folders");
        return int(QDialog::Rejected);
    });
}

}  // namespace
}  // namespace managertest
