#pragma once
// The mail-merge wizard: three steps shown one at a time (welcome, the
// message, the data source); Next goes on, Back goes back but not before
// the first, Browse fills a step's file field. No merge is made; Finish
// stays hidden. Closing frees it.

#include <QDialog>

#include <memory>


namespace Ui {
class TfrmMMWiz;
}

namespace manager {

class TfrmMMWiz : public QDialog {
    Q_OBJECT

public:
    explicit TfrmMMWiz(QWidget* parent = nullptr);
    ~TfrmMMWiz() override;

    Ui::TfrmMMWiz* ui() const { return ui_.get(); }
    int Step() const { return step_; }
    void btnNextClick();
    void btnBackClick();
    void btnBrowseMessageClick();
    void btnBrowseDataClick();
private:
    std::unique_ptr<Ui::TfrmMMWiz> ui_;
    void showStep();
    int step_ = 1;
};

}  // namespace manager
