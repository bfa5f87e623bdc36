#include "manager/dialogs/tform1.h"

#include "ui_tform1.h"

namespace manager {

TForm1::TForm1(QWidget* parent) : QDialog(parent), ui_(new Ui::TForm1)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("Form1"));
}

TForm1::~TForm1() = default;

}  // namespace manager
