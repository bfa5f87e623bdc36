#pragma once
// The server preview window: an always-on-top list of the messages waiting
// on an account's server, with a pop-up menu whose items have no action.
// Only the main window's server preview fills the list.

#include <QWidget>

#include <memory>
#include <QLabel>
#include <QMenu>

namespace Ui {
class TfrmRem;
}

namespace manager {

class TfrmRem : public QWidget {
    Q_OBJECT

public:
    explicit TfrmRem(QWidget* parent = nullptr);
    ~TfrmRem() override;

    Ui::TfrmRem* ui() const { return ui_.get(); }
    QMenu* PopupMenu1;
    QMenu* mnuRetrieveLeave;
    QMenu* mnuRetrieveDelete;
    QMenu* mnuDelete;
private:
    std::unique_ptr<Ui::TfrmRem> ui_;

};

}  // namespace manager
