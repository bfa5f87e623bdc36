#pragma once
// A message's properties: its general facts, its header lines, and the
// source window opened from them.

#include <QDialog>

#include <memory>


namespace Ui {
class TfrmMsgProperties;
}

namespace manager {

class TfrmMsgProperties : public QDialog {
    Q_OBJECT

public:
    explicit TfrmMsgProperties(QWidget* parent = nullptr);
    ~TfrmMsgProperties() override;

    Ui::TfrmMsgProperties* ui() const { return ui_.get(); }
    // Opens the source window on the file named in the Filename field.
    void btnSourceClick();
private:
    std::unique_ptr<Ui::TfrmMsgProperties> ui_;

};

}  // namespace manager
