#pragma once
// The restriction properties window: the fields of one existing
// restriction, filled by the account window from its row and read back on
// OK. It writes no table.

#include <QDialog>

#include <memory>

#include "manager/dialogs/restriction_fields.h"

namespace Ui {
class TfrmRuleProp;
}

namespace manager {

class TfrmRuleProp : public QDialog {
    Q_OBJECT

public:
    explicit TfrmRuleProp(QWidget* parent = nullptr);
    ~TfrmRuleProp() override;

    Ui::TfrmRuleProp* ui() const { return ui_.get(); }
    RestrictionFields Fields() const;
    // Fills the fields and shows the condition's panel.
    void SetChoice(const RestrictionChoice& choice);
    void cmbConditionChange();
    // OK: closed only with a restriction the account window can write.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Ends on "If header field contains", the dialog tall enough for every
    // condition's panel.
    void fitTallestCondition();

    std::unique_ptr<Ui::TfrmRuleProp> ui_;
};

}  // namespace manager
