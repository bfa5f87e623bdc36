// The splash and the small windows: what each holds and the little each
// does.
#include "window_fixture.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "manager/dialogs/tform1.h"
#include "manager/dialogs/tfrm_custom_send.h"
#include "manager/dialogs/tfrm_find.h"
#include "manager/dialogs/tfrm_message_pre.h"
#include "manager/dialogs/tfrm_mm_wiz.h"
#include "manager/dialogs/tfrm_msg_properties.h"
#include "manager/dialogs/tfrm_msg_source.h"
#include "manager/dialogs/tfrm_rem.h"
#include "manager/dialogs/tfrm_pref.h"
#include "manager/dialogs/tfrm_update.h"
#include "manager/dialogs/tsplash_form.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"
#include "ui_tform1.h"
#include "ui_tfrm_custom_send.h"
#include "ui_tfrm_mm_wiz.h"
#include "ui_tfrm_msg_properties.h"
#include "ui_tfrm_msg_source.h"
#include "ui_tfrm_rem.h"
#include "ui_tfrm_update.h"
#include "ui_tsplash_form.h"

namespace managertest {
namespace {

class SmallWindows : public WindowTest {};

TEST_F(SmallWindows, TheSplashClosesOnAClickOnItsText)
{
    manager::TSplashForm splash;
    splash.show();
    EXPECT_EQ(splash.size(), QSize(393, 380));
    EXPECT_EQ(splash.ui()->lblVersion->text().toStdString(),
              "Tarsel Mail Management System -- Version 1 Build 061298");
    screenshot(splash, "manager_splash");
    QTest::mouseClick(splash.ui()->lblServer, Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Rejected);
}

TEST_F(SmallWindows, CustomSendTakesTheSenderFromMailIni)
{
    test_support::writeFile(dir.path() + "/config/MAIL.INI", "[Internet]\nDefaultFromAddress=me@example.org\n");
    manager::TfrmCustomSend send;
    EXPECT_EQ(send.ui()->edtFrom->text().toStdString(), "me@example.org");
    EXPECT_EQ(send.ui()->cmbEncode->currentText().toStdString(), "MIME");
    EXPECT_EQ(send.ui()->cmbCharacterSet->currentText().toStdString(), "US ASCII");
    EXPECT_EQ(send.ui()->edtNumCopies->value(), 1);
    EXPECT_EQ(send.ui()->edtNumCopies->maximum(), 10000);
    EXPECT_EQ(send.windowTitle().toStdString(), "Custom Send");
    std::remove((dir.path() + "/config/MAIL.INI").c_str());
    manager::TfrmCustomSend without;
    EXPECT_TRUE(without.ui()->edtFrom->text().isEmpty());
}

TEST_F(SmallWindows, TheMailMergeWizardStepsWithinItsThreeSteps)
{
    QPointer<manager::TfrmMMWiz> wizard = new manager::TfrmMMWiz;
    Ui::TfrmMMWiz& ui = *wizard->ui();
    EXPECT_EQ(wizard->Step(), 1);
    QTest::mouseClick(ui.btnBack, Qt::LeftButton);
    EXPECT_EQ(wizard->Step(), 1);
    QTest::mouseClick(ui.btnNext, Qt::LeftButton);
    EXPECT_EQ(ui.stackSteps->currentWidget(), ui.panelStep2);
    QTest::mouseClick(ui.btnNext, Qt::LeftButton);
    QTest::mouseClick(ui.btnNext, Qt::LeftButton);
    EXPECT_EQ(ui.stackSteps->currentWidget(), ui.panelStep3);
    QTest::mouseClick(ui.btnBack, Qt::LeftButton);
    EXPECT_EQ(ui.stackSteps->currentWidget(), ui.panelStep2);
    EXPECT_TRUE(ui.btnFinish->isHidden());

    manager::DialogSeam::SetFileAnswerer([](const manager::FileRequest& request) {
        EXPECT_EQ(request.defaultSuffix.toStdString(), "RTF");
        return QStringLiteral("/tmp/letter.rtf");
    });
    QTest::mouseClick(ui.btnBrowseMessage, Qt::LeftButton);
    EXPECT_EQ(ui.edtMessageFile->text().toStdString(), "/TMP/LETTER.RTF");
    QTest::keyClicks(ui.edtDataFile, QStringLiteral("list.dbf"));
    EXPECT_EQ(ui.edtDataFile->text().toStdString(), "LIST.DBF");
    wizard->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(wizard.isNull());
}

TEST_F(SmallWindows, TheUpdateWizardFinishesWithOkAndCancelsWithCancel)
{
    manager::TfrmUpdate update;
    update.show();
    TEPWizard& wizard = *update.ui()->EPWizard1;
    EXPECT_EQ(wizard.ActivePage(), update.ui()->pageWelcome);
    QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    EXPECT_EQ(wizard.ActivePage(), update.ui()->pageCheck);
    QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    EXPECT_EQ(wizard.ActivePage(), update.ui()->pageResults);
    EXPECT_EQ(wizard.NextButton()->text(), TEPWizard::FinishCaption());
    QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    EXPECT_EQ(update.result(), QDialog::Accepted);
    update.show();
    QTest::mouseClick(wizard.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(update.result(), QDialog::Rejected);
    EXPECT_FALSE(update.isVisible());
}

TEST_F(SmallWindows, MessagePropertiesOpenTheSourceOfTheNamedFile)
{
    const std::string file = dir.file("message.eml");
    test_support::writeFile(file, "Subject: Hello\r\n\r\nBody\r\n");
    manager::TfrmMsgProperties properties;
    EXPECT_FALSE(properties.ui()->btnApply->isEnabled());
    EXPECT_TRUE(properties.ui()->edtFilename->isReadOnly());
    properties.ui()->edtFilename->setText(QString::fromStdString(file));
    QTest::mouseClick(properties.ui()->btnSource, Qt::LeftButton);
    auto sources = properties.findChildren<manager::TfrmMsgSource*>();
    ASSERT_EQ(sources.size(), 1);
    EXPECT_TRUE(sources[0]->ui()->memSource->toPlainText().startsWith(QStringLiteral("Subject: Hello")));
    QPointer<manager::TfrmMsgSource> source = sources[0];
    source->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(source.isNull());
}

TEST_F(SmallWindows, TheProgramMakesTheWindowsNobodyShows)
{
    manager::Post32Program program;
    EXPECT_FALSE(program.Form1().isVisible());
    EXPECT_EQ(program.Form1().ui()->Edit1->text().toStdString(), "Sample Item");
    manager::TfrmRem& rem = program.frmRem();
    EXPECT_FALSE(rem.isVisible());
    EXPECT_EQ(rem.windowTitle().toStdString(), "Preview Messages on Server");
    EXPECT_EQ(rem.ui()->lstMessages->columnCount(), 4);
    EXPECT_EQ(rem.mnuRetrieveLeave->actions().size(), 2);
    EXPECT_EQ(program.frmMessagePre().windowTitle().toStdString(), "Merge Previewer");
    EXPECT_EQ(program.frmCustomSend().windowTitle().toStdString(), "Custom Send");
}

TEST_F(SmallWindows, EveryLabelNamingAFieldHasItsBuddy)
{
    manager::Post32Program program;
    std::vector<QWidget*> windows{static_cast<QWidget*>(&program.frmMain()), &program.frmPref(),
                                  &program.frmCustomSend(), &program.frmMessagePre(), &program.Form1(),
                                  &program.frmRem()};
    manager::TfrmMsgProperties properties;
    manager::TfrmUpdate update;
    windows.push_back(&properties);
    windows.push_back(&update);
    for (QWidget* window : windows) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text().contains(QLatin1Char('&'))) {
                EXPECT_NE(label->buddy(), nullptr) << label->objectName().toStdString();
            }
        }
    }
}

TEST_F(SmallWindows, ScreenshotsOfTheWindowsNobodyOpens)
{
    manager::TfrmCustomSend send;
    manager::TfrmMessagePre preview;
    manager::TForm1 form1;
    manager::TfrmRem rem;
    new QTreeWidgetItem(rem.ui()->lstMessages, {QStringLiteral("Order 12"), QStringLiteral("2 KB"),
                                                QStringLiteral("03/09/26 10:00"), QStringLiteral("ann@example.org")});
    manager::TfrmUpdate update;
    manager::TfrmMsgProperties properties;
    const std::vector<std::pair<QWidget*, const char*>> windows{
        {&send, "manager_custom_send"}, {&preview, "manager_merge_previewer"}, {&form1, "manager_item_properties"},
        {&rem, "manager_server_preview"}, {&update, "manager_update"}, {&properties, "manager_message_properties"}};
    for (const auto& [window, name] : windows) {
        window->show();
        screenshot(*window, name);
        window->hide();
    }
    auto* wizard = new manager::TfrmMMWiz;
    wizard->show();
    wizard->btnNextClick();
    screenshot(*wizard, "manager_mail_merge");
    wizard->close();
    auto* find = new manager::TfrmFind;
    find->show();
    screenshot(*find, "manager_find");
    find->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(SmallWindows, MainWindowScreenshot)
{
    manager::Post32Program program;
    program.Show();
    QApplication::processEvents();
    screenshot(program.frmMain(), "manager_main");
}

}  // namespace
}  // namespace managertest
