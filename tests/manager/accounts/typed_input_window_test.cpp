// What the user types in the account windows reaches the row as typed:
// Tab moves on from the comments instead of landing in them, a date typed
// digit by digit is judged once the field is left, and every name stops at
// what its table field holds, counted as the table counts (bytes), so OK
// never refuses what the field shows.
#include "accounts_window_fixture.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "controls/tep_wizard.h"
#include "manager/dialogs/tfrm_modify.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "manager/dialogs/tfrm_rule_wiz.h"
#include "store/table_layouts.h"
#include "ui_tfrm_modify.h"
#include "ui_tfrm_new_group.h"
#include "ui_tfrm_new_node.h"
#include "ui_tfrm_rule_wiz.h"

namespace accountstest {
namespace {

QString q(const char* text) { return QString::fromUtf8(text); }
qsizetype bytes(const QString& text) { return text.toUtf8().size(); }

// Keys typed as a keyboard gives them, one character each, accents too
// (QTest's own typing knows only ASCII keys).
void typeKeys(QWidget* field, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &release);
    }
}
// Forty characters, fifty bytes: a name a folder's field shows whole.
const QString kLongName = q("Müller Łódź Ærøskøbing Straße Ørsted Küh");

// An answer for a dialog that must be shown once: a refusal of what was
// typed would bring it back, again and again.
std::function<int(QDialog&)> once(std::function<int(QDialog&)> answer)
{
    return [answer, shown = 0](QDialog& dialog) mutable {
        if (++shown > 1) {
            ADD_FAILURE() << dialog.metaObject()->className() << " shown again after a refusal";
            return int(QDialog::Rejected);
        }
        return answer(dialog);
    };
}

class TypedInput : public AccountsWindowTest {
protected:
    // Opens the selected account's properties on `page` with the window
    // active, so keys reach the focused field.
    void openProperties(QWidget* (*page)(Ui::TfrmModify&), const std::function<void(Ui::TfrmModify&)>& work)
    {
        addSelectedSalesAccount();
        answers["manager::TfrmModify"] = once([page, work](QDialog& dialog) {
            Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
            dialog.show();
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            u.PageControl1->setCurrentWidget(page(u));
            work(u);
            u.btnOK->click();
            return dialog.result();
        });
        ui().btnModify->click();
    }
    static QWidget* serverPage(Ui::TfrmModify& u) { return u.TSServer; }
    static QWidget* schedulePage(Ui::TfrmModify& u) { return u.TSSchedule; }

    // Types into the date field from its start, then leaves it with Tab.
    static void typeDate(Ui::TfrmModify& u, const char* keys, bool leave = true)
    {
        u.MedtNextDate->setFocus();
        QTest::keyClick(u.MedtNextDate, Qt::Key_Home);
        QTest::keyClicks(u.MedtNextDate, q(keys));
        if (leave)
            QTest::keyClick(u.MedtNextDate, Qt::Key_Tab);
    }
};

TEST_F(TypedInput, TabLeavesTheCommentsForTheNextFieldInTheFormsOrder)
{
    openProperties(serverPage, [](Ui::TfrmModify& u) {
        u.edtName->setFocus();
        QTest::keyClick(u.edtName, Qt::Key_Tab);
        EXPECT_TRUE(u.MemoComments->hasFocus());
        QTest::keyClicks(u.MemoComments, q("Front desk"));
        const std::vector<QWidget*> order{u.edtAddress, u.edtSMTPAddress, u.edtPopAddress, u.edtUserName,
                                          u.edtPassword};
        QWidget* from = u.MemoComments;
        for (QWidget* next : order) {
            QTest::keyClick(from, Qt::Key_Tab);
            EXPECT_TRUE(next->hasFocus()) << next->objectName().toStdString() << " after "
                                          << from->objectName().toStdString();
            from = next;
        }
        QTest::keyClick(u.edtAddress, Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_FALSE(u.MemoComments->toPlainText().contains(QLatin1Char('\t')));
    });
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(rows(store::kNodesTable, {"NOTES"}), (Rows{{"Front desk"}}));
}

TEST_F(TypedInput, ADateTypedDigitByDigitIsJudgedOnlyWhenTheFieldIsLeft)
{
    const QDate today = QDate::currentDate();
    openProperties(schedulePage, [today](Ui::TfrmModify& u) {
        // Over "12/10/26" the third key makes "01/00/26", a day that does
        // not exist, on the way to the date meant.
        u.cal->setSelectedDate(QDate(2026, 12, 10));
        typeDate(u, "010527", false);
        EXPECT_EQ(u.MedtNextDate->text(), q("01/05/27"));
        EXPECT_EQ(u.cal->selectedDate(), QDate(2026, 12, 10)) << "judged at a key";
        QTest::keyClick(u.MedtNextDate, Qt::Key_Tab);
        EXPECT_EQ(u.cal->selectedDate(), QDate(2027, 1, 5));
        EXPECT_EQ(u.lblDateRead->text(), q("January 05 2027"));

        // A year rubbed out is no year 2000, nor 2002 with one digit left.
        for (int digits : {1, 2}) {
            u.cal->setSelectedDate(QDate(2027, 1, 5));
            u.MedtNextDate->setFocus();
            QTest::keyClick(u.MedtNextDate, Qt::Key_End);
            for (int i = 0; i < digits; ++i)
                QTest::keyClick(u.MedtNextDate, Qt::Key_Backspace);
            EXPECT_EQ(u.cal->selectedDate(), QDate(2027, 1, 5)) << digits;
            QTest::keyClick(u.MedtNextDate, Qt::Key_Tab);
            EXPECT_EQ(u.cal->selectedDate(), today) << digits;
            EXPECT_EQ(u.MedtNextDate->text(), today.toString(QStringLiteral("MM/dd/yy"))) << digits;
        }

        // A 13th month snaps to today only once left; a two-digit year
        // reads by the system's pivot.
        typeDate(u, "1301", false);
        EXPECT_EQ(u.MedtNextDate->text().left(5), q("13/01"));
        QTest::keyClick(u.MedtNextDate, Qt::Key_Tab);
        EXPECT_EQ(u.cal->selectedDate(), today);
        typeDate(u, "123151");
        EXPECT_EQ(u.cal->selectedDate(), QDate(1951, 12, 31));

        // The calendar still sets the field.
        u.btnNextMonth->click();
        EXPECT_EQ(u.MedtNextDate->text(), q("12/31/51"));
        u.cal->setSelectedDate(QDate(2028, 2, 29));
        EXPECT_EQ(u.MedtNextDate->text(), q("02/29/28"));
        // Typed and not left, OK judges it.
        typeDate(u, "070428", false);
    });
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(rows(store::kNodesTable, {"NEXTDATE"}), (Rows{{"07/04/28"}}));
}

TEST_F(TypedInput, ADateLeftUnfinishedWhenOkIsPressedIsTodayNotAnotherCentury)
{
    openProperties(schedulePage, [](Ui::TfrmModify& u) {
        u.MedtNextDate->setFocus();
        QTest::keyClick(u.MedtNextDate, Qt::Key_End);
        QTest::keyClick(u.MedtNextDate, Qt::Key_Backspace);
        QTest::keyClick(u.MedtNextDate, Qt::Key_Backspace);
    });
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(rows(store::kNodesTable, {"NEXTDATE"}),
              (Rows{{QDate::currentDate().toString(QStringLiteral("MM/dd/yy")).toStdString()}}));
}

TEST_F(TypedInput, AccountFieldsStopAtTheBytesTheirFieldsHoldAndOkTakesWhatTheyShow)
{
    QString shownName;
    openProperties(serverPage, [&shownName](Ui::TfrmModify& u) {
        const struct {
            QLineEdit* field;
            int width;
        } fields[] = {{u.edtName, 40}, {u.edtAddress, 75}, {u.edtSMTPAddress, 50},
                      {u.edtPopAddress, 50}, {u.edtUserName, 25}, {u.edtPassword, 25}};
        for (const auto& f : fields) {
            f.field->clear();
            f.field->setFocus();
            typeKeys(f.field, kLongName + kLongName);
            EXPECT_LE(bytes(f.field->text()), f.width) << f.field->objectName().toStdString();
            EXPECT_GT(bytes(f.field->text()), f.width - 3) << f.field->objectName().toStdString();
            EXPECT_TRUE(kLongName.repeated(2).startsWith(f.field->text())) << f.field->objectName().toStdString();
        }
        // The servers must still be host names to pass.
        u.edtSMTPAddress->setText(q("smtp.example.org"));
        u.edtPopAddress->setText(q("pop.example.org"));
        shownName = u.edtName->text();
    });
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    ASSERT_FALSE(shownName.isEmpty());
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{shownName.toStdString()}}));
}

TEST_F(TypedInput, FolderAndAccountNamesStopAtTheirWidthInTheDialogsAndTheTree)
{
    answers["manager::TfrmNewGroup"] = once([](QDialog& dialog) {
        Ui::TfrmNewGroup& u = *static_cast<manager::TfrmNewGroup&>(dialog).ui();
        typeKeys(u.edtGroupName, kLongName);
        EXPECT_EQ(bytes(u.edtGroupName->text()), 40);
        u.btnOK->click();
        return dialog.result();
    });
    ui().Position1->trigger();
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    const Rows folders = rows(store::kGroupsTable, {"GROUP"});
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_TRUE(kLongName.startsWith(QString::fromStdString(folders[0][0])));

    answers["manager::TfrmNewNode"] = once([](QDialog& dialog) {
        Ui::TfrmNewNode& u = *static_cast<manager::TfrmNewNode&>(dialog).ui();
        dialog.show();
        for (QLineEdit* field : {u.edtNodeName, u.edtUsername, u.edtPassword, u.edtEmail})
            typeKeys(field, q("Konto ") + kLongName + kLongName);
        EXPECT_EQ(bytes(u.edtNodeName->text()), 40);
        EXPECT_LE(bytes(u.edtUsername->text()), 25);
        EXPECT_LE(bytes(u.edtPassword->text()), 25);
        EXPECT_LE(bytes(u.edtEmail->text()), 75);
        u.edtSMTP->setText(q("mail.example.org"));
        for (int page = 0; page < 7 && dialog.result() != QDialog::Accepted; ++page)
            u.NewNodeWiz->NextButton()->click();
        return dialog.result();
    });
    select(QString::fromStdString(folders[0][0]));
    ui().B1->trigger();
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    const Rows accounts = rows(store::kNodesTable, {"NODE"});
    ASSERT_EQ(accounts.size(), 1u);

    // Renamed in place: the tree's editor stops there too.
    QTreeWidgetItem* account = item(QString::fromStdString(accounts[0][0]));
    ASSERT_NE(account, nullptr);
    select(account->text(0));
    tree()->editItem(account, 0);
    auto* editor = tree()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    typeKeys(editor, q("Łódź ") + kLongName);
    const QString renamed = editor->text();
    EXPECT_EQ(bytes(renamed), 40);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{renamed.toStdString()}}));
}

TEST_F(TypedInput, RestrictionTextsStopAtTheirFieldsAndAKeyTypedInsideAFullNameIsNotTaken)
{
    answers["manager::TfrmRuleWiz"] = once([](QDialog& dialog) {
        Ui::TfrmRuleWiz& u = *static_cast<manager::TfrmRuleWiz&>(dialog).ui();
        dialog.show();
        const QString long300 = q("ä").repeated(300);
        u.cmbField->lineEdit()->clear();
        typeKeys(u.cmbField->lineEdit(), long300);
        typeKeys(u.edtValue, long300);
        EXPECT_EQ(bytes(u.cmbField->currentText()), 254);
        EXPECT_EQ(bytes(u.edtValue->text()), 254);
        u.cmbCondition->setCurrentIndex(1);
        u.cmbSField->lineEdit()->selectAll();
        typeKeys(u.cmbSField->lineEdit(), long300);
        EXPECT_EQ(bytes(u.cmbSField->currentText()), 254);
        u.cmbCondition->setCurrentIndex(0);

        typeKeys(u.edtName, kLongName);
        EXPECT_EQ(bytes(u.edtName->text()), 49);
        const QString full = u.edtName->text();
        u.edtName->setCursorPosition(3);
        QTest::keyClicks(u.edtName, q("x"));
        EXPECT_EQ(u.edtName->text(), full) << "the text moved for a key not taken";
        for (int page = 0; page < 3 && dialog.result() != QDialog::Accepted; ++page)
            u.EPWizard1->NextButton()->click();
        return dialog.result();
    });
    answers["manager::TfrmModify"] = [](QDialog& dialog) {
        static_cast<manager::TfrmModify&>(dialog).ui()->btnAdd->click();
        return int(QDialog::Rejected);
    };
    addSelectedSalesAccount();
    ui().btnModify->click();
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    const Rows rules = rows(store::kRulesTable, {"RULE", "CONDVAL1", "CONDVAL2"});
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[1][0].size(), 49u);
    EXPECT_EQ(rules[1][1], q("ä").repeated(127).toStdString());
    EXPECT_EQ(rules[1][2], q("ä").repeated(127).toStdString());
}

}  // namespace
}  // namespace accountstest
