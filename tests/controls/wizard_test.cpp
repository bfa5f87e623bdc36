// The wizard's page walk and button bar, and what its window's destruction
// must not do.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>

#include <memory>
#include <vector>

#include "controls/tep_wizard.h"
#include "controls/tep_wizard_page.h"
#include "controls/tep_wizard_panel.h"
#include "widget_test_helpers.h"

namespace {

struct ThreePages {
    TEPWizard wizard;
    TEPWizardPage* p1 = new TEPWizardPage(&wizard);
    TEPWizardPage* p2 = new TEPWizardPage(&wizard);
    TEPWizardPage* p3 = new TEPWizardPage(&wizard);
    ThreePages()
    {
        p1->setObjectName(QStringLiteral("p1"));
        p2->setObjectName(QStringLiteral("p2"));
        p3->setObjectName(QStringLiteral("p3"));
        wizard.show();
    }
};

}  // namespace

TEST(Wizard, WithoutPagesOnlyFinishIsOfferedAndDisabled)
{
    TEPWizard wizard;
    wizard.show();
    EXPECT_EQ(wizard.ActivePage(), nullptr);
    EXPECT_FALSE(wizard.BackButton()->isEnabled());
    EXPECT_FALSE(wizard.NextButton()->isEnabled());
    EXPECT_EQ(wizard.NextButton()->text(), QStringLiteral("&Finish"));
    QSignalSpy finish(&wizard, &TEPWizard::OnFinishClick);
    wizard.NextClick();
    EXPECT_EQ(finish.count(), 0);
}

TEST(Wizard, NextAndBackWalkTheIncludedPagesAndFinishOnTheLast)
{
    ThreePages w;
    QSignalSpy finish(&w.wizard, &TEPWizard::OnFinishClick);
    EXPECT_EQ(w.wizard.ActivePage(), w.p1);  // the first page once shown
    EXPECT_FALSE(w.wizard.BackButton()->isEnabled());
    EXPECT_EQ(w.wizard.NextButton()->text(), QStringLiteral("Next >"));

    w.p3->setInclude(false);
    w.wizard.NextButton()->click();
    EXPECT_EQ(w.wizard.ActivePage(), w.p2);
    EXPECT_TRUE(w.wizard.BackButton()->isEnabled());
    EXPECT_EQ(w.wizard.NextButton()->text(), QStringLiteral("&Finish"));
    w.wizard.NextButton()->click();
    EXPECT_EQ(finish.count(), 1);
    EXPECT_EQ(w.wizard.ActivePage(), w.p2);  // the wizard closes nothing

    w.p2->setInclude(false);  // an excluded page is walked past backwards too
    w.wizard.setActivePage(w.p3);
    w.wizard.BackButton()->click();
    EXPECT_EQ(w.wizard.ActivePage(), w.p1);
    EXPECT_EQ(w.p1->pageIndex(), 0);
    w.p1->setPageIndex(2);
    EXPECT_EQ(w.wizard.Pages(2), w.p1);
    EXPECT_EQ(w.wizard.NextButton()->text(), QStringLiteral("&Finish"));
}

TEST(Wizard, AnIncompletePageHoldsNextButNeverBack)
{
    ThreePages w;
    bool complete = false;
    int asked = 0;
    w.p2->setOnDoneQuery([&](TEPWizardPage*, bool& done) {
        ++asked;
        done = complete;
        w.wizard.UpdateNextButton();  // a handler that refreshes the button itself
    });
    w.wizard.setActivePage(w.p2);
    EXPECT_FALSE(w.wizard.NextButton()->isEnabled());
    EXPECT_EQ(asked, 1);

    w.wizard.NextButton()->setEnabled(true);  // left enabled by mistake
    w.wizard.NextButton()->click();           // Enter or a click
    EXPECT_EQ(w.wizard.ActivePage(), w.p2);

    complete = true;
    w.wizard.UpdateNextButton();
    EXPECT_TRUE(w.wizard.NextButton()->isEnabled());
    complete = false;
    asked = 0;
    w.wizard.BackButton()->click();
    EXPECT_EQ(w.wizard.ActivePage(), w.p1);
    EXPECT_EQ(asked, 0);
}

TEST(Wizard, APageKnowsANextPressFromARefreshWhileTyping)
{
    ThreePages w;
    std::vector<bool> byNext;
    QLineEdit field(w.p2);
    QObject::connect(&field, &QLineEdit::textChanged, &w.wizard, [&] { w.wizard.UpdateNextButton(); });
    w.p2->setOnDoneQuery([&](TEPWizardPage*, bool& done) {
        byNext.push_back(w.wizard.AskedByNext());
        // A Next handler that changes a field is asked again, as typing.
        if (w.wizard.AskedByNext())
            field.setText(QStringLiteral("filled"));
        done = false;
    });
    w.wizard.setActivePage(w.p2);
    field.setText(QStringLiteral("typed"));
    w.wizard.NextButton()->setEnabled(true);
    w.wizard.NextButton()->click();
    EXPECT_EQ(byNext, (std::vector<bool>{false, false, true, false}));
    EXPECT_FALSE(w.wizard.AskedByNext());
    EXPECT_EQ(w.wizard.ActivePage(), w.p2);
}

TEST(Wizard, NewPageIsShownBeforeTheOldOneIsHidden)
{
    ThreePages w;
    QStringList events;
    auto record = [&](QObject* sender, const char* what) {
        events << sender->objectName() + QLatin1Char(' ') + QLatin1String(what);
    };
    for (TEPWizardPage* page : {w.p1, w.p2}) {
        QObject::connect(page, &TEPWizardPage::OnShow, [=] { record(page, "show"); });
        QObject::connect(page, &TEPWizardPage::OnHide, [=] { record(page, "hide"); });
    }
    w.wizard.setObjectName(QStringLiteral("wizard"));
    QObject::connect(&w.wizard, &TEPWizard::OnChanging, [&] { record(&w.wizard, "changing"); });
    QObject::connect(&w.wizard, &TEPWizard::OnChange, [&] { record(&w.wizard, "change"); });
    w.wizard.setActivePage(w.p2);
    EXPECT_EQ(events, (QStringList{"wizard changing", "p2 show", "p1 hide", "wizard change"}));

    events.clear();
    TEPWizard other;
    auto* stranger = new TEPWizardPage(&other);
    w.wizard.setActivePage(stranger);  // not this wizard's page
    w.wizard.setActivePage(w.p2);      // already active
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(w.wizard.ActivePage(), w.p2);
}

TEST(Wizard, StoredFirstPageWinsOnceTheFormIsBuilt)
{
    TEPWizard wizard;
    wizard.setFirstPage(QStringLiteral("b"));
    auto* a = new TEPWizardPage(&wizard);
    auto* b = new TEPWizardPage(&wizard);
    a->setObjectName(QStringLiteral("a"));
    b->setObjectName(QStringLiteral("b"));
    EXPECT_EQ(wizard.ActivePage(), nullptr);  // joining while the form is built
    EXPECT_TRUE(a->isHidden());
    wizard.show();
    EXPECT_EQ(wizard.ActivePage(), b);
    auto* c = new TEPWizardPage(&wizard);  // a page added later becomes active
    EXPECT_EQ(wizard.ActivePage(), c);
    EXPECT_EQ(wizard.PageCount(), 3);
}

TEST(Wizard, ButtonBarKeepsItsGapsFromTheRight)
{
    TEPWizard wizard;
    wizard.resize(400, 300);
    wizard.show();
    const int w = wizard.width();
    EXPECT_EQ(wizard.Panel()->height(), 42);
    EXPECT_EQ(wizard.Panel()->geometry().bottom(), 299);
    EXPECT_EQ(wizard.CancelButton()->geometry().right(), w - 9);
    EXPECT_EQ(wizard.NextButton()->geometry().right(), wizard.CancelButton()->x() - 9);
    // Back stands 4 pixels from Next, not flush against it: flush, the two
    // buttons read as one.
    EXPECT_EQ(wizard.BackButton()->geometry().right(), wizard.NextButton()->x() - 5);
    EXPECT_EQ(wizard.NextButton()->y(), 10);
    EXPECT_EQ(wizard.NextButton()->height(), 25);
    EXPECT_TRUE(wizard.HelpButton()->isHidden());

    wizard.setButtons({});
    EXPECT_TRUE(wizard.CancelButton()->isHidden());
    EXPECT_EQ(wizard.NextButton()->geometry().right(), w - 9);

    wizard.setButtons(TEPWizard::epwbHelp | TEPWizard::epwbCancel);
    EXPECT_EQ(wizard.HelpButton()->geometry().right(), wizard.BackButton()->x() - 9);
    EXPECT_TRUE(wizard.NextButton()->isDefault());
}

TEST(Wizard, DisabledWizardDisablesTheWalkAndRecomputesItWhenEnabled)
{
    ThreePages w;
    w.wizard.setActivePage(w.p2);
    w.wizard.setEnabled(false);
    EXPECT_FALSE(w.wizard.BackButton()->isEnabled());
    EXPECT_FALSE(w.wizard.NextButton()->isEnabled());
    w.wizard.setEnabled(true);
    EXPECT_TRUE(w.wizard.BackButton()->isEnabled());
    EXPECT_TRUE(w.wizard.NextButton()->isEnabled());
    EXPECT_TRUE(w.wizard.CancelButton()->isEnabled());
}

TEST(Wizard, HelpOpensTheNearestHelpContextOnly)
{
    QWidget form;
    auto* wizard = new TEPWizard(&form);
    auto* page = new TEPWizardPage(wizard);
    form.show();
    QSignalSpy help(wizard, &TEPWizard::OnHelp);
    wizard->HelpClick();
    EXPECT_EQ(help.count(), 0);
    form.setProperty("helpContext", 42);
    wizard->HelpClick();
    ASSERT_EQ(help.count(), 1);
    EXPECT_EQ(help.at(0).at(0).toInt(), 42);
    page->setProperty("helpContext", 7);
    wizard->HelpClick();
    EXPECT_EQ(help.at(1).at(0).toInt(), 7);
}

TEST(Wizard, CancelRejectsTheDialogThatHoldsIt)
{
    QDialog dialog;
    auto* wizard = new TEPWizard(&dialog);
    new TEPWizardPage(wizard);
    QSignalSpy cancel(wizard, &TEPWizard::OnCancelClick);
    dialog.show();
    wizard->CancelButton()->click();
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(Wizard, DestroyingItsWindowFiresNoPageEvents)
{
    int events = 0;
    auto dialog = std::make_unique<QDialog>();
    auto* wizard = new TEPWizard(dialog.get());
    for (int i = 0; i < 3; ++i) {
        auto* page = new TEPWizardPage(wizard);
        new QLineEdit(page);
        QObject::connect(page, &TEPWizardPage::OnShow, [&] { ++events; });
        QObject::connect(page, &TEPWizardPage::OnHide, [&] { ++events; });
        page->setOnDoneQuery([&](TEPWizardPage*, bool&) { ++events; });
    }
    QObject::connect(wizard, &TEPWizard::OnChange, [&] { ++events; });
    dialog->show();
    wizard->NextClick();
    events = 0;
    dialog.reset();
    EXPECT_EQ(events, 0);
}

TEST(Wizard, DestroyingTheActivePageMovesOnWithoutReportingIt)
{
    ThreePages w;
    w.wizard.setActivePage(w.p2);
    int hidden = 0;
    QObject::connect(w.p2, &TEPWizardPage::OnHide, [&] { ++hidden; });
    delete w.p2;
    EXPECT_EQ(hidden, 0);
    EXPECT_EQ(w.wizard.ActivePage(), w.p3);
    EXPECT_EQ(w.wizard.PageCount(), 2);
    delete w.p3;
    EXPECT_EQ(w.wizard.ActivePage(), w.p1);
    EXPECT_EQ(w.wizard.NextButton()->text(), QStringLiteral("&Finish"));

    auto* moved = new TEPWizardPage(&w.wizard);
    TEPWizard other;
    moved->setWizard(&other);
    EXPECT_EQ(w.wizard.PageCount(), 1);
    EXPECT_EQ(moved->wizard(), &other);
    EXPECT_EQ(moved->parentWidget(), &other);
}

TEST(Wizard, Screenshot)
{
    QDialog dialog;
    dialog.resize(420, 300);
    auto* wizard = new TEPWizard(&dialog);
    wizard->resize(420, 300);
    wizard->setButtons(TEPWizard::epwbHelp | TEPWizard::epwbCancel);
    auto* page = new TEPWizardPage(wizard);
    auto* edit = new QLineEdit(page);
    edit->setGeometry(20, 20, 200, 24);
    edit->setText(QStringLiteral("First step"));
    new TEPWizardPage(wizard);
    dialog.show();
    EXPECT_TRUE(SaveScreenshot(dialog, QStringLiteral("wizard")));
}
