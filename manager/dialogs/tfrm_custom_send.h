#pragma once
// The custom-send options of the received-message viewer: sender, copies,
// encoding and character set, the sender taken from MAIL.INI's [Internet]
// DefaultFromAddress (read only).

#include <QDialog>

#include <memory>


namespace Ui {
class TfrmCustomSend;
}

namespace manager {

class TfrmCustomSend : public QDialog {
    Q_OBJECT

public:
    explicit TfrmCustomSend(QWidget* parent = nullptr);
    ~TfrmCustomSend() override;

    Ui::TfrmCustomSend* ui() const { return ui_.get(); }

private:
    std::unique_ptr<Ui::TfrmCustomSend> ui_;

};

}  // namespace manager
