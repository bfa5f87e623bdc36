// The main window's message operations: opening outbox, sent and received
// messages in windows that keep their own copy and save back where the
// file lies, delete with its question, send selected, re-send without a
// server, message properties from the row's own file, the server preview
// and the received list's sorting.
#include "message_window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTreeWidget>

#include <filesystem>

#include "manager/dialogs/tfrm_in_message.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_msg_properties.h"
#include "manager/dialogs/tfrm_rem.h"
#include "manager/dialogs/tfrm_status.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"
#include "platform/datetime.h"
#include "tables/table.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/smtp_server.h"
#include "ui_tfrm_in_message.h"
#include "ui_tfrm_message.h"
#include "ui_tfrm_msg_properties.h"
#include "ui_tfrm_rem.h"

namespace managertest {
namespace {

using manager::TfrmMain;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class MainMessages : public MessageWindowTest {
protected:
    std::unique_ptr<manager::Post32Program> program;

    void SetUp() override
    {
        MessageWindowTest::SetUp();
        program = std::make_unique<manager::Post32Program>();
    }
    void TearDown() override
    {
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<manager::TfrmMessage*>(window) || qobject_cast<manager::TfrmInMessage*>(window))
                windows.emplace_back(window);
        for (const QPointer<QWidget>& window : windows)
            delete window.data();
        program.reset();
        MessageWindowTest::TearDown();
    }

    TfrmMain& main() { return program->frmMain(); }
    TTable& table(const char* name) { return main().Tables().Table(name); }
    std::string folder(const char* name) const { return homeDir() + "messages/acc1/" + name + "/"; }

    void addAccount(const std::string& smtp = "", const std::string& pop = "")
    {
        TTable& nodes = table("TableNodes2");
        nodes.Append();
        nodes.FieldByName("UNIQUE_ID").SetAsString("acc1");
        nodes.FieldByName("NODE").SetAsString("Sales");
        nodes.FieldByName("ADDRESS").SetAsString("sales@example.org");
        nodes.FieldByName("SMTPADDRES").SetAsString(smtp);
        nodes.FieldByName("POPADDRESS").SetAsString(pop);
        nodes.FieldByName("LOGIN").SetAsString("tester");
        nodes.FieldByName("PASSWORD").SetAsString("secret");
        nodes.Post();
    }

    std::string addRow(const char* tableName, const char* folderName, const std::string& fileName,
                       const std::string& text)
    {
        TTable& rows = table(tableName);
        rows.Append();
        if (rows.FindField("UNIQUE_ID"))
            rows.FieldByName("UNIQUE_ID").SetAsString("row1");
        else
            rows.FieldByName("MESSAGE_ID").SetAsString("msg1");
        rows.FieldByName("LINK_ID").SetAsString("acc1");
        rows.FieldByName("SUBJECT").SetAsString("Offer");
        rows.FieldByName("FILENAME").SetAsString(fileName);
        if (rows.FindField("TOADDRESS")) {
            rows.FieldByName("TOADDRESS").SetAsString("ann@example.org");
            rows.FieldByName("TONAME").SetAsString("Ann");
        }
        rows.Post();
        std::filesystem::create_directories(folder(folderName));
        test_support::writeFile(folder(folderName) + fileName, text);
        return folder(folderName) + fileName;
    }

    static std::string mail(const std::string& body = "The offer.")
    {
        return "From: Sales <sales@example.org>\r\nTo: Ann <ann@example.org>\r\nSubject: Offer\r\n\r\n" + body +
               "\r\n";
    }
};

TEST_F(MainMessages, AnOpenedOutboxMessageIsItsComposersOwnAndSavesWhereItLies)
{
    addAccount();
    const std::string path = addRow("TableOut", "Out", "offer.eml", mail());
    main().Open2Click();
    QPointer<manager::TfrmMessage> composer = newest<manager::TfrmMessage>();
    ASSERT_TRUE(composer);
    EXPECT_EQ(composer->CurrentFileName(), path);
    EXPECT_EQ(composer->ui()->lblSubject->text().toStdString(), "Offer");
    EXPECT_EQ(composer->ui()->lblFromName->text().toStdString(), "Sales");

    // A data change empties the main window's object, not the composer's.
    main().DataSourceSentDataChange();
    EXPECT_EQ(main().msMessage1().Body().size(), 0u);
    EXPECT_EQ(composer->msMessage1().Subject(), "Offer");

    composer->ui()->REBody->setPlainText(QStringLiteral("A better offer."));
    ASSERT_TRUE(composer->Save1Click());
    EXPECT_TRUE(dialogs.empty());
    const std::string saved = test_support::readFile(path);
    EXPECT_TRUE(has(saved, "A better offer.")) << saved;
    EXPECT_TRUE(has(saved, "ann@example.org")) << saved;
}

// The outbox composer keeps the mail's recipients because it edits mail to
// send; a received mail it then opens with File > Open is a template again.
TEST_F(MainMessages, FileOpenInAnOutboxComposerMakesATemplateAgain)
{
    addAccount();
    const std::string path = addRow("TableOut", "Out", "offer.eml", mail());
    main().Open2Click();
    QPointer<manager::TfrmMessage> composer = newest<manager::TfrmMessage>();
    ASSERT_TRUE(composer);
    const std::string received = file("received.eml", "From: Ann <ann@example.org>\r\nTo: Bob <bob@example.org>\r\n"
                                                      "Date: Tue, 08 Dec 2026 09:30:00 +0100\r\n"
                                                      "Message-ID: <in-1@example.org>\r\nSubject: Hi\r\n\r\nHi.\r\n");
    chosenFiles = {received};
    composer->Open1Click();
    chosenFiles = {dir.path() + "/template.eml"};
    ASSERT_TRUE(composer->SaveAs1Click());
    const std::string saved = test_support::readFile(dir.path() + "/template.eml");
    EXPECT_FALSE(has(saved, "bob@example.org")) << saved;
    EXPECT_FALSE(has(saved, "Message-ID")) << saved;
    EXPECT_FALSE(has(saved, "Date:")) << saved;
    EXPECT_TRUE(has(test_support::readFile(path), "ann@example.org"));
}

TEST_F(MainMessages, AReceivedMessageOpensInTheViewerWithItsFullPath)
{
    addAccount();
    const std::string path = addRow("TableReceived", "In", "in1.eml", mail("Hello there."));
    main().MenuItem2Click();
    manager::TfrmInMessage* viewer = newest<manager::TfrmInMessage>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->CurrentFileName(), path);
    EXPECT_EQ(viewer->ui()->lblFrom->text().toStdString(), "acc1");
    EXPECT_EQ(viewer->ui()->lblFilename->text().toStdString(), "in1.eml");
    EXPECT_EQ(viewer->ui()->REBody->toPlainText().toStdString(), "Hello there.");
}

TEST_F(MainMessages, DeleteAsksFirstAndNoKeepsEverything)
{
    addAccount();
    const std::string path = addRow("TableSent", "Sent", "done.eml", mail());
    boxAnswer = QMessageBox::No;
    main().MenuItem8Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption.toStdString(), " Delete Confirmation");
    EXPECT_EQ(boxes[0].text.toStdString(), "Are you sure you want to delete this item?");
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(table("TableSent").RecordCount(), 1);

    boxAnswer = QMessageBox::Yes;
    main().MenuItem8Click();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(table("TableSent").RecordCount(), 0);
    EXPECT_EQ(main().StatusText(), "Successfully deleted " + path);
}

TEST_F(MainMessages, SendSelectedReportsTheSentMessage)
{
    if (!test_support::SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd not available";
    test_support::SmtpServer smtp;
    addAccount(smtp.address());
    addRow("TableOut", "Out", "offer.eml", mail());
    main().SendNow1Click();
    ASSERT_TRUE(smtp.waitForMessages(1));
    EXPECT_EQ(main().StatusText(), "The message has been sent.");
    EXPECT_EQ(table("TableSent").RecordCount(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder("Sent") + "offer.eml"));
}

TEST_F(MainMessages, ReSendWithoutAServerSaysSoAndSendsNothing)
{
    addAccount();
    addRow("TableSent", "Sent", "done.eml", mail());
    main().MenuItem10Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"The Server Name is blank for node - Sales"});
    EXPECT_EQ(main().ErrorCount(), 0);
}

TEST_F(MainMessages, PropertiesShowTheRowsOwnFile)
{
    addAccount();
    const std::string path = addRow("TableReceived", "In", "in1.eml",
                                    "From: Ann <ann@example.org>\r\nSubject: Question\r\nX-Tag: 7\r\n\r\nbody\r\n");
    // Whatever the main window's object holds, the row's file is shown.
    main().msMessage1().SetSubject("something else");
    std::string subject, from, file, headers;
    onOtherDialog = [&](QDialog& dialog) {
        auto& properties = dynamic_cast<manager::TfrmMsgProperties&>(dialog);
        subject = properties.ui()->lblSubject->text().toStdString();
        from = properties.ui()->lblFromText->text().toStdString();
        file = properties.ui()->edtFilename->text().toStdString();
        headers = properties.ui()->memHeaders->toPlainText().toStdString();
        return int(QDialog::Accepted);
    };
    main().MenuItem6Click();
    EXPECT_EQ(subject, "Question");
    EXPECT_EQ(from, "ann@example.org");
    EXPECT_EQ(file, path);
    EXPECT_TRUE(has(headers, "X-Tag: 7"));
}

TEST_F(MainMessages, TheServerPreviewOfAnEmptyMailboxShowsNoWindow)
{
    test_support::DovecotServer dovecot;
    addAccount("", dovecot.address());
    main().Checkwhatsontheserver1Click();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"There are no messages waiting."});
    EXPECT_FALSE(program->frmRem().isVisible());

    dovecot.addMessage("Return-Path: <bounce@example.org>\r\nSubject: No sender\r\n\r\nx\r\n");
    main().Checkwhatsontheserver1Click();
    ASSERT_TRUE(program->frmRem().isVisible());
    QTreeWidget* list = program->frmRem().ui()->lstMessages;
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0).toStdString(), "No sender");
    EXPECT_EQ(list->topLevelItem(0)->text(3).toStdString(), "<bounce@example.org>");
    EXPECT_EQ(main().StatusText(), "Downloading Header 1 of 1 -- No sender");
    EXPECT_EQ(program->frmStatus().findChild<QLabel*>(QStringLiteral("lblCurrentAction"))->text().toStdString(),
              "Downloading Headers 1 of 1");
    program->frmRem().hide();
}

TEST_F(MainMessages, TheFirstClickOnAColumnSortsDescending)
{
    QTreeWidget list;
    list.setColumnCount(2);
    for (const char* subject : {"b", "c", "a"})
        new QTreeWidgetItem(&list, QStringList{QString::fromLatin1(subject), QString()});
    auto order = [&] {
        std::string text;
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            text += list.topLevelItem(i)->text(0).toStdString();
        return text;
    };
    main().lstVReceivedColumnClick(&list, 0);
    EXPECT_EQ(order(), "cba");
    main().lstVReceivedColumnClick(&list, 0);
    EXPECT_EQ(order(), "abc");
}

TEST_F(MainMessages, TheTableHandlersThatRun)
{
    addAccount();
    // A pending row inserted gets today's CREATEON; the data change that
    // follows empties the main window's message object.
    main().msMessage1().SetSubject("held");
    TTable& pending = table("TablePending");
    pending.Append();
    EXPECT_EQ(pending.FieldByName("CREATEON").AsDateTime(), platform::Date());
    pending.FieldByName("MESSAGE_ID").SetAsString("p1");
    pending.Post();
    EXPECT_TRUE(main().msMessage1().Subject().empty());

    addRow("TableOut", "Out", "offer.eml", mail());
    main().lstVMessagesEdited("TableOut", "Renamed");
    EXPECT_EQ(table("TableOut").FieldByName("SUBJECT").AsString(), "Renamed");

    main().btnToolOpenClick();
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace managertest
