#pragma once
// The preferences dialog: connection method, dial-up entry, the four
// folders and the sound switch. The main window fills it and reads it back
// (Fill / Values); its own logic is enabling the dial-up entry exactly when
// dial-up is the chosen method.

#include <QDialog>

#include <memory>

#include "manager/core/preferences.h"

namespace Ui {
class TfrmPref;
}

namespace manager {

class TfrmPref : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPref(QWidget* parent = nullptr);
    ~TfrmPref() override;

    Ui::TfrmPref* ui() const { return ui_.get(); }

    void Fill(const PreferenceValues& values);
    // What the user chose (the entry list as filled).
    PreferenceValues Values() const;

    // The radio buttons' click and the showing.
    void optClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmPref> ui_;
    std::vector<std::string> entries_;
};

}  // namespace manager
