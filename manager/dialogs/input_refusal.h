#pragma once
// Runs a check of what the user typed when a dialog's Next, Finish or OK is
// pressed: a refusal is shown through the dialog seam, the field that holds
// it gets the focus, and the dialog stays open with what was typed.
// `reveal` brings the field into view first where a tab cannot.

#include <QTabWidget>
#include <QWidget>

#include <functional>

#include "manager/core/manager_error.h"
#include "manager/seam/dialog_seam.h"

namespace manager {

template <typename Check>
bool InputPasses(QWidget* field, Check&& check, const std::function<void()>& reveal = {})
{
    try {
        check();
        return true;
    } catch (const ManagerError& refused) {
        // The tab that holds the field comes to the front first.
        for (QWidget* page = field; page && page->parentWidget(); page = page->parentWidget()) {
            auto* tabs = qobject_cast<QTabWidget*>(page->parentWidget()->parentWidget());
            if (tabs && tabs->indexOf(page) >= 0)
                tabs->setCurrentWidget(page);
        }
        if (reveal)
            reveal();
        DialogSeam::Error(field->window(), QString::fromStdString(refused.what()));
        field->setFocus();
        return false;
    }
}

}  // namespace manager
