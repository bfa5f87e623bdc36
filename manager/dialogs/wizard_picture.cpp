#include "manager/dialogs/wizard_picture.h"

#include <QLabel>

#include "manager/dialogs/splash_pictures.h"

namespace manager {

void SetWizardPicture(QLabel* frame)
{
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 64));
    frame->setPalette(palette);
    frame->setPixmap(SplashCornerPicture(QSize(64, 64)));
}

}  // namespace manager
