#include "controls/tep_wizard_page.h"

#include <QEvent>

#include "controls/tep_wizard.h"

TEPWizardPage::TEPWizardPage(QWidget* parent) : QWidget(parent)
{
    hide();  // only the active page is shown
    if (auto* wizard = qobject_cast<TEPWizard*>(parent))
        setWizard(wizard);
}

TEPWizardPage::~TEPWizardPage()
{
    if (wizard_)
        wizard_->Leave(this, true);
}

void TEPWizardPage::setWizard(TEPWizard* wizard)
{
    if (wizard == wizard_)
        return;
    if (wizard_)
        wizard_->Leave(this, false);
    if (wizard)
        wizard->Join(this);
}

void TEPWizardPage::setInclude(bool include)
{
    include_ = include;
    if (wizard_)
        wizard_->PageIncludeChanged(this);
}

int TEPWizardPage::pageIndex() const { return wizard_ ? static_cast<int>(wizard_->pages_.indexOf(this)) : -1; }

void TEPWizardPage::setPageIndex(int index)
{
    if (wizard_)
        wizard_->MovePage(this, index);
}

bool TEPWizardPage::DoneQuery()
{
    bool done = true;
    if (onDoneQuery_)
        onDoneQuery_(this, done);
    return done;
}

void TEPWizardPage::showEvent(QShowEvent* event)
{
    if (!showing_) {
        showing_ = true;
        emit OnShow();
    }
    QWidget::showEvent(event);
}

void TEPWizardPage::hideEvent(QHideEvent* event)
{
    // Hidden by itself (a page change) rather than with its window.
    const bool pageChange = isHidden();
    if (showing_) {
        showing_ = false;
        if (pageChange)
            emit OnHide();
    }
    QWidget::hideEvent(event);
}

void TEPWizardPage::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ParentChange)
        setWizard(qobject_cast<TEPWizard*>(parentWidget()));
}
