#pragma once
// The find window: a text to look for and a list of found messages; no
// search is made. Closing frees it.

#include <QDialog>

#include <memory>


namespace Ui {
class TfrmFind;
}

namespace manager {

class TfrmFind : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFind(QWidget* parent = nullptr);
    ~TfrmFind() override;

    Ui::TfrmFind* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::TfrmFind> ui_;

};

}  // namespace manager
