// The received-message viewer: its header rows and focus cycle, Reply and
// Forward (composers that outlive the viewer), Custom Send's MAIL.INI
// check, and the attachments of the message it shows.
#include "message_window_fixture.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QTest>

#include <filesystem>

#include "controls/explorer_button.h"
#include "mail/message.h"
#include "manager/dialogs/tfrm_custom_send.h"
#include "manager/dialogs/tfrm_in_message.h"
#include "manager/dialogs/tfrm_message.h"
#include "ui_tfrm_in_message.h"
#include "ui_tfrm_message.h"

namespace managertest {
namespace {

using manager::TfrmInMessage;
using manager::TfrmMessage;

class Viewer : public MessageWindowTest {
protected:
    QPointer<TfrmInMessage> open(const std::string& name = "Sales", const std::string& address = "sales@example.org")
    {
        auto* viewer = new TfrmInMessage;
        viewer->msMessage1().LoadFromString(
            "From: Ann Lee <ann@example.org>\r\nTo: sales@example.org\r\nSubject: Hello\r\n\r\nfirst line\r\n"
            "second line\r\n");
        viewer->Tag = 10;
        viewer->ui()->lblFrom->setText(QStringLiteral("acc1"));
        viewer->ui()->lblFromName->setText(QString::fromStdString(name));
        viewer->ui()->lblFromAddress->setText(QString::fromStdString(address));
        viewer->show();
        return viewer;
    }

    void TearDown() override
    {
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<TfrmMessage*>(window) || qobject_cast<TfrmInMessage*>(window))
                windows.emplace_back(window);
        for (const QPointer<QWidget>& window : windows)
            delete window.data();
        MessageWindowTest::TearDown();
    }
};

TEST_F(Viewer, ShowsTheMessageAndItsSender)
{
    QPointer<TfrmInMessage> viewer = open();
    EXPECT_EQ(viewer->windowTitle().toStdString(), "Hello");
    EXPECT_EQ(viewer->ui()->lblFrom2->text().toStdString(), "ann@example.org");
    EXPECT_EQ(viewer->ui()->edtFrom->text().toStdString(), "ann@example.org");
    EXPECT_EQ(viewer->ui()->REBody->toPlainText().toStdString(), "first line\nsecond line");
    EXPECT_EQ(viewer->ui()->lblCC->text().toStdString(), "< Click here to enter the carbon copy recipients >");
    // Closing an unchanged viewer asks nothing.
    EXPECT_TRUE(viewer->close());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Viewer, ReplyAndForwardOpenComposersWithTheirSubjects)
{
    QPointer<TfrmInMessage> viewer = open();
    TfrmMessage* reply = viewer->Reply1Click();
    EXPECT_EQ(reply->ui()->edtSubject->text().toStdString(), "Re: Hello");
    EXPECT_EQ(reply->ui()->lblSubject->text().toStdString(), "Re: Hello");
    EXPECT_EQ(reply->ui()->lblFromName->text().toStdString(), "Sales");
    EXPECT_EQ(reply->ui()->lblFromAddress->text().toStdString(), "sales@example.org");
    EXPECT_EQ(reply->ui()->lblFrom->text().toStdString(), "acc1");
    EXPECT_TRUE(reply->ui()->REBody->toPlainText().isEmpty());

    QPointer<TfrmMessage> forward = viewer->Forward1Click();
    EXPECT_EQ(forward->ui()->edtSubject->text().toStdString(), "Forward from Sales: Hello");
    EXPECT_EQ(forward->ui()->REBody->toPlainText().toStdString(), "first line\nsecond line");

    // The composer lives on when the viewer goes.
    viewer->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull());
    ASSERT_FALSE(forward.isNull());
    EXPECT_TRUE(forward->isVisible());
    forward->ui()->edtSubject->setText(QStringLiteral("still here"));
    EXPECT_EQ(forward->windowTitle().toStdString(), "still here");
}

TEST_F(Viewer, ForwardWithoutAnAccountNameUsesItsAddress)
{
    QPointer<TfrmInMessage> viewer = open("", "sales@example.org");
    TfrmMessage* forward = viewer->Forward1Click();
    EXPECT_EQ(forward->ui()->edtSubject->text().toStdString(), "Forward from sales@example.org: Hello");
}

TEST_F(Viewer, HandlingDropsDownReplyAndForward)
{
    QPointer<TfrmInMessage> viewer = open();
    EXPECT_EQ(viewer->ui()->ExplorerSendButton->caption().toStdString(), "Handling");
    const QList<QAction*> items = viewer->popupHandling()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text().toStdString(), "Reply...");
    EXPECT_EQ(items[1]->text().toStdString(), "Forward...");
}

TEST_F(Viewer, CustomSendWantsAnSmtpAddressInMailIni)
{
    const std::string notice = "You must enter a valid SMTP address in the preferences dialog box";
    QPointer<TfrmInMessage> viewer = open();
    manager::TfrmCustomSend options;
    viewer->SetCustomSend(&options);
    // Cancelled: nothing else.
    viewer->CustomSend1Click();
    EXPECT_EQ(dialogs, std::vector<std::string>{"manager::TfrmCustomSend"});
    EXPECT_TRUE(boxes.empty());

    onOtherDialog = [](QDialog&) { return int(QDialog::Accepted); };
    viewer->CustomSend1Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{notice});

    test_support::writeFile(dir.path() + "/config/MAIL.INI", "[Internet]\nSMTPAddress=   \n");
    viewer->CustomSend1Click();
    EXPECT_EQ(boxTexts().size(), 2u);

    test_support::writeFile(dir.path() + "/config/MAIL.INI", "[Internet]\nSMTPAddress=mail.example.org\n");
    viewer->CustomSend1Click();
    EXPECT_EQ(boxTexts().size(), 2u);
    EXPECT_FALSE(test_support::readFile(dir.path() + "/config/MAIL.INI").empty());
}

TEST_F(Viewer, ReleasingTheMouseInFromSelectsOneEntry)
{
    QPointer<TfrmInMessage> viewer = open();
    QLineEdit* from = viewer->ui()->edtFrom;
    from->setText(QStringLiteral("ann@example.org; bob@example.org"));
    from->setCursorPosition(22);
    viewer->edtFromMouseUp();
    EXPECT_EQ(from->selectedText().toStdString(), " bob@example.org");
    from->setCursorPosition(4);
    viewer->edtFromMouseUp();
    EXPECT_EQ(from->selectedText().toStdString(), "ann@example.org");
    from->clear();
    viewer->edtFromMouseUp();
    EXPECT_FALSE(from->hasSelectedText());
}

TEST_F(Viewer, TabAndShiftTabCycleThroughTheHeaderRows)
{
    QPointer<TfrmInMessage> viewer = open();
    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
    viewer->showRow(viewer->ui()->edtFrom);
    ASSERT_TRUE(viewer->ui()->edtFrom->hasFocus());
    QTest::keyClick(viewer->ui()->edtFrom, Qt::Key_Tab);
    EXPECT_TRUE(viewer->ui()->edtCc->hasFocus());
    EXPECT_FALSE(viewer->ui()->edtFrom->isVisible());
    QTest::keyClick(viewer->ui()->edtCc, Qt::Key_Tab);
    EXPECT_TRUE(viewer->ui()->edtSubject->hasFocus());
    QTest::keyClick(viewer->ui()->edtSubject, Qt::Key_Tab);
    EXPECT_TRUE(viewer->ui()->REBody->hasFocus());
    EXPECT_FALSE(viewer->ui()->edtSubject->isVisible());
    QTest::keyClick(viewer->ui()->REBody, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(viewer->ui()->edtSubject->isVisible());
    EXPECT_TRUE(viewer->ui()->edtSubject->hasFocus());
}

TEST_F(Viewer, AttachmentsAreListedFromTheWindowsOwnFolderAndGoWithIt)
{
    TmsMessage message;
    message.Sender().SetAddress("ann@example.org");
    message.SetSubject("Pictures");
    message.Body() = {"Two of the same name."};
    for (const char* contents : {"one", "two"}) {
        auto item = std::make_unique<TmsAttItem>();
        item->SetFileName("photo.png");
        item->Contents() = contents;
        message.Attachments().Add(std::move(item));
    }
    auto* viewer = new TfrmInMessage;
    viewer->msMessage1().LoadFromString(message.SaveToString());
    viewer->Tag = 10;
    viewer->ui()->lblFromName->setText(QStringLiteral("Sales"));
    viewer->show();
    ASSERT_EQ(viewer->ui()->lstVAttach->count(), 2);
    EXPECT_EQ(viewer->ui()->Split->barPosition(), 70);
    const auto& paths = viewer->Attachments().Paths();
    EXPECT_EQ(test_support::readFile(paths.at(0).path), "one");
    EXPECT_EQ(test_support::readFile(paths.at(1).path), "two");
    screenshot(*viewer, "manager_received_message_viewer");
    const std::string folder = viewer->Attachments().Folder().Path();
    QPointer<TfrmInMessage> watch = viewer;
    viewer->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace managertest
