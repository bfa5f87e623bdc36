#pragma once
// An item-properties window with fixed sample texts: created at start-up,
// never shown.

#include <QDialog>

#include <memory>


namespace Ui {
class TForm1;
}

namespace manager {

class TForm1 : public QDialog {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    Ui::TForm1* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::TForm1> ui_;

};

}  // namespace manager
