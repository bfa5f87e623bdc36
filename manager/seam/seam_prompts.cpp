#include "manager/seam/seam_prompts.h"

#include "controls/qt_text.h"
#include "manager/seam/dialog_seam.h"

namespace manager {

Answer SeamPrompts::ConfirmYesNoCancel(const std::string& text)
{
    switch (DialogSeam::Question(parent_, BytesToQString(text),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void SeamPrompts::Inform(const std::string& text) { DialogSeam::Information(parent_, BytesToQString(text)); }

}  // namespace manager
