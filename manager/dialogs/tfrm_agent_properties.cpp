#include "manager/dialogs/tfrm_agent_properties.h"

#include <QMenu>

#include "manager/dialogs/agent_dialog_look.h"
#include "manager/dialogs/agent_list_editor.h"
#include "ui_tfrm_agent_properties.h"

namespace manager {

TfrmAgentProperties::TfrmAgentProperties(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmAgentProperties)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmAgentProperties"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(405, 416);
    ApplyAgentDialogLook(*this);
    Ui::TfrmAgentProperties& u = *ui_;
    editor_ = new AgentListEditor(this,
                                  {u.lstVTriggers, u.lstVActions, u.btnAdd, u.btnActionAdd, u.lstHeader, u.lstCondition,
                                   u.lstValue, u.lstActionParam1, u.lstActionParam2, u.lstActionParam3},
                                  QStringLiteral("Add.."), QStringLiteral("Add"));
    // Its actions' Edit item stays hidden here.
    editor_->ActionMenu()->actions().at(1)->setVisible(false);
}

TfrmAgentProperties::~TfrmAgentProperties() = default;

void TfrmAgentProperties::SetTemplates(const std::string& templatesFolder, CreateTemplateCommand createTemplate)
{
    editor_->templatesFolder = templatesFolder;
    editor_->createTemplate = std::move(createTemplate);
}

void TfrmAgentProperties::SetLists(const AgentLists& lists) { editor_->SetLists(lists); }

AgentLists TfrmAgentProperties::Lists() const { return editor_->Lists(); }

}  // namespace manager
