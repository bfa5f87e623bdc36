#include "manager/dialogs/tfrm_update.h"

#include "ui_tfrm_update.h"

namespace manager {

TfrmUpdate::TfrmUpdate(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmUpdate)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmUpdate"));
    connect(ui_->btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
    connect(ui_->btnBack, &QPushButton::clicked, this, [this] { btnBackClick(); });
}

TfrmUpdate::~TfrmUpdate() = default;

void TfrmUpdate::btnNextClick()
{
    QStackedWidget* pages = ui_->EPWizard1;
    pages->setCurrentIndex(std::min(pages->currentIndex() + 1, pages->count() - 1));
}

void TfrmUpdate::btnBackClick()
{
    QStackedWidget* pages = ui_->EPWizard1;
    pages->setCurrentIndex(std::max(pages->currentIndex() - 1, 0));
}

}  // namespace manager
