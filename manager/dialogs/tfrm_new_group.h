#pragma once
// The folder dialog: asks for the name of a new folder; the main window
// reads edtGroupName after OK and writes the row.

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class TfrmNewGroup;
}

namespace manager {

class TfrmNewGroup : public QDialog {
    Q_OBJECT

public:
    explicit TfrmNewGroup(QWidget* parent = nullptr);
    ~TfrmNewGroup() override;

    Ui::TfrmNewGroup* ui() const { return ui_.get(); }
    std::string GroupName() const;
    // OK: a blank name is refused and the dialog stays open.
    void accept() override;

private:
    std::unique_ptr<Ui::TfrmNewGroup> ui_;
};

}  // namespace manager
