#include "manager/dialogs/tfrm_agents.h"

#include <QApplication>
#include <QStyle>

#include "manager/seam/dialog_seam.h"
#include "store/agent_name.h"
#include "ui_tfrm_agents.h"

namespace manager {

TfrmAgents::TfrmAgents(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmAgents)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmAgents"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint |
                   Qt::WindowContextHelpButtonHint);
    connect(ui_->btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(ui_->lstVAgents, &QListWidget::itemDoubleClicked, this, [this] { btnOKClick(); });
}

TfrmAgents::~TfrmAgents() = default;

void TfrmAgents::AddAgent(const QString& name)
{
    new QListWidgetItem(QApplication::style()->standardIcon(QStyle::SP_FileIcon), name, ui_->lstVAgents);
}

std::string TfrmAgents::SelectedAgent() const
{
    const QList<QListWidgetItem*> selected = ui_->lstVAgents->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

void TfrmAgents::btnOKClick()
{
    const std::string name = SelectedAgent();
    if (!name.empty()) {
        const std::string problem = store::AgentNameProblem(name);
        if (!problem.empty()) {
            DialogSeam::Error(this, QString::fromStdString(problem));
            return;
        }
    }
    accept();
}

}  // namespace manager
