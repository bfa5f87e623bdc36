#include "manager/dialogs/centre_on_screen.h"

#include <QScreen>
#include <QWidget>

namespace manager {

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

}  // namespace manager
