#include "controls/tep_about_dialog.h"

#include <QApplication>
#include <QScreen>

#include "controls/system_resources.h"
#include "ui_tep_about_dialog_form.h"

namespace {

QString applicationTitle() { return QGuiApplication::applicationDisplayName(); }

const char* const kDefaultCopyright = "Copyright \u00A9 the Tarsel developers";

}  // namespace

TEPAboutDialogFm::TEPAboutDialogFm(QWidget* parent) : QDialog(parent), ui_(new Ui::TEPAboutDialogFm)
{
    ui_->setupUi(this);
    setFixedSize(342, 221);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

TEPAboutDialogFm::~TEPAboutDialogFm() = default;

TEPAboutDialog::TEPAboutDialog(QObject* parent) : QObject(parent) {}

std::unique_ptr<TEPAboutDialogFm> TEPAboutDialog::CreateForm(QWidget* parent)
{
    auto form = std::make_unique<TEPAboutDialogFm>(parent);
    Ui::TEPAboutDialogFm& ui = *form->ui();
    form->setWindowTitle(!caption.isEmpty() ? caption : QStringLiteral("About ") + applicationTitle());
    ui.CopyrightLb->setText(!copyright.isEmpty() ? copyright : QString::fromUtf8(kDefaultCopyright));
    ui.DescriptionLb->setText(description);
    ui.ProductLb->setText(!product.isEmpty() ? product : applicationTitle());
    ui.SerialLb->setText(serial);
    ui.SerialLb->setVisible(!serial.isEmpty());
    ui.AboutIm->setIconPicture(QApplication::windowIcon());
    connect(ui.AboutIm, &TEPImage::doubleClicked, this, &TEPAboutDialog::iconDoubleClicked);
    ui.CustomBt->setVisible(!customButton.isEmpty());
    ui.CustomBt->setText(customButton);
    connect(ui.CustomBt, &QPushButton::clicked, this, &TEPAboutDialog::customClicked);
    // The labels' design texts are the formats of their values.
    ui.MemoryLb->setText(FormatNumberPicture(PhysicalMemoryBytes() / 1024, ui.MemoryLb->text()));
    ui.ResourcesLb->setText(FormatPercentText(ui.ResourcesLb->text(), GetFreeSystemResources()));
    if (QScreen* screen = form->screen())
        form->move(screen->availableGeometry().center() - form->rect().center());
    return form;
}

void TEPAboutDialog::Execute()
{
    std::unique_ptr<TEPAboutDialogFm> form = CreateForm();
    form->exec();
}
