#include "agent_driver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "manager/dialogs/tfrm_action.h"
#include "manager/dialogs/tfrm_agent_properties.h"
#include "manager/dialogs/tfrm_new_agent.h"
#include "manager/dialogs/tfrm_trigger.h"
#include "ui_tfrm_action.h"
#include "ui_tfrm_agent_properties.h"
#include "ui_tfrm_new_agent.h"
#include "ui_tfrm_trigger.h"

namespace managertest {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

// The parameter field of each action with one.
QWidget* parameterField(Ui::TfrmAction& ui, const std::string& caption)
{
    if (caption == "Auto-Reply")
        return ui.edtReplywith;
    if (caption == "Delay the Agent")
        return ui.edtSecs;
    if (caption == "Forward To")
        return ui.edtForwardAddress;
    if (caption == "Launch Program")
        return ui.edtCommand;
    if (caption == "Play Sound")
        return ui.edtSound;
    if (caption == "Redirect To")
        return ui.edtRedirectto;
    if (caption == "Run an tarselScript")
        return ui.edtScript;
    return nullptr;
}

}  // namespace

int AgentDriver::answer(QDialog& dialog)
{
    if (qobject_cast<manager::TfrmNewAgent*>(&dialog))
        return walkWizard(dialog);
    if (qobject_cast<manager::TfrmTrigger*>(&dialog))
        return answerTrigger(dialog);
    if (qobject_cast<manager::TfrmAction*>(&dialog))
        return answerAction(dialog);
    if (qobject_cast<manager::TfrmAgentProperties*>(&dialog) && onProperties)
        return onProperties(dialog);
    return QDialog::Rejected;
}

void AgentDriver::addTrigger(QDialog& owner, const TriggerInput& trigger)
{
    pendingTrigger_ = &trigger;
    owner.findChild<QPushButton*>(QStringLiteral("btnAdd"))->click();
    pendingTrigger_ = nullptr;
}

void AgentDriver::addAction(QDialog& owner, const ActionInput& action)
{
    pendingAction_ = &action;
    owner.findChild<QPushButton*>(QStringLiteral("btnActionAdd"))->click();
    pendingAction_ = nullptr;
}

int AgentDriver::walkWizard(QDialog& dialog)
{
    auto& wizard = static_cast<manager::TfrmNewAgent&>(dialog);
    Ui::TfrmNewAgent& ui = *wizard.ui();
    // The wizard makes its first page active when it is first shown.
    wizard.show();
    if (wizardShowings++ > 0) {
        // Shown again: everything entered is still there; only the name changes.
        if (laterNames.empty())
            return QDialog::Rejected;
        ui.edtAgentName->setText(q(laterNames.front()));
        laterNames.erase(laterNames.begin());
        ui.EPWizard1->NextButton()->click();
        return dialog.result();
    }
    ui.EPWizard1->NextButton()->click();
    for (const TriggerInput& trigger : agent.triggers)
        addTrigger(dialog, trigger);
    ui.EPWizard1->NextButton()->click();
    for (const ActionInput& action : agent.actions)
        addAction(dialog, action);
    ui.EPWizard1->NextButton()->click();
    ui.edtAgentName->setText(q(agent.name));
    // Next reads Finish on the last page.
    ui.EPWizard1->NextButton()->click();
    return dialog.result();
}

int AgentDriver::answerTrigger(QDialog& dialog)
{
    if (!pendingTrigger_)
        return QDialog::Rejected;
    Ui::TfrmTrigger& ui = *static_cast<manager::TfrmTrigger&>(dialog).ui();
    ui.cmbHeader->setCurrentText(q(pendingTrigger_->header));
    ui.cmbCondition->setCurrentIndex(ui.cmbCondition->findText(q(pendingTrigger_->condition)));
    ui.memoValue->setText(q(pendingTrigger_->value));
    return QDialog::Accepted;
}

int AgentDriver::answerAction(QDialog& dialog)
{
    if (!pendingAction_)
        return QDialog::Rejected;
    auto& action = static_cast<manager::TfrmAction&>(dialog);
    action.SelectAction(pendingAction_->caption);
    QWidget* field = parameterField(*action.ui(), pendingAction_->caption);
    if (pendingAction_->browse && pendingAction_->caption == "Launch Program")
        action.ui()->btnCommandBrowse->click();
    else if (pendingAction_->browse)
        action.ui()->btnReplyBrowse->click();
    else if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->setText(q(pendingAction_->parameter));
    else if (auto* spin = qobject_cast<QSpinBox*>(field))
        spin->setValue(std::stoi(pendingAction_->parameter));
    action.ui()->btnOK->click();
    return dialog.result();
}

}  // namespace managertest
