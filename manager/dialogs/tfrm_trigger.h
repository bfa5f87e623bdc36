#pragma once
// The trigger dialog: one trigger of an agent as a sentence, "If the"
// header condition value, shown below as it is formed. Created for one add
// or edit by the agent dialogs, which read its three fields after OK.

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class TfrmTrigger;
}

namespace manager {

class TfrmTrigger : public QDialog {
    Q_OBJECT

public:
    // A new trigger: "Subject" and "contains" chosen.
    explicit TfrmTrigger(QWidget* parent = nullptr);
    ~TfrmTrigger() override;

    Ui::TfrmTrigger* ui() const { return ui_.get(); }

    // For editing: chooses the header and condition equal to the stored
    // ones, ignoring case. A stored text the list does not hold is added as
    // an extra choice and chosen, so that OK keeps it.
    void SetTrigger(const std::string& header, const std::string& condition, const std::string& value);
    std::string Header() const;
    std::string Condition() const;
    std::string Value() const;

    void UpdateConditionLabel();

private:
    std::unique_ptr<Ui::TfrmTrigger> ui_;
};

}  // namespace manager
