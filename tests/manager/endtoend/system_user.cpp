#include "tests/manager/endtoend/system_user.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include "manager/dialogs/tfrm_agents.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_modify.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "manager/dialogs/tfrm_rule_wiz.h"
#include "manager/dialogs/tfrm_update_field.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "tests/manager/window/tree_selection.h"
#include "ui_tfrm_agents.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_message.h"
#include "ui_tfrm_modify.h"
#include "ui_tfrm_new_group.h"
#include "ui_tfrm_new_node.h"
#include "ui_tfrm_rule_wiz.h"
#include "ui_tfrm_update_field.h"

namespace managertest {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

void type(QWidget* field, const QString& text)
{
    field->setFocus();
    QTest::keyClicks(field, text);
}

// The wizard's Next (Finish on its last page).
void pressNext(TEPWizard* wizard) { wizard->NextButton()->click(); }

void clickItem(QTreeWidget* list, QTreeWidgetItem* item)
{
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// The merge-code picker: a category, a click on one of its possible uses, OK.
int pickCode(QDialog& dialog, int category, const QString& use)
{
    auto& picker = dynamic_cast<manager::TfrmUpdateField&>(dialog);
    Ui::TfrmUpdateField& u = *picker.ui();
    picker.show();
    u.lstVCatagory->setCurrentRow(category);
    QApplication::processEvents();
    QTreeWidget* uses = category == 0 ? u.lstVPos : u.lstVPos2;
    const QList<QTreeWidgetItem*> found = uses->findItems(use, Qt::MatchExactly);
    if (found.isEmpty()) {
        ADD_FAILURE() << "the picker offers no " << use.toStdString();
        return QDialog::Rejected;
    }
    clickItem(uses, found.front());
    EXPECT_EQ(u.edtFieldName->text(), use);
    u.btnOk->click();
    return picker.result();
}

manager::TfrmMessage* shownComposer()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* composer = qobject_cast<manager::TfrmMessage*>(window); composer && composer->isVisible())
            return composer;
    return nullptr;
}

}  // namespace

SystemUser::SystemUser(SystemSetup setup) : setup_(std::move(setup))
{
    manager::DialogSeam::SetBoxAnswerer([this](const manager::BoxRequest& request) {
        boxes_.push_back(request.text.toStdString());
        return request.buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
    });
    manager::DialogSeam::SetDialogAnswerer([this](QDialog& dialog) { return answer(dialog); });
    // The only file chooser of the seam here: the action dialog's template Browse.
    manager::DialogSeam::SetFileAnswerer([this](const manager::FileRequest&) { return q(setup_.templateFile); });
}

SystemUser::~SystemUser()
{
    manager::DialogSeam::SetBoxAnswerer({});
    manager::DialogSeam::SetDialogAnswerer({});
    manager::DialogSeam::SetFileAnswerer({});
}

int SystemUser::answer(QDialog& dialog)
{
    const int agentDialog = driver_.answer(dialog);
    if (agentDialog == QDialog::Accepted)
        return agentDialog;
    const auto found = answers_.find(dialog.metaObject()->className());
    if (found != answers_.end())
        return found->second(dialog);
    unanswered_.push_back(dialog.metaObject()->className());
    return QDialog::Rejected;
}

void SystemUser::NewFolder(manager::TfrmMain& main)
{
    answers_["manager::TfrmNewGroup"] = [this](QDialog& dialog) {
        Ui::TfrmNewGroup& u = *static_cast<manager::TfrmNewGroup&>(dialog).ui();
        type(u.edtGroupName, q(setup_.folder));
        u.btnOK->click();
        return dialog.result();
    };
    main.ui()->Position1->trigger();
}

void SystemUser::NewAccount(manager::TfrmMain& main)
{
    SelectTreeItem(main, q(setup_.folder));
    answers_["manager::TfrmNewNode"] = [this](QDialog& dialog) {
        auto& wizard = static_cast<manager::TfrmNewNode&>(dialog);
        Ui::TfrmNewNode& u = *wizard.ui();
        // Shown, the wizard puts today's date and the time now in its
        // schedule: the account is due at once.
        wizard.show();
        type(u.edtNodeName, q(setup_.account));
        pressNext(u.NewNodeWiz);
        const auto folders = u.lstGroups->findItems(q(setup_.folder), Qt::MatchExactly);
        if (!folders.isEmpty())
            u.lstGroups->setCurrentItem(folders.front());
        pressNext(u.NewNodeWiz);
        // The POP field follows the SMTP field until it is typed into.
        type(u.edtSMTP, q(setup_.smtpAddress));
        u.edtPOP->clear();
        type(u.edtPOP, q(setup_.popAddress));
        pressNext(u.NewNodeWiz);
        type(u.edtUsername, q(setup_.login));
        type(u.edtPassword, q(setup_.password));
        pressNext(u.NewNodeWiz);
        type(u.edtEmail, q(setup_.accountAddress));
        pressNext(u.NewNodeWiz);
        u.edtMins->clear();
        type(u.edtMins, QStringLiteral("5"));
        pressNext(u.NewNodeWiz);
        // The control restriction: leave every message on the server.
        u.cmbAction1->setCurrentText(QStringLiteral("NO"));
        u.cmbAction2->setCurrentText(QStringLiteral("NO"));
        pressNext(u.NewNodeWiz);
        return dialog.result();
    };
    main.ui()->btnNew->click();
}

void SystemUser::AddRestriction(manager::TfrmMain& main)
{
    SelectTreeItem(main, q(setup_.account));
    answers_["manager::TfrmRuleWiz"] = [this](QDialog& dialog) {
        auto& wizard = static_cast<manager::TfrmRuleWiz&>(dialog);
        Ui::TfrmRuleWiz& u = *wizard.ui();
        wizard.show();
        u.cmbCondition->setCurrentText(QStringLiteral("If header field contains"));
        u.cmbField->setCurrentText(QStringLiteral("Subject"));
        type(u.edtValue, q(setup_.restrictionWord));
        pressNext(u.EPWizard1);
        u.cmbAction1->setCurrentText(QStringLiteral("YES"));
        u.cmbAction2->setCurrentText(QStringLiteral("YES"));
        pressNext(u.EPWizard1);
        type(u.edtName, QStringLiteral("Fetch orders"));
        pressNext(u.EPWizard1);
        return dialog.result();
    };
    answers_["manager::TfrmModify"] = [](QDialog& dialog) {
        Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
        dialog.show();
        u.btnAdd->click();
        EXPECT_EQ(u.lstVRules->topLevelItemCount(), 2);
        u.btnOK->click();
        return dialog.result();
    };
    main.ui()->btnModify->click();
}

void SystemUser::WriteTemplate(manager::TfrmMain& main)
{
    SelectTreeItem(main, q(setup_.account));
    main.ui()->pageControlMain->setCurrentIndex(2);
    main.ui()->btnARNew->click();
    manager::TfrmMessage* composer = shownComposer();
    ASSERT_NE(composer, nullptr);
    Ui::TfrmMessage& u = *composer->ui();
    type(u.edtSubject, q(setup_.replySubject));
    QTextEdit* body = u.REBody;
    const auto line = [&](const QString& text) {
        type(body, text);
        QTest::keyClick(body, Qt::Key_Return);
    };
    // Two codes from the picker (one of each category), one typed: the
    // picker has no REPLYFIELD category.
    type(body, QStringLiteral("Dear "));
    answers_["manager::TfrmUpdateField"] = [](QDialog& dialog) {
        return pickCode(dialog, 0, QStringLiteral("FromName"));
    };
    u.MergeCode1->trigger();
    line(QStringLiteral(","));
    line(QStringLiteral("your order <<REPLYFIELD~ORDER>> is noted."));
    type(body, QStringLiteral("Sent by "));
    answers_["manager::TfrmUpdateField"] = [](QDialog& dialog) {
        return pickCode(dialog, 1, QStringLiteral("CURRENTNODEADDRESS"));
    };
    u.MergeCode1->trigger();
    QTest::keyClick(body, Qt::Key_Return);
    answers_["QFileDialog"] = [this](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(q(setup_.templateFile));
        return int(QDialog::Accepted);
    };
    u.Save1->trigger();
    EXPECT_EQ(composer->CurrentFileName(), setup_.templateFile);
    composer->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shownComposer(), nullptr);
}

void SystemUser::NewAgent(manager::TfrmMain& main)
{
    driver_.agent = {{{"Subject", "contains", setup_.triggerWord}},
                     {{"Auto-Reply", "", true}, {"Forward To", setup_.forwardAddress}},
                     setup_.agent};
    main.ui()->btnAgentsNew->click();
}

void SystemUser::AttachAgent(manager::TfrmMain& main)
{
    main.ui()->pageControlMain->setCurrentWidget(main.ui()->TSaccounts);
    SelectTreeItem(main, q(setup_.account));
    answers_["manager::TfrmAgents"] = [this](QDialog& dialog) {
        Ui::TfrmAgents& u = *static_cast<manager::TfrmAgents&>(dialog).ui();
        const auto found = u.lstVAgents->findItems(q(setup_.agent), Qt::MatchExactly);
        if (found.isEmpty())
            return int(QDialog::Rejected);
        u.lstVAgents->setCurrentItem(found.front());
        u.btnOK->click();
        return dialog.result();
    };
    // The tree's pop-up menu on the account: after a tab change the File
    // menu's entry waits for a fresh selection.
    main.PopupMenuTreePopup();
    for (QAction* entry : main.PopupMenuTree()->actions())
        if (entry->text() == QStringLiteral("&Attach Agent...") && entry->isVisible())
            return entry->trigger();
    ADD_FAILURE() << "the account's pop-up menu has no Attach Agent";
}

}  // namespace managertest
