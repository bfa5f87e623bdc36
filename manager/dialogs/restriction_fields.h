#pragma once
// The fields both restriction windows hold under the same names: the
// condition list with its three panels, the two YES/NO choices and the
// name. Shows the panel of the chosen condition and reads and fills a
// RestrictionChoice, so both windows mean the same row.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <functional>

#include "manager/core/restriction_mapping.h"

namespace manager {

struct RestrictionFields {
    QComboBox* cmbCondition = nullptr;
    QWidget* panelfieldcontains = nullptr;
    QWidget* panelfieldsize = nullptr;
    QWidget* panelmessagesize = nullptr;
    QLabel* lblAllNote = nullptr;
    QComboBox* cmbField = nullptr;
    QLineEdit* edtValue = nullptr;
    QComboBox* cmbSField = nullptr;
    QLineEdit* edtSValue = nullptr;
    QLineEdit* edtNumber = nullptr;
    QComboBox* cmbAction1 = nullptr;
    QComboBox* cmbAction2 = nullptr;
    QLineEdit* edtName = nullptr;

    template <typename Form>
    static RestrictionFields Of(Form& ui)
    {
        return {ui.cmbCondition, ui.panelfieldcontains, ui.panelfieldsize, ui.panelmessagesize, ui.lblAllNote,
                ui.cmbField,     ui.edtValue,           ui.cmbSField,      ui.edtSValue,        ui.edtNumber,
                ui.cmbAction1,   ui.cmbAction2,         ui.edtName};
    }

    // Hides the three panels, then shows the chosen condition's (none for
    // "All messages" or no choice; the all-messages note for the former).
    void ShowConditionPanel() const;
    // The length and size fields take digits only; the name and the
    // condition's texts stop at what their table fields hold.
    void LimitInput() const;
    RestrictionChoice Choice() const;
    // The chosen condition's length or size, as Passes checks it.
    bool NumberPasses(const std::function<void()>& reveal = {}) const;
    // Finish or OK: the chosen condition's number, then the name, as the
    // row needs them. A refusal is shown (`reveal` first brings the number
    // into view) and its field gets the focus.
    bool Passes(const std::function<void()>& reveal = {}) const;
    void SetChoice(const RestrictionChoice& choice) const;
};

}  // namespace manager
