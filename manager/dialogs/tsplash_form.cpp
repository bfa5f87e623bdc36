#include "manager/dialogs/tsplash_form.h"

#include <QMouseEvent>

#include "manager/dialogs/centre_on_screen.h"
#include "manager/dialogs/splash_pictures.h"
#include "ui_tsplash_form.h"

namespace manager {

TSplashForm::TSplashForm(QWidget* parent) : QDialog(parent), ui_(new Ui::TSplashForm)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("SplashForm"));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(393, 380);
    CentreOnScreen(*this);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    setPalette(black);
    setAutoFillBackground(true);
    QFont notice(QStringLiteral("Arial"));
    notice.setPixelSize(10);
    ui_->lblNotice->setFont(notice);

    ui_->Image1->setPixmap(SplashPicture(ui_->Image1->size()));
    ui_->Image2->setPixmap(SplashCornerPicture(ui_->Image2->size()));
    for (QWidget* text : {static_cast<QWidget*>(ui_->lblVersion), static_cast<QWidget*>(ui_->lblServer),
                          static_cast<QWidget*>(ui_->lblWeb), static_cast<QWidget*>(ui_->lblNotice),
                          static_cast<QWidget*>(ui_->Image1)})
        text->installEventFilter(this);
    connect(ui_->btnClose, &QPushButton::clicked, this, &QDialog::reject);
}

TSplashForm::~TSplashForm() = default;

void TSplashForm::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

bool TSplashForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace manager
