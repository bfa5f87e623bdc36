// The agent wizard, the trigger and action dialogs and the agent properties
// dialog: what each offers, what each hands back, and the lists kept
// parallel while rows come and go.
#include "window_fixture.h"

#include <QMenu>
#include <QTest>

#include "agent_driver.h"
#include "manager/dialogs/agent_list_editor.h"
#include "manager/dialogs/tfrm_action.h"
#include "manager/dialogs/tfrm_agent_properties.h"
#include "manager/dialogs/tfrm_new_agent.h"
#include "manager/dialogs/tfrm_trigger.h"
#include "platform/process.h"
#include "ui_tfrm_action.h"
#include "ui_tfrm_agent_properties.h"
#include "ui_tfrm_new_agent.h"
#include "ui_tfrm_trigger.h"

namespace managertest {
namespace {

using manager::AgentLists;

std::string text(const QString& value) { return value.toStdString(); }

std::vector<std::string> comboItems(const QComboBox* combo)
{
    std::vector<std::string> items;
    for (int i = 0; i < combo->count(); ++i)
        items.push_back(text(combo->itemText(i)));
    return items;
}

class AgentDialogs : public WindowTest {
protected:
    AgentDriver driver;
    void SetUp() override
    {
        WindowTest::SetUp();
        onDialog = [this](QDialog& dialog) { return driver.answer(dialog); };
    }
};

TEST_F(AgentDialogs, ANewTriggerReadsAsASentenceAtOnce)
{
    manager::TfrmTrigger trigger;
    Ui::TfrmTrigger& ui = *trigger.ui();
    EXPECT_EQ(trigger.windowTitle().toStdString(), "Trigger Settings");
    EXPECT_EQ(comboItems(ui.cmbHeader),
              (std::vector<std::string>{"Subject", "From", "To", "Cc", "Reply To", "<Any Header>", "<Body>"}));
    EXPECT_EQ(comboItems(ui.cmbCondition),
              (std::vector<std::string>{"contains", "doesn't contain", "begins with", ""}));
    EXPECT_EQ(text(ui.lblCondition->text()), "If the Subject contains ");
    ui.cmbCondition->setCurrentIndex(2);
    QTest::keyClicks(ui.memoValue, "Re:");
    EXPECT_EQ(text(ui.lblCondition->text()), "If the Subject begins with Re:");
    trigger.show();
    screenshot(trigger, "manager_trigger_dialog");
}

TEST_F(AgentDialogs, EditingAStoredTriggerKeepsWhatTheListDoesNotHold)
{
    manager::TfrmTrigger trigger;
    // Choices found without regard to case.
    trigger.SetTrigger("SUBJECT", "CONTAINS", "x");
    EXPECT_EQ(trigger.Header(), "Subject");
    EXPECT_EQ(trigger.Condition(), "contains");
    // A header or condition written by hand is shown and kept, not blanked.
    manager::TfrmTrigger other;
    other.SetTrigger("X-Mailer", "DOES NOT CONTAIN", "spam");
    EXPECT_EQ(other.Header(), "X-Mailer");
    EXPECT_EQ(other.Condition(), "DOES NOT CONTAIN");
    EXPECT_EQ(other.Value(), "spam");
    EXPECT_EQ(other.ui()->cmbHeader->count(), 8);
    manager::TfrmTrigger empty;
    empty.SetTrigger("<Body>", "", "");
    EXPECT_EQ(empty.Condition(), "");
    EXPECT_EQ(empty.ui()->cmbCondition->count(), 4);
}

TEST_F(AgentDialogs, TheActionDialogHandsBackTheChosenActionsParameter)
{
    manager::TfrmAction action;
    Ui::TfrmAction& ui = *action.ui();
    action.show();
    EXPECT_EQ(action.windowTitle().toStdString(), "Action");
    ASSERT_EQ(ui.lstVActions->topLevelItemCount(), 10);
    EXPECT_EQ(text(ui.lstVActions->topLevelItem(9)->text(0)), "Run an tarselScript");
    // Before a choice: the launch frame alone, and OK cannot be pressed.
    EXPECT_TRUE(ui.frameLaunch->isVisible());
    EXPECT_FALSE(ui.frameForward->isVisible());
    EXPECT_FALSE(ui.btnOK->isEnabled());
    action.OKClick();
    EXPECT_EQ(action.result(), QDialog::Rejected);
    screenshot(action, "manager_action_dialog");

    action.SelectAction("Forward To");
    EXPECT_TRUE(ui.frameForward->isVisible());
    EXPECT_FALSE(ui.frameLaunch->isVisible());
    ui.edtCommand->setText("not this");
    ui.edtForwardAddress->setText("boss@example.org");
    ui.btnOK->click();
    EXPECT_EQ(action.result(), QDialog::Accepted);
    EXPECT_EQ(action.Parameter(), "boss@example.org");
    EXPECT_EQ(action.Extra(), "");
    screenshot(action, "manager_action_forward");
}

TEST_F(AgentDialogs, FramelessActionsGiveAnEmptyParameterAndTheDelayIsBounded)
{
    for (const char* caption : {"Close Tarsel", "Remove from further agent processing", "Restart the computer"}) {
        manager::TfrmAction action;
        action.show();
        action.ui()->edtCommand->setText("x");
        action.SelectAction(caption);
        EXPECT_FALSE(action.ui()->frameLaunch->isVisible()) << caption;
        action.OKClick();
        EXPECT_EQ(action.result(), QDialog::Accepted) << caption;
        EXPECT_EQ(action.Parameter(), "") << caption;
    }
    manager::TfrmAction delay;
    delay.show();
    delay.SelectAction("Delay the Agent");
    EXPECT_TRUE(delay.ui()->frameDelay->isVisible());
    EXPECT_EQ(delay.ui()->edtSecs->value(), 1);
    // The processor sleeps without handling anything: an hour at most.
    delay.ui()->edtSecs->setValue(1000000);
    EXPECT_EQ(delay.ui()->edtSecs->value(), 3600);
    delay.OKClick();
    EXPECT_EQ(delay.Parameter(), "3600");
    screenshot(delay, "manager_action_delay");
}

TEST_F(AgentDialogs, TheSoundLoopIsNeverAParameterAndChoosersFillTheirFields)
{
    std::vector<manager::FileRequest> requests;
    manager::DialogSeam::SetFileAnswerer([&](const manager::FileRequest& request) {
        requests.push_back(request);
        return requests.size() == 1 ? QStringLiteral("/sounds/bell.wav") : QString();
    });
    int created = 0;
    manager::TfrmAction action(nullptr, "/tpl/", [&](QWidget*) {
        ++created;
        return std::string();
    });
    Ui::TfrmAction& ui = *action.ui();
    action.show();
    action.SelectAction("Play Sound");
    EXPECT_FALSE(ui.edtLoopCount->isEnabled());
    ui.chkLoop->setChecked(true);
    EXPECT_TRUE(ui.edtLoopCount->isEnabled());
    EXPECT_EQ(ui.edtLoopCount->minimum(), 1);
    ui.edtLoopCount->setValue(4);
    ui.btnSoundBrowse->click();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(text(requests[0].filter), "WAV Files (*.wav);;All Files (*)");
    EXPECT_EQ(text(requests[0].defaultSuffix), "wav");
    // A cancelled chooser leaves the field alone.
    ui.btnReplyBrowse->click();
    EXPECT_EQ(text(requests[1].filter), "E-Mail Messages (*.eml);;All Files (*)");
    EXPECT_EQ(text(ui.edtReplywith->text()), "");
    ui.btnCreateNew->click();
    EXPECT_EQ(created, 1);
    action.OKClick();
    EXPECT_EQ(action.Parameter(), "/sounds/bell.wav");
}

// The launch chooser asks for programs first; the path it gives becomes a
// command line that starts that program, blanks and quotes in it or not.
TEST_F(AgentDialogs, AChosenProgramIsOfferedFirstAndQuotedWhenItsPathNeedsIt)
{
    std::vector<manager::FileRequest> requests;
    QString answer;
    manager::DialogSeam::SetFileAnswerer([&](const manager::FileRequest& request) {
        requests.push_back(request);
        return answer;
    });
    manager::TfrmAction action;
    Ui::TfrmAction& ui = *action.ui();
    action.show();
    action.SelectAction("Launch Program");
    for (const std::string path : {"/home/ann/my tools/launch.sh", "/home/ann/Ann's \"tools\"/view", "/usr/bin/mutt"}) {
        answer = QString::fromStdString(path);
        ui.btnCommandBrowse->click();
        EXPECT_EQ(platform::SplitCommandLine(text(ui.edtCommand->text())), std::vector<std::string>{path});
    }
    EXPECT_EQ(text(ui.edtCommand->text()), "/usr/bin/mutt");
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(text(requests[0].filter), "Application files (*);;All Files (*)");
    EXPECT_TRUE(requests[0].programsFirst);
    EXPECT_EQ(text(requests[0].defaultSuffix), "");

    answer = QStringLiteral("/home/ann/my tools/launch.sh");
    ui.btnCommandBrowse->click();
    EXPECT_EQ(text(ui.edtCommand->text()), "'/home/ann/my tools/launch.sh'");
    // A cancelled chooser leaves the command as it was.
    answer.clear();
    ui.btnCommandBrowse->click();
    action.OKClick();
    EXPECT_EQ(action.Parameter(), "'/home/ann/my tools/launch.sh'");
    screenshot(action, "manager_action_launch_quoted");
    // The other choosers list by name.
    ui.btnSoundBrowse->click();
    EXPECT_FALSE(requests.back().programsFirst);
}

TEST_F(AgentDialogs, TheWizardGoesOnOnlyWithATriggerAnActionAndAName)
{
    manager::TfrmNewAgent wizard;
    Ui::TfrmNewAgent& ui = *wizard.ui();
    wizard.show();
    EXPECT_EQ(wizard.windowTitle().toStdString(), "Agent Wizard");
    EXPECT_EQ(wizard.size(), QSize(508, 311));
    EXPECT_TRUE(ui.grpAgentKind->isHidden());
    EXPECT_EQ(wizard.AgentKind(), "MESSAGE");
    screenshot(wizard, "manager_agent_wizard_1_welcome");
    TEPWizard& steps = *ui.EPWizard1;
    steps.NextButton()->click();
    EXPECT_EQ(steps.ActivePage(), ui.pgTrigger);
    EXPECT_FALSE(steps.NextButton()->isEnabled());
    EXPECT_EQ(text(ui.btnAdd->text()), "&Add");
    TriggerInput subject{"Subject", "contains", "order"};
    driver.addTrigger(wizard, subject);
    EXPECT_TRUE(steps.NextButton()->isEnabled());
    EXPECT_EQ(text(ui.btnAdd->text()), "&And");
    EXPECT_EQ(text(wizard.Editor().TriggerMenu()->actions().at(0)->text()), "&And");
    screenshot(wizard, "manager_agent_wizard_2_trigger");

    steps.NextButton()->click();
    EXPECT_FALSE(steps.NextButton()->isEnabled());
    // A cancelled action dialog adds nothing.
    ui.btnActionAdd->click();
    EXPECT_EQ(ui.lstVActions->topLevelItemCount(), 0);
    ActionInput forward{"Forward To", "boss@example.org"};
    driver.addAction(wizard, forward);
    EXPECT_TRUE(steps.NextButton()->isEnabled());
    ASSERT_EQ(ui.lstVActions->topLevelItemCount(), 1);
    EXPECT_EQ(text(ui.lstVActions->topLevelItem(0)->text(0)), "Forward To");
    EXPECT_EQ(text(ui.lstVActions->topLevelItem(0)->text(1)), "boss@example.org");
    screenshot(wizard, "manager_agent_wizard_3_action");

    steps.NextButton()->click();
    EXPECT_FALSE(steps.NextButton()->isEnabled());
    QTest::keyClicks(ui.edtAgentName, "Orders/2026");
    EXPECT_TRUE(steps.NextButton()->isEnabled());
    screenshot(wizard, "manager_agent_wizard_4_name");
    // A slash is refused, and the user is told why.
    steps.NextButton()->click();
    EXPECT_EQ(wizard.result(), QDialog::Rejected);
    EXPECT_EQ(steps.ActivePage(), ui.pgName);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(text(boxes[0].text).find("\"/\""), std::string::npos);
    ui.edtAgentName->setText("Orders 2026");
    steps.NextButton()->click();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(wizard.AgentName(), "Orders 2026");
    EXPECT_EQ(wizard.Lists(),
              (AgentLists{{"Subject"}, {"contains"}, {"order"}, {"FORWARD TO"}, {"boss@example.org"}, {""}}));
}

TEST_F(AgentDialogs, EveryNameTheAgentCheckRefusesIsExplained)
{
    for (const char* name : {"..", "what?", "back\\slash", " padded"}) {
        manager::TfrmNewAgent wizard;
        wizard.ui()->edtAgentName->setText(name);
        boxes.clear();
        wizard.FinishClick();
        EXPECT_EQ(wizard.result(), QDialog::Rejected) << name;
        EXPECT_EQ(boxes.size(), 1u) << name;
    }
    // Longer than an attached agent's AGENT field holds: the field stops
    // there, so Finish has no length to refuse.
    manager::TfrmNewAgent wizard;
    wizard.ui()->edtAgentName->setText(QString(150, QLatin1Char('a')));
    EXPECT_EQ(wizard.ui()->edtAgentName->text(), QString(99, QLatin1Char('a')));
    boxes.clear();
    wizard.FinishClick();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_TRUE(boxes.empty()) << text(boxes.front().text);
}

TEST_F(AgentDialogs, EditAndDeleteKeepTheHiddenListsParallel)
{
    manager::TfrmNewAgent wizard;
    Ui::TfrmNewAgent& ui = *wizard.ui();
    std::vector<TriggerInput> inputs{{"Subject", "contains", "a"}, {"From", "begins with", "b"},
                                     {"To", "doesn't contain", "c"}, {"<Body>", "", "d"}};
    for (const TriggerInput& input : inputs)
        driver.addTrigger(wizard, input);
    QMenu& menu = *wizard.Editor().TriggerMenu();
    QAction* edit = menu.actions().at(1);
    QAction* remove = menu.actions().at(3);

    edit->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(text(boxes[0].text), "Nothing selected for editing.");
    ui.lstVTriggers->topLevelItem(0)->setSelected(true);
    ui.lstVTriggers->topLevelItem(2)->setSelected(true);
    edit->trigger();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(text(boxes[1].text), "Cannot edit more than one item at a time.");

    remove->trigger();
    EXPECT_EQ(wizard.Lists().header, (std::vector<std::string>{"From", "<Body>"}));
    EXPECT_EQ(wizard.Lists().condition, (std::vector<std::string>{"begins with", ""}));
    EXPECT_EQ(wizard.Lists().value, (std::vector<std::string>{"b", "d"}));

    // Editing the middle row replaces its entries in place.
    TriggerInput last{"Cc", "contains", "e"};
    driver.addTrigger(wizard, last);
    ui.lstVTriggers->clearSelection();
    ui.lstVTriggers->topLevelItem(1)->setSelected(true);
    const TriggerInput body{"<Body>", "contains", "f"};
    onDialog = [&](QDialog& dialog) {
        auto& trigger = static_cast<manager::TfrmTrigger&>(dialog);
        // The stored entries are what the dialog shows.
        EXPECT_EQ(trigger.Header(), "<Body>");
        EXPECT_EQ(trigger.Condition(), "");
        EXPECT_EQ(trigger.Value(), "d");
        trigger.SetTrigger(body.header, body.condition, body.value);
        return int(QDialog::Accepted);
    };
    edit->trigger();
    EXPECT_EQ(text(ui.lstVTriggers->topLevelItem(1)->text(2)), "f");
    EXPECT_EQ(wizard.Lists().condition, (std::vector<std::string>{"begins with", "contains", "contains"}));
    EXPECT_EQ(wizard.Lists().value, (std::vector<std::string>{"b", "f", "e"}));
}

TEST_F(AgentDialogs, ThePropertiesDialogShowsStoredNamesAndFallsBackToAdd)
{
    manager::TfrmAgentProperties properties;
    Ui::TfrmAgentProperties& ui = *properties.ui();
    EXPECT_EQ(properties.windowTitle().toStdString(), "Agent Properties");
    properties.SetLists({{"SUBJECT"}, {"contains"}, {"x"}, {"FORWARD TO", "PLAY SOUND"}, {"a@b", "s.wav"}, {"", ""}});
    properties.show();
    EXPECT_EQ(text(ui.lstVActions->topLevelItem(0)->text(0)), "FORWARD TO");
    EXPECT_EQ(text(ui.btnAdd->text()), "&And");
    EXPECT_EQ(text(properties.Editor().TriggerMenu()->actions().at(0)->text()), "&And");
    EXPECT_FALSE(properties.Editor().ActionMenu()->actions().at(1)->isVisible());
    screenshot(properties, "manager_agent_properties");

    // Editing the loaded "SUBJECT" trigger offers "Subject".
    onDialog = [&](QDialog& dialog) {
        EXPECT_EQ(static_cast<manager::TfrmTrigger&>(dialog).Header(), "Subject");
        return int(QDialog::Rejected);
    };
    ui.lstVTriggers->topLevelItem(0)->setSelected(true);
    properties.Editor().EditTrigger();
    EXPECT_EQ(dialogs.size(), 1u);

    properties.Editor().DeleteTriggers();
    EXPECT_EQ(text(ui.btnAdd->text()), "&Add");
    EXPECT_TRUE(properties.Lists().header.empty());
    ui.lstVActions->topLevelItem(1)->setSelected(true);
    properties.Editor().DeleteActions();
    EXPECT_EQ(properties.Lists().actionParam1, std::vector<std::string>{"FORWARD TO"});
    EXPECT_EQ(properties.Lists().actionParam2, std::vector<std::string>{"a@b"});
    ui.PageControl1->setCurrentIndex(1);
    screenshot(properties, "manager_agent_properties_actions");
}

}  // namespace
}  // namespace managertest
