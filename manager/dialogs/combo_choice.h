#pragma once
// Choosing a stored text in a drop-down list of fixed choices.

#include <QComboBox>
#include <QString>

namespace manager {

// Chooses the item equal to `text`, ignoring case; a text the list does not
// hold becomes an extra item and is chosen, so it survives the dialog.
void SelectOrAdd(QComboBox& combo, const QString& text);

}  // namespace manager
