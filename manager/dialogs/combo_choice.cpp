#include "manager/dialogs/combo_choice.h"

namespace manager {

void SelectOrAdd(QComboBox& combo, const QString& text)
{
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
            combo.setCurrentIndex(i);
            return;
        }
    }
    combo.addItem(text);
    combo.setCurrentIndex(combo.count() - 1);
}

}  // namespace manager
