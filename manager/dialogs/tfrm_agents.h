#pragma once
// The agent picker: the agents of the main window's list as icons; OK or a
// double click accepts the selected one, whose caption the main window
// attaches. A name the attached-agent row cannot hold is refused here.

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class TfrmAgents;
}

namespace manager {

class TfrmAgents : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAgents(QWidget* parent = nullptr);
    ~TfrmAgents() override;

    Ui::TfrmAgents* ui() const { return ui_.get(); }
    void AddAgent(const QString& name);
    // The selected agent's name; empty with none selected.
    std::string SelectedAgent() const;
    // OK and double click: accepts unless the selected name is refused
    // (the reason shown); with none selected the dialog closes with OK and
    // nothing is attached.
    void btnOKClick();

private:
    std::unique_ptr<Ui::TfrmAgents> ui_;
};

}  // namespace manager
