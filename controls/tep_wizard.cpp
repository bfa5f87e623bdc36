#include "controls/tep_wizard.h"

#include <QDialog>
#include <QEvent>
#include <QPointer>

#include <utility>

#include "controls/flag_guard.h"
#include "controls/tep_wizard_page.h"
#include "controls/tep_wizard_panel.h"

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
// Back stands a little apart from Next: drawn flush, the two buttons read
// as one.
constexpr int kBackNextGap = 4;

}  // namespace

TEPWizard::TEPWizard(QWidget* parent) : QWidget(parent)
{
    panel_ = new TEPWizardPanel(this);
    cancel_ = addButton(CancelCaption(), 8);
    next_ = addButton(NextCaption(), kBackNextGap);
    back_ = addButton(BackCaption(), 8);
    help_ = addButton(HelpCaption(), 0);
    next_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, &TEPWizard::CancelClick);
    connect(next_, &QPushButton::clicked, this, &TEPWizard::NextClick);
    connect(back_, &QPushButton::clicked, this, &TEPWizard::BackClick);
    connect(help_, &QPushButton::clicked, this, &TEPWizard::HelpClick);
    setTabOrder(help_, back_);
    setTabOrder(back_, next_);
    setTabOrder(next_, cancel_);
    panel_->setFixedHeight(next_->height() + 17);
    buttons_ = epwbCancel;
    applyButtons();
    resize(400, 300);
    layoutChildren();
    UpdateButtons();
}

TEPWizard::~TEPWizard()
{
    // The pages are destroyed after this: they must find no wizard to
    // leave, or they would activate each other in a half-destroyed wizard.
    destroying_ = true;
    for (TEPWizardPage* page : pages_)
        page->wizard_ = nullptr;
    pages_.clear();
    activePage_ = nullptr;
}

QPushButton* TEPWizard::addButton(const QString& caption, int tag)
{
    auto* button = new QPushButton(caption, panel_);
    button->setProperty("Tag", tag);
    button->resize(kButtonWidth, kButtonHeight);
    return button;
}

void TEPWizard::setButtons(TEPWizardButtons buttons)
{
    if (buttons == buttons_)
        return;
    buttons_ = buttons;
    applyButtons();
}

void TEPWizard::applyButtons()
{
    help_->setVisible(buttons_.testFlag(epwbHelp));
    cancel_->setVisible(buttons_.testFlag(epwbCancel));
    panel_->AlignButtons();
}

void TEPWizard::setFirstPage(const QString& name)
{
    firstPageName_ = name;
    if (loading())
        return;
    for (TEPWizardPage* page : pages_)
        if (page->objectName() == name)
            setActivePage(page);
}

TEPWizardPage* TEPWizard::FindPage(TEPWizardPage* page, bool goForward, bool includedOnly) const
{
    const qsizetype at = page ? pages_.indexOf(page) : -1;
    if (at < 0)
        return nullptr;
    const qsizetype step = goForward ? 1 : -1;
    for (qsizetype i = at + step; i >= 0 && i < pages_.size(); i += step)
        if (!includedOnly || pages_[i]->include())
            return pages_[i];
    return nullptr;
}

void TEPWizard::SelectNextPage(bool goForward)
{
    if (TEPWizardPage* page = FindPage(activePage_, goForward, true))
        setActivePage(page);
}

void TEPWizard::setActivePage(TEPWizardPage* page)
{
    if (page == activePage_ || (page && page->wizard_ != this))
        return;
    Changing();
    TEPWizardPage* previous = activePage_;
    if (page) {
        page->raise();
        page->show();
        if (page->isVisible()) {
            // the first control of the page that takes the focus
            for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
                if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
                    w->isVisible()) {
                    w->setFocus(Qt::TabFocusReason);
                    break;
                }
            }
        }
    }
    if (previous)
        previous->hide();  // after the new page: its OnShow comes first
    activePage_ = page;
    UpdateButtons();
    Change();
}

void TEPWizard::UpdateButtons()
{
    const bool enabled = !testAttribute(Qt::WA_ForceDisabled);
    back_->setEnabled(enabled && FindPage(activePage_, false, true));
    UpdateNextButton();
    next_->setText(FindPage(activePage_, true, true) ? NextCaption() : FinishCaption());
}

void TEPWizard::UpdateNextButton()
{
    // An OnDoneQuery handler that asks again is answered by the outer call.
    if (askingDone_)
        return;
    bool done = false;
    {
        FlagGuard guard(askingDone_);
        // Also when a Next handler's own changes ask again: that is typing.
        const bool pressed = std::exchange(askedByNext_, false);
        done = !testAttribute(Qt::WA_ForceDisabled) && activePage_ && activePage_->DoneQuery();
        askedByNext_ = pressed;
    }
    next_->setEnabled(done);
}

void TEPWizard::NextClick()
{
    if (!activePage_)
        return;
    bool done = false;
    {
        FlagGuard pressed(askedByNext_);
        done = activePage_->DoneQuery();
    }
    if (!done)
        return;
    if (FindPage(activePage_, true, true))
        SelectNextPage(true);
    else
        emit OnFinishClick();
}

void TEPWizard::BackClick() { SelectNextPage(false); }

void TEPWizard::HelpClick()
{
    for (QWidget* w = activePage_; w; w = w->parentWidget()) {
        const int context = w->property("helpContext").toInt();
        if (context != 0) {
            emit OnHelp(context);
            return;
        }
    }
}

void TEPWizard::CancelClick()
{
    QPointer<TEPWizard> self(this);
    emit OnCancelClick();
    if (!self)
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window()))
        dialog->reject();
}

void TEPWizard::Join(TEPWizardPage* page)
{
    if (!pages_.contains(page))
        pages_.append(page);
    page->wizard_ = this;
    if (page->parentWidget() != this)
        page->setParent(this);
    page->setGeometry(0, 0, width(), height() - panel_->height());
    if (!loading())
        setActivePage(page);
    else
        UpdateButtons();
}

void TEPWizard::Leave(TEPWizardPage* page, bool pageDying)
{
    if (destroying_ || !pages_.contains(page))
        return;
    if (pageDying && page == activePage_)
        activePage_ = nullptr;  // a dying page is neither hidden nor reported
    TEPWizardPage* next = FindPage(page, true, false);
    if (!next)
        next = FindPage(page, false, false);
    setActivePage(next);
    page->wizard_ = nullptr;
    pages_.removeOne(page);
    UpdateButtons();
}

void TEPWizard::MovePage(TEPWizardPage* page, int index)
{
    const qsizetype from = pages_.indexOf(page);
    if (from < 0 || pages_.isEmpty())
        return;
    pages_.move(from, std::clamp<qsizetype>(index, 0, pages_.size() - 1));
    UpdateButtons();
}

void TEPWizard::PageIncludeChanged(TEPWizardPage* page)
{
    if (page == activePage_ && !page->include() && pages_.size() == 1)
        setActivePage(nullptr);
    UpdateButtons();
}

void TEPWizard::FinishLoading()
{
    loaded_ = true;
    TEPWizardPage* first = nullptr;
    for (TEPWizardPage* page : pages_)
        if (!firstPageName_.isEmpty() && page->objectName() == firstPageName_)
            first = page;
    if (!first && !activePage_ && !pages_.isEmpty())
        first = pages_.first();
    if (first)
        setActivePage(first);
    UpdateButtons();
}

bool TEPWizard::event(QEvent* event)
{
    if (event->type() == QEvent::Polish && !loaded_)
        FinishLoading();
    return QWidget::event(event);
}

void TEPWizard::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    const bool enabled = !testAttribute(Qt::WA_ForceDisabled);
    help_->setEnabled(enabled);
    cancel_->setEnabled(enabled);
    if (!enabled) {
        back_->setEnabled(false);
        next_->setEnabled(false);
    } else {
        back_->setEnabled(FindPage(activePage_, false, true));
        UpdateNextButton();
    }
}

void TEPWizard::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

void TEPWizard::layoutChildren()
{
    const int barHeight = panel_->height();
    panel_->setGeometry(0, height() - barHeight, width(), barHeight);
    for (TEPWizardPage* page : pages_)
        page->setGeometry(0, 0, width(), height() - barHeight);
    panel_->AlignButtons();
}
