#include "manager/dialogs/tfrm_rem.h"

#include "ui_tfrm_rem.h"

namespace manager {

TfrmRem::TfrmRem(QWidget* parent) : QWidget(parent), ui_(new Ui::TfrmRem)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmRem"));
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    ui_->StatusBar1->addWidget(
        new QLabel(QStringLiteral("Click the right mouse button to access commands"), ui_->StatusBar1), 1);
    ui_->StatusBar1->addPermanentWidget(new QLabel(QStringLiteral("Items on server"), ui_->StatusBar1));

    // The list's rows carry check boxes; the menu's items have no action.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    mnuRetrieveLeave = PopupMenu1->addMenu(QStringLiteral("Retreive and Leave on Server"));
    mnuRetrieveDelete = PopupMenu1->addMenu(QStringLiteral("Retreive and Delete from Server"));
    mnuDelete = PopupMenu1->addMenu(QStringLiteral("Delete"));
    for (QMenu* menu : {mnuRetrieveLeave, mnuRetrieveDelete, mnuDelete}) {
        menu->addAction(QStringLiteral("Selected"));
        menu->addAction(QStringLiteral("All"));
    }
    connect(ui_->lstMessages, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ui_->lstMessages->viewport()->mapToGlobal(at)); });
}

TfrmRem::~TfrmRem() = default;

}  // namespace manager
