#pragma once
// The software update wizard: a welcome page, a checking page with a meter
// and Stop, a results page. No check is made; Finish closes it with OK,
// Cancel with Cancel.

#include <QDialog>

#include <memory>


namespace Ui {
class TfrmUpdate;
}

namespace manager {

class TfrmUpdate : public QDialog {
    Q_OBJECT

public:
    explicit TfrmUpdate(QWidget* parent = nullptr);
    ~TfrmUpdate() override;

    Ui::TfrmUpdate* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::TfrmUpdate> ui_;

};

}  // namespace manager
