#include "manager/dialogs/tfrm_new_agent.h"

#include "controls/qt_text.h"
#include "manager/dialogs/agent_dialog_look.h"
#include "manager/dialogs/agent_list_editor.h"
#include "manager/dialogs/stored_width.h"
#include "manager/seam/dialog_seam.h"
#include "store/agent_file.h"
#include "store/agent_name.h"
#include "store/table_layouts.h"
#include "ui_tfrm_new_agent.h"

namespace manager {

TfrmNewAgent::TfrmNewAgent(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmNewAgent)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmNewAgent"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(508, 311);
    ApplyAgentDialogLook(*this);
    Ui::TfrmNewAgent& u = *ui_;
    editor_ = new AgentListEditor(this,
                                  {u.lstVTriggers, u.lstVActions, u.btnAdd, u.btnActionAdd, u.lstHeader, u.lstCondition,
                                   u.lstValue, u.lstActionParam1, u.lstActionParam2, u.lstActionParam3},
                                  QStringLiteral("Add..."), QStringLiteral("Add..."));
    editor_->onChange = [this] { ui_->EPWizard1->UpdateNextButton(); };

    u.pgTrigger->setOnDoneQuery(
        [this](TEPWizardPage*, bool& done) { done = ui_->lstVTriggers->topLevelItemCount() > 0; });
    u.pgAction->setOnDoneQuery(
        [this](TEPWizardPage*, bool& done) { done = ui_->lstVActions->topLevelItemCount() > 0; });
    u.pgName->setOnDoneQuery([this](TEPWizardPage*, bool& done) { done = !ui_->edtAgentName->text().isEmpty(); });
    LimitToStoredWidth(*u.edtAgentName, store::kAgentNameWidth);
    connect(u.edtAgentName, &QLineEdit::textChanged, this, [this] { ui_->EPWizard1->UpdateNextButton(); });
    connect(u.EPWizard1, &TEPWizard::OnFinishClick, this, &TfrmNewAgent::FinishClick);
    // Cancel: the wizard rejects the dialog itself.
}

TfrmNewAgent::~TfrmNewAgent() = default;

void TfrmNewAgent::SetTemplates(const std::string& templatesFolder, CreateTemplateCommand createTemplate)
{
    editor_->templatesFolder = templatesFolder;
    editor_->createTemplate = std::move(createTemplate);
}

std::string TfrmNewAgent::AgentName() const { return QStringToBytes(ui_->edtAgentName->text()); }

std::string TfrmNewAgent::AgentKind() const
{
    if (ui_->optInterval->isChecked())
        return store::kIntervalAgent;
    if (ui_->optFunction->isChecked())
        return store::kFunctionAgent;
    return store::kMessageAgent;
}

AgentLists TfrmNewAgent::Lists() const { return editor_->Lists(); }

void TfrmNewAgent::FinishClick()
{
    // The name becomes a file name and an attached agent's AGENT field:
    // a name either cannot hold is refused, with the reason.
    const std::string problem = store::AgentNameProblem(AgentName());
    if (!problem.empty()) {
        DialogSeam::Information(this, BytesToQString(problem));
        return;
    }
    accept();
}

}  // namespace manager
