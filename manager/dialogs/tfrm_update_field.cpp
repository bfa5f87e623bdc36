#include "manager/dialogs/tfrm_update_field.h"

#include <QKeyEvent>
#include <QShowEvent>
#include <QStyle>

#include "manager/dialogs/message_window_parts.h"
#include "ui_tfrm_update_field.h"

namespace manager {

TfrmUpdateField::TfrmUpdateField(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmUpdateField)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmUpdateField"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    QFont captions(QStringLiteral("Arial"));
    captions.setPixelSize(11);
    for (QLabel* label : {ui_->lblCategories, ui_->lblHowTo, ui_->lblReplyHelp, ui_->lblSystemHelp, ui_->lblValue})
        label->setFont(captions);
    ui_->panelSystem->hide();
    // The categories' pictures, each centred in a cell of the grid: a letter
    // for the reply's header, the information sign for the system's fields.
    ui_->lstVCatagory->item(0)->setIcon(QIcon(MailPicture(32)));
    ui_->lstVCatagory->item(1)->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    for (int row = 0; row < ui_->lstVCatagory->count(); ++row)
        ui_->lstVCatagory->item(row)->setSizeHint(ui_->lstVCatagory->gridSize());
    connect(ui_->lstVCatagory, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { lstVCatagoryChange(item); });
    for (QTreeWidget* list : {ui_->lstVPos, ui_->lstVPos2}) {
        connect(list, &QTreeWidget::itemClicked, this, [this, list] { lstVPosClick(list); });
        connect(list, &QTreeWidget::itemDoubleClicked, this, [this, list] {
            lstVPosClick(list);
            accept();
        });
        list->installEventFilter(this);
    }
}

TfrmUpdateField::~TfrmUpdateField() = default;

QString TfrmUpdateField::Keyword() const { return ui_->lblPart1->text(); }
QString TfrmUpdateField::Value() const { return ui_->edtFieldName->text(); }

void TfrmUpdateField::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    ui_->lstVCatagory->setCurrentRow(0);
}

void TfrmUpdateField::lstVCatagoryChange(QListWidgetItem* item)
{
    if (!item)
        return;
    ui_->panelReply->hide();
    const QString caption = item->text().toUpper();
    if (caption == QStringLiteral("REPLY TO HEADER")) {
        ui_->panelReply->show();
        ui_->panelReply->raise();
        ui_->panelSystem->hide();
        ui_->lblPart1->setText(QStringLiteral("REPLYHEADER"));
    } else if (caption == QStringLiteral("SYSTEM")) {
        ui_->panelSystem->show();
        ui_->panelSystem->raise();
        ui_->panelReply->hide();
        ui_->lblPart1->setText(QStringLiteral("SYSTEM"));
    }
}

void TfrmUpdateField::lstVPosClick(QTreeWidget* list)
{
    if (QTreeWidgetItem* focused = list->currentItem())
        ui_->edtFieldName->setText(focused->text(0));
}

bool TfrmUpdateField::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease)
        lstVPosClick(static_cast<QTreeWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}

}  // namespace manager
