#pragma once
// The restriction wizard: three steps (condition, action, name) that
// collect a new restriction; Finish needs a name. It writes no table: the
// account window turns its fields into a row.

#include <QDialog>

#include <memory>

#include "manager/dialogs/restriction_fields.h"

namespace Ui {
class TfrmRuleWiz;
}

namespace manager {

class TfrmRuleWiz : public QDialog {
    Q_OBJECT

public:
    explicit TfrmRuleWiz(QWidget* parent = nullptr);
    ~TfrmRuleWiz() override;

    Ui::TfrmRuleWiz* ui() const { return ui_.get(); }
    RestrictionFields Fields() const;
    void cmbConditionChange();
    void EPWizard1Finish();

private:
    std::unique_ptr<Ui::TfrmRuleWiz> ui_;
};

}  // namespace manager
