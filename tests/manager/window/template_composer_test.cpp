// The template composer as the main window opens it: run modally over the
// action dialog's "&Create New" (where a window of its own would be blocked
// by the modal dialogs under it) with the saved template becoming the reply,
// and from the templates tab, where a saved template is listed at once and
// Save As starts in the templates folder.
#include "message_window_fixture.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

#include "manager/dialogs/agent_list_editor.h"
#include "manager/dialogs/tfrm_action.h"
#include "manager/dialogs/tfrm_agent_properties.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_new_agent.h"
#include "manager/dialogs/tfrm_pref.h"
#include "manager/main/tfrm_main.h"
#include "platform/files.h"
#include "store/agent_file.h"
#include "ui_tfrm_action.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_message.h"
#include "ui_tfrm_pref.h"

namespace managertest {
namespace {

using manager::DialogSeam;
using manager::TfrmMessage;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The list's captions, sorted: the list keeps the folder's order.
std::vector<std::string> captions(const QTreeWidget* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.push_back(list->topLevelItem(i)->text(0).toStdString());
    std::sort(texts.begin(), texts.end());
    return texts;
}

class TemplateComposer : public MessageWindowTest {
protected:
    manager::TfrmMain main;
    Ui::TfrmMain& ui = *main.ui();
    std::string agents = dir.path() + "/agents/";
    std::string templates = dir.path() + "/templates/";
    // Where each file dialog started.
    std::vector<std::string> chooserFolders;
    // The action dialog, as the agent dialogs' add button shows it.
    std::function<int(manager::TfrmAction&)> onAction;
    // The composer, as "&Create New" runs it; null: closed as it is.
    std::function<void(TfrmMessage&)> onComposer;
    std::vector<std::string> composerChecks;

    void SetUp() override
    {
        MessageWindowTest::SetUp();
        platform::ForceDirectories(agents);
        platform::ForceDirectories(templates);
        main.Folders().agents = agents;
        main.Folders().templates = templates;
        const auto files = onDialog;
        onDialog = [this, files](QDialog& dialog) {
            if (auto* chooser = qobject_cast<QFileDialog*>(&dialog))
                chooserFolders.push_back(QDir(chooser->directory()).canonicalPath().toStdString());
            if (auto* action = qobject_cast<manager::TfrmAction*>(&dialog))
                return onAction ? onAction(*action) : int(QDialog::Rejected);
            return files(dialog);
        };
        DialogSeam::SetWindowAnswerer([this](QWidget& window) {
            auto* composer = qobject_cast<TfrmMessage*>(&window);
            ASSERT_NE(composer, nullptr);
            // Nothing under a modal dialog takes input unless it is modal too.
            if (!composer->isVisible() || composer->windowModality() != Qt::ApplicationModal)
                composerChecks.push_back("not shown modally");
            if (composer->focusWidget() != composer->ui()->edtSubject)
                composerChecks.push_back("subject not focused");
            if (onComposer)
                onComposer(*composer);
        });
    }
    void TearDown() override
    {
        DialogSeam::SetWindowAnswerer({});
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<TfrmMessage*>(window))
                windows.emplace_back(window);
        for (const QPointer<QWidget>& window : windows)
            delete window.data();
        MessageWindowTest::TearDown();
    }

    std::string canonical(const std::string& folder) const
    {
        return QDir(QString::fromStdString(folder)).canonicalPath().toStdString();
    }

    // Types a subject and a body as the user would.
    static void type(TfrmMessage& composer, const char* subject, const char* body)
    {
        QTest::keyClicks(composer.ui()->edtSubject, QString::fromLatin1(subject));
        QTest::keyClicks(composer.ui()->REBody, QString::fromLatin1(body));
    }

    // The action dialog: Auto-Reply, the field as given, "&Create New", then
    // what the field holds, and OK.
    void createNewIn(const std::string& typed, std::string& fieldAfter, QPointer<TfrmMessage>& composerSeen)
    {
        onAction = [this, typed, &fieldAfter, &composerSeen](manager::TfrmAction& action) {
            action.SelectAction("Auto-Reply");
            action.ui()->edtReplywith->setText(QString::fromStdString(typed));
            const auto user = onComposer;
            onComposer = [&composerSeen, &action, user](TfrmMessage& composer) {
                composerSeen = &composer;
                EXPECT_EQ(composer.parentWidget(), &action);
                if (user)
                    user(composer);
            };
            action.ui()->btnCreateNew->click();
            onComposer = user;
            fieldAfter = action.ui()->edtReplywith->text().toStdString();
            action.OKClick();
            return action.result();
        };
    }
};

TEST_F(TemplateComposer, CreateNewInTheAgentWizardTakesTheSavedTemplateAsTheReply)
{
    onComposer = [this](TfrmMessage& composer) {
        type(composer, "Welcome aboard", "We have your message.");
        screenshot(composer, "manager_composer_over_action_dialog");
        chosenFiles = {templates + "Welcome.eml"};
        EXPECT_TRUE(composer.Save1Click());
        composer.close();
    };
    std::string field;
    QPointer<TfrmMessage> composer;
    createNewIn("", field, composer);
    std::vector<std::string> rowParameters;
    onOtherDialog = [&](QDialog& dialog) {
        auto& wizard = dynamic_cast<manager::TfrmNewAgent&>(dialog);
        wizard.Editor().AddAction();
        rowParameters = wizard.Lists().actionParam2;
        return int(QDialog::Rejected);
    };
    main.A1Click();

    EXPECT_TRUE(composerChecks.empty()) << composerChecks.front();
    EXPECT_EQ(chooserFolders, std::vector<std::string>{canonical(templates)});
    EXPECT_EQ(field, templates + "Welcome.eml");
    EXPECT_EQ(rowParameters, std::vector<std::string>{templates + "Welcome.eml"});
    const std::string saved = test_support::readFile(templates + "Welcome.eml");
    EXPECT_TRUE(has(saved, "Welcome aboard")) << saved;
    EXPECT_TRUE(has(saved, "We have your message.")) << saved;
    // The composer was the dialog's to free, and it is gone with its run.
    EXPECT_TRUE(composer.isNull());
    EXPECT_EQ(captions(ui.lstVTemplates), std::vector<std::string>{"Welcome"});
}

TEST_F(TemplateComposer, CreateNewInAgentPropertiesClosedUnsavedLeavesTheReplyAsItWas)
{
    store::WriteAgentFile(agents + "Helper.agent", "MESSAGE", {{"Subject", "contains", "help"}},
                          {{"PLAY SOUND", "x.wav", ""}}, platform::Now());
    main.RefreshAgents();
    ui.lstVAgents->topLevelItem(0)->setSelected(true);
    // Typed, then closed with "No" to the save question.
    onComposer = [this](TfrmMessage& composer) {
        type(composer, "Draft", "Not yet.");
        boxAnswer = QMessageBox::No;
        composer.close();
    };
    std::string field;
    QPointer<TfrmMessage> composer;
    createNewIn("/old/reply.eml", field, composer);
    onOtherDialog = [](QDialog& dialog) {
        dynamic_cast<manager::TfrmAgentProperties&>(dialog).Editor().AddAction();
        return int(QDialog::Accepted);
    };
    ui.btnAgentsModify->click();

    EXPECT_TRUE(composerChecks.empty()) << composerChecks.front();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Save changes?"});
    EXPECT_EQ(field, "/old/reply.eml");
    EXPECT_TRUE(composer.isNull());
    EXPECT_TRUE(has(test_support::readFile(agents + "Helper.agent"), "/old/reply.eml"));
    EXPECT_TRUE(QDir(QString::fromStdString(templates)).entryList(QDir::Files).isEmpty());

    // A composer the user leaves open is closed when its run ends: the
    // question is asked, and nothing is saved.
    boxes.clear();
    onComposer = [](TfrmMessage& composer) { type(composer, "Left open", ""); };
    ui.btnAgentsModify->click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Save changes?"});
    EXPECT_EQ(field, "/old/reply.eml");
    EXPECT_TRUE(composer.isNull());
}

TEST_F(TemplateComposer, ANewTemplateFromTheMenuStaysItsOwnWindowAndIsListedOnceSaved)
{
    test_support::writeFile(templates + "Older.eml", "Subject: older\r\n\r\n");
    main.RefreshTemplates();
    ui.lstVTemplates->topLevelItem(0)->setSelected(true);
    main.MailMessageTemplate1Click();
    QPointer<TfrmMessage> composer = newest<TfrmMessage>();
    ASSERT_TRUE(composer);
    EXPECT_TRUE(composer->isVisible());
    EXPECT_EQ(composer->windowModality(), Qt::NonModal);
    EXPECT_TRUE(composer->testAttribute(Qt::WA_DeleteOnClose));
    type(*composer, "Fresh", "New words.");
    chosenFiles = {templates + "Fresh.eml"};
    ASSERT_TRUE(composer->Save1Click());
    EXPECT_EQ(captions(ui.lstVTemplates), (std::vector<std::string>{"Fresh", "Older"}));
    // Saving a listed template again leaves the list, and its selection, alone.
    ui.lstVTemplates->clearSelection();
    ui.lstVTemplates->findItems(QStringLiteral("Older"), Qt::MatchExactly).front()->setSelected(true);
    composer->ui()->REBody->append(QStringLiteral("More."));
    ASSERT_TRUE(composer->Save1Click());
    ASSERT_EQ(ui.lstVTemplates->selectedItems().size(), 1);
    EXPECT_EQ(ui.lstVTemplates->selectedItems().front()->text(0).toStdString(), "Older");
    // A copy saved elsewhere is no template.
    platform::ForceDirectories(dir.path() + "/elsewhere");
    chosenFiles = {dir.path() + "/elsewhere/Copy.eml"};
    ASSERT_TRUE(composer->SaveAs1Click());
    EXPECT_EQ(captions(ui.lstVTemplates), (std::vector<std::string>{"Fresh", "Older"}));
}

TEST_F(TemplateComposer, SaveAsOfAnOpenedTemplateStartsInTheTemplatesFolder)
{
    test_support::writeFile(templates + "Thanks.eml", "Subject: Thanks\r\n\r\nThank you.\r\n");
    main.RefreshTemplates();
    ui.lstVTemplates->topLevelItem(0)->setSelected(true);
    ui.btnARModify->click();
    QPointer<TfrmMessage> composer = newest<TfrmMessage>();
    ASSERT_TRUE(composer);
    chosenFiles = {templates + "Thanks again.eml"};
    ASSERT_TRUE(composer->SaveAs1Click());
    EXPECT_EQ(chooserFolders, std::vector<std::string>{canonical(templates)});
    EXPECT_EQ(captions(ui.lstVTemplates), (std::vector<std::string>{"Thanks", "Thanks again"}));
}

TEST_F(TemplateComposer, ATemplatesFolderChosenInPreferencesIsMadeListedAndWhereSaveAsStarts)
{
    main.Folders().messages = dir.path() + "/messages/";
    main.Folders().database = homeDir();
    test_support::writeFile(templates + "Older.eml", "Subject: older\r\n\r\n");
    main.RefreshTemplates();
    // A composer open before the change saves into the new folder too.
    main.MailMessageTemplate1Click();
    QPointer<TfrmMessage> composer = newest<TfrmMessage>();
    ASSERT_TRUE(composer);
    const auto choose = [this](const std::string& folder) {
        onOtherDialog = [folder](QDialog& dialog) {
            auto& pref = dynamic_cast<manager::TfrmPref&>(dialog);
            pref.ui()->edtTemplates->setText(QString::fromStdString(folder));
            pref.ui()->edtAgentsPath->setText(QString::fromStdString(folder + "agents/"));
            return int(QDialog::Accepted);
        };
        main.SetPreferences1Click();
    };

    const std::string held = dir.path() + "/held/";
    platform::ForceDirectories(held);
    test_support::writeFile(held + "Kept.eml", "Subject: kept\r\n\r\n");
    choose(held);
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(captions(ui.lstVTemplates), std::vector<std::string>{"Kept"});

    const std::string fresh = dir.path() + "/fresh/templates/";
    choose(fresh);
    EXPECT_TRUE(platform::DirectoryExists(fresh));
    EXPECT_TRUE(platform::DirectoryExists(fresh + "agents/"));
    EXPECT_TRUE(captions(ui.lstVTemplates).empty());
    chosenFiles = {fresh + "Fresh.eml"};
    ASSERT_TRUE(composer->SaveAs1Click());
    // One made after the change starts there as well.
    delete composer.data();
    main.MailMessageTemplate1Click();
    QPointer<TfrmMessage> later = newest<TfrmMessage>();
    ASSERT_TRUE(later);
    chosenFiles = {fresh + "Later.eml"};
    ASSERT_TRUE(later->SaveAs1Click());
    EXPECT_EQ(chooserFolders, (std::vector<std::string>{canonical(fresh), canonical(fresh)}));
    EXPECT_EQ(captions(ui.lstVTemplates), (std::vector<std::string>{"Fresh", "Later"}));
}

TEST_F(TemplateComposer, AFolderThatCannotBeMadeIsSaidAndThePreferencesComeBackAsTyped)
{
    main.Folders().messages = dir.path() + "/messages/";
    test_support::writeFile(dir.path() + "/plain", "a file, not a folder");
    const std::string refused = dir.path() + "/plain/templates/";
    std::vector<std::string> shown;
    onOtherDialog = [&](QDialog& dialog) {
        auto& pref = dynamic_cast<manager::TfrmPref&>(dialog);
        shown.push_back(pref.ui()->edtTemplates->text().toStdString());
        if (shown.size() > 1)
            return int(QDialog::Rejected);
        pref.ui()->edtTemplates->setText(QString::fromStdString(refused));
        return int(QDialog::Accepted);
    };
    main.SetPreferences1Click();
    ASSERT_EQ(boxTexts().size(), 1u);
    EXPECT_NE(boxTexts()[0].find("Unable to create directory " + refused), std::string::npos) << boxTexts()[0];
    EXPECT_EQ(shown, (std::vector<std::string>{templates, refused}));
    EXPECT_EQ(main.Folders().templates, templates);
}

// The seam's own modal run, as the program shows it: over an application-
// modal dialog, a window merely shown takes no key; one run modally does
// while the dialog under it takes none, and the run ends when it closes.
TEST(ModalWindowRun, AWindowRunOverAModalDialogTakesTheKeysAndTheRunEndsWhenItCloses)
{
    QDialog asker;
    asker.setModal(true);
    auto* askerEdit = new QLineEdit(&asker);
    auto windowWithEdit = [](QWidget* parent) {
        auto* window = new QMainWindow(parent);
        window->setWindowFlag(Qt::Window);
        window->setCentralWidget(new QLineEdit(window));
        return window;
    };
    // Keys as the window system hands them over, which is where a window
    // blocked by a modal one loses them.
    auto typeInto = [](QWidget& window, QLineEdit* edit) {
        window.activateWindow();
        edit->setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        for (char key : std::string("ok"))
            QTest::keyClick(window.windowHandle(), key);
        return edit->text().toStdString();
    };
    std::string plainText = "not run";
    std::string modalText = "not run";
    std::string askerText = "not run";
    bool ranToItsEnd = false;
    QTimer::singleShot(0, &asker, [&] {
        std::unique_ptr<QMainWindow> plain(windowWithEdit(nullptr));
        plain->show();
        plainText = typeInto(*plain, static_cast<QLineEdit*>(plain->centralWidget()));
        plain.reset();

        std::unique_ptr<QMainWindow> modal(windowWithEdit(&asker));
        QTimer::singleShot(0, modal.get(), [&] {
            modalText = typeInto(*modal, static_cast<QLineEdit*>(modal->centralWidget()));
            askerText = typeInto(asker, askerEdit);
            modal->close();
        });
        // Should the run not end by itself, the test must not hang.
        QTimer::singleShot(5000, modal.get(), [&] { modal->hide(); });
        DialogSeam::RunModalWindow(*modal);
        ranToItsEnd = !modal->isVisible();
        asker.reject();
    });
    QTimer::singleShot(10000, &asker, &QDialog::reject);
    asker.exec();
    EXPECT_EQ(plainText, "");
    EXPECT_EQ(modalText, "ok");
    EXPECT_EQ(askerText, "");
    EXPECT_TRUE(ranToItsEnd);
}

}  // namespace
}  // namespace managertest
