// The composer and template editor: templates saved into the templates
// folder and read back by another mail reader, the save question and its
// cancelled and failed paths, attachments of hostile names, merge codes
// from the picker, what a loaded template keeps, and the focus keys.
#include "message_window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "agents/merge/merge_codes.h"
#include "mail/message.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_update_field.h"
#include "ui_tfrm_message.h"
#include "ui_tfrm_update_field.h"

namespace managertest {
namespace {

using manager::TfrmMessage;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Composer : public MessageWindowTest {
protected:
    std::string templates() const { return homeDir() + "templates/"; }

    // A composer as the new-template command opens it.
    TfrmMessage* newTemplate()
    {
        auto* window = new TfrmMessage;
        window->ui()->lblFrom->setText(QStringLiteral("acc1"));
        window->ui()->lblFromName->setText(QStringLiteral("Help Desk"));
        window->ui()->lblFromAddress->setText(QStringLiteral("desk@example.org"));
        window->SetTemplatesFolder(templates());
        window->show();
        window->lblSubjectClick();
        return window;
    }

    // A composer as the open-template command opens it.
    TfrmMessage* openTemplate(const std::string& path)
    {
        auto* window = new TfrmMessage;
        window->Tag = 10;
        window->ui()->lblFilename->setText(QString::fromStdString(path));
        window->msMessage1().LoadFromFile(path);
        window->SetTemplatesFolder(templates());
        window->show();
        return window;
    }

    void SetUp() override
    {
        MessageWindowTest::SetUp();
        std::filesystem::create_directories(templates());
    }
};

TEST_F(Composer, NewTemplateWithAttachmentsIsSavedIntoTheTemplatesFolder)
{
    std::filesystem::create_directories(dir.path() + "/a");
    std::filesystem::create_directories(dir.path() + "/b");
    QPointer<TfrmMessage> window = newTemplate();
    window->ui()->edtSubject->setText(QStringLiteral("Thanks for writing"));
    window->ui()->REBody->setPlainText(QStringLiteral("Dear <<REPLYHEADER~FROMNAME>>,\nwe will answer soon."));
    // Two attachments of one name keep their own bytes.
    window->AddDroppedFile(file("a/note.bin", "first note"));
    window->AddDroppedFile(file("b/note.bin", "the second, longer note"));
    EXPECT_EQ(window->ui()->Split->barPosition(), 70);
    EXPECT_EQ(window->windowTitle().toStdString(), "Thanks for writing");
    screenshot(*window, "manager_composer_attachments");

    chosenFiles = {templates() + "reply.eml"};
    EXPECT_TRUE(window->Save1Click());
    ASSERT_EQ(dialogs, std::vector<std::string>{"QFileDialog"});
    const std::string python = pythonReading(templates() + "reply.eml");
    EXPECT_TRUE(has(python, "subject Thanks for writing\n")) << python;
    EXPECT_TRUE(has(python, "from Help Desk <desk@example.org>\n")) << python;
    EXPECT_TRUE(has(python, "defects 0\n")) << python;
    EXPECT_TRUE(has(python, "attachment note.bin 10\nattachment note.bin 23\n")) << python;
    EXPECT_TRUE(has(python, "Dear <<REPLYHEADER~FROMNAME>>,\nwe will answer soon.")) << python;

    // A further Save writes the chosen file without a dialog; the question names it.
    window->ui()->REBody->append(QStringLiteral("P.S."));
    EXPECT_TRUE(window->Save1Click());
    EXPECT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(has(test_support::readFile(templates() + "reply.eml"), "P.S."));
    window->ui()->REBody->append(QStringLiteral("more"));
    boxAnswer = QMessageBox::No;
    window->close();
    ASSERT_EQ(boxTexts(), std::vector<std::string>{"Save changes to " + templates() + "reply.eml?"});
    QTest::qWait(0);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(Composer, TheSaveQuestionKeepsTheWindowOpenUnlessItsAnswerLetsItClose)
{
    QPointer<TfrmMessage> window = newTemplate();
    // Nothing changed: no question.
    EXPECT_TRUE(window->CheckFileSave());
    EXPECT_TRUE(boxes.empty());

    window->ui()->REBody->setPlainText(QStringLiteral("edited"));
    window->SetModified(true);
    boxAnswer = QMessageBox::Cancel;
    EXPECT_FALSE(window->close());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Save changes?"});

    // Yes, then the Save As dialog cancelled: still open, edits kept.
    boxAnswer = QMessageBox::Yes;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ui()->REBody->toPlainText().toStdString(), "edited");

    // Yes, then No to overwriting: still open.
    const std::string existing = file("existing.eml", "From: a@b\r\n\r\nold\r\n");
    chosenFiles = {existing};
    onBox = [this](const manager::BoxRequest& box) {
        boxAnswer = box.text.startsWith(QStringLiteral("OK to overwrite")) ? QMessageBox::No : QMessageBox::Yes;
    };
    EXPECT_FALSE(window->close());
    EXPECT_EQ(boxes.back().text.toStdString(), "OK to overwrite " + existing);
    EXPECT_TRUE(has(test_support::readFile(existing), "old"));

    // Yes, then a save that fails: the error shows, the window stays.
    chosenFiles = {dir.path() + "/no such folder/x.eml"};
    onBox = [this](const manager::BoxRequest&) { boxAnswer = QMessageBox::Yes; };
    EXPECT_FALSE(window->close());
    EXPECT_EQ(boxes.back().kind, manager::BoxKind::Error);
    EXPECT_TRUE(window->isVisible());

    // A close asked for while the window's own save runs is refused.
    chosenFiles = {dir.path() + "/no such folder/x.eml"};
    bool closedDuringSave = true;
    onBox = [&](const manager::BoxRequest& box) {
        if (box.kind == manager::BoxKind::Error)
            closedDuringSave = window->close();
    };
    EXPECT_FALSE(window->Save1Click());
    EXPECT_FALSE(closedDuringSave);
    EXPECT_TRUE(window->isVisible());

    onBox = {};
    boxAnswer = QMessageBox::No;
    EXPECT_TRUE(window->close());
}

TEST_F(Composer, SelectingAnAttachmentAloneMakesClosingAsk)
{
    TfrmMessage* window = newTemplate();
    window->AddDroppedFile(file("one.txt", "1"));
    window->SetModified(false);
    window->ui()->lstVAttach->item(0)->setSelected(true);
    boxAnswer = QMessageBox::No;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(Composer, HostileAttachmentNamesStayInsideThePrivateFolderAndKeepTheirBytes)
{
    TmsMessage hostile;
    hostile.Sender().SetAddress("desk@example.org");
    hostile.SetSubject("Files");
    hostile.Body() = {"see attached"};
    const std::vector<std::string> names = {"../evil.bin", "sub/dir.bin", "q\"uote.bin", "two\r\nlines.bin",
                                            "same.bin", "same.bin", ".."};
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto item = std::make_unique<TmsAttItem>();
        item->SetFileName(names[i]);
        item->Contents() = std::string(i + 1, char('a' + i));
        hostile.Attachments().Add(std::move(item));
    }
    const std::string path = templates() + "hostile.eml";
    hostile.SaveToFile(path);

    QPointer<TfrmMessage> window = openTemplate(path);
    ASSERT_EQ(window->ui()->lstVAttach->count(), 7);
    const std::string folder = window->Attachments().Folder().Path();
    ASSERT_FALSE(folder.empty());
    std::set<std::string> written;
    for (const auto& entry : window->Attachments().Paths()) {
        EXPECT_EQ(entry.path.rfind(folder, 0), 0u) << entry.path;
        written.insert(entry.path);
    }
    EXPECT_EQ(written.size(), 7u);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/cache/tarsel/attachments/evil.bin"));

    window->SetModified(true);
    ASSERT_TRUE(window->Save1Click());
    const std::string python = pythonReading(path);
    EXPECT_TRUE(has(python, "defects 0\n")) << python;
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_TRUE(has(python, " " + std::to_string(i + 1) + "\n")) << i << python;
    TmsMessage back;
    back.LoadFromFile(path);
    ASSERT_EQ(back.Attachments().Count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(back.Attachments().Items(i).Contents(), std::string(i + 1, char('a' + i)));

    // A listed file that is gone fails the save with a message; nothing is dropped.
    std::filesystem::remove(window->Attachments().Paths().at(4).path);
    const std::string before = test_support::readFile(path);
    EXPECT_FALSE(window->Save1Click());
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().kind, manager::BoxKind::Error);
    EXPECT_EQ(test_support::readFile(path), before);

    boxAnswer = QMessageBox::No;
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(Composer, AMergeCodeReplacesTheSelectionAndLeavesTheClipboardAlone)
{
    TfrmMessage* window = newTemplate();
    window->ui()->REBody->setPlainText(QStringLiteral("Hello NAME!"));
    QTextCursor cursor = window->ui()->REBody->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    window->ui()->REBody->setTextCursor(cursor);
    QApplication::clipboard()->setText(QStringLiteral("the user's text"));
    onOtherDialog = [](QDialog& dialog) {
        auto& picker = dynamic_cast<manager::TfrmUpdateField&>(dialog);
        picker.show();
        picker.ui()->lstVCatagory->setCurrentRow(1);
        picker.ui()->edtFieldName->setText(QStringLiteral("currentNode"));
        return int(QDialog::Accepted);
    };
    window->MergeCode1Click();
    EXPECT_EQ(window->ui()->REBody->toPlainText().toStdString(), "Hello <<SYSTEM~CURRENTNODE>>!");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "the user's text");

    // Cancelled: nothing inserted.
    onOtherDialog = {};
    window->MergeCode1Click();
    EXPECT_EQ(window->ui()->REBody->toPlainText().toStdString(), "Hello <<SYSTEM~CURRENTNODE>>!");
    window->SetModified(false);
    window->close();
}

TEST_F(Composer, ALoadedTemplateKeepsItsMergeCodeLinesAndSender)
{
    const std::string path = file("form.eml",
                                  "From: Desk <desk@example.org>\r\nTo: <<REPLYFIELD~EMAIL>>\r\n"
                                  "CC: boss@example.org\r\nX-Campaign: <<SYSTEM~CURRENTNODE>>\r\n"
                                  "Subject: Copy\r\n\r\nHere.\r\n");
    TfrmMessage* window = openTemplate(path);
    EXPECT_EQ(window->ui()->lblSubject->text().toStdString(), "Copy");
    // A typed line break does not make a header of its own.
    window->ui()->edtSubject->setText(QStringLiteral("Your\ncopy"));
    ASSERT_TRUE(window->Save1Click());
    EXPECT_EQ(dialogs.size(), 0u);

    const std::string text = test_support::readFile(path);
    EXPECT_TRUE(has(text, "<<REPLYFIELD~EMAIL>>\r\n")) << text;
    EXPECT_TRUE(has(text, "X-Campaign: <<SYSTEM~CURRENTNODE>>\r\n")) << text;
    // A copy line is no part of what the window shows or keeps.
    EXPECT_FALSE(has(text, "boss@example.org")) << text;
    EXPECT_TRUE(has(text, "Subject:  Your copy\r\n")) << text;
    EXPECT_TRUE(has(text, "Desk")) << text;

    // The agent processor still finds the reply address in it.
    TmsMessage reply;
    reply.LoadFromFile(path);
    TmsMessage incoming;
    incoming.LoadFromString("From: ann@example.org\r\nSubject: form\r\n\r\nEMAIL=other@example.org\r\n");
    std::string to;
    ProccessMergeCodes(reply, incoming, to, {"Desk", "desk@example.org"}, {});
    EXPECT_EQ(to, "other@example.org");
    window->close();
}

// File > Open of a received mail, then Save As: a template of the
// account's sender, the subject, the body and the attachment, and nothing
// of the mail's recipients, date or id, which every reply would repeat.
TEST_F(Composer, AReceivedMailOpenedAndSavedKeepsNoToDateOrMessageId)
{
    const std::string received =
        file("received.eml",
             "Return-Path: <ann@example.org>\r\nFrom: Ann Lee <ann@example.org>\r\n"
             "To: desk@example.org, Bob <bob@example.org>\r\nCc: carol@example.org\r\n"
             "Date: Tue, 08 Dec 2026 09:30:00 +0100\r\nMessage-ID: <in-1@example.org>\r\n"
             "Subject: Question\r\nMime-Version: 1.0\r\n"
             "Content-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n"
             "--b1\r\nContent-Type: text/plain\r\n\r\nHello there.\r\n"
             "--b1\r\nContent-Type: application/octet-stream; name=\"terms.bin\"\r\n"
             "Content-Transfer-Encoding: base64\r\n\r\nAAECAw==\r\n--b1--\r\n");
    TfrmMessage* window = newTemplate();
    chosenFiles = {received};
    window->Open1Click();
    EXPECT_EQ(window->ui()->REBody->toPlainText().toStdString(), "Hello there.");
    screenshot(*window, "manager_composer_opened_mail");
    chosenFiles = {templates() + "from-mail.eml"};
    ASSERT_TRUE(window->SaveAs1Click());

    const std::string text = test_support::readFile(templates() + "from-mail.eml");
    for (const char* field : {"\r\nTo:", "\r\nCc:", "\r\nCC:", "\r\nDate:", "\r\nMessage-ID:", "Return-Path:"})
        EXPECT_FALSE(has(text, field)) << field << "\n" << text;
    const std::string python = pythonReading(templates() + "from-mail.eml");
    EXPECT_TRUE(has(python, "to None\n")) << python;
    EXPECT_TRUE(has(python, "from Help Desk <desk@example.org>\n")) << python;
    EXPECT_TRUE(has(python, "subject Question\n")) << python;
    EXPECT_TRUE(has(python, "attachment terms.bin 4\n")) << python;
    EXPECT_TRUE(has(python, "Hello there.")) << python;
    window->close();
}

TEST_F(Composer, TwoComposersEachKeepTheirOwnSubjectAndMessage)
{
    TfrmMessage* first = newTemplate();
    TfrmMessage* second = newTemplate();
    first->ui()->edtSubject->setText(QStringLiteral("First"));
    EXPECT_EQ(first->windowTitle().toStdString(), "First");
    EXPECT_EQ(second->windowTitle().toStdString(), "New Message");
    EXPECT_NE(&first->msMessage1(), &second->msMessage1());
    first->SetModified(false);
    second->SetModified(false);
    first->close();
    second->close();
}

TEST_F(Composer, ShiftTabOpensTheSubjectAndTabInsertsATab)
{
    TfrmMessage* window = newTemplate();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    window->ui()->REBody->setFocus();
    EXPECT_FALSE(window->ui()->edtSubject->isVisible());
    QTest::keyClick(window->ui()->REBody, Qt::Key_Tab);
    EXPECT_EQ(window->ui()->REBody->toPlainText().toStdString(), "\t");
    QTest::keyClick(window->ui()->REBody, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(window->ui()->edtSubject->isVisible());
    EXPECT_TRUE(window->ui()->edtSubject->hasFocus());
    window->SetModified(false);
    window->close();
}

TEST_F(Composer, RemovingTheLastAttachmentClosesThePane)
{
    TfrmMessage* window = newTemplate();
    window->AddDroppedFile(file("one.txt", "1"));
    window->AddDroppedFile(file("two.txt", "2"));
    window->ui()->lstVAttach->item(0)->setSelected(true);
    window->RemoveAttachmentsClick();
    EXPECT_EQ(window->ui()->Split->barPosition(), 70);
    ASSERT_EQ(window->Attachments().Listed().size(), 1u);
    EXPECT_EQ(window->Attachments().Listed()[0].name, "two.txt");
    window->ui()->lstVAttach->item(0)->setSelected(true);
    window->RemoveAttachmentsClick();
    EXPECT_EQ(window->ui()->Split->barPosition(), 100);
    window->SetModified(false);
    window->close();
}

TEST_F(Composer, OpeningAnotherFileMakesSaveWriteThatFile)
{
    const std::string first = file("first.eml", "From: a@example.org\r\nSubject: First\r\n\r\none\r\n");
    const std::string second = file("second.eml", "From: a@example.org\r\nSubject: Second\r\n\r\ntwo\r\n");
    TfrmMessage* window = openTemplate(first);
    chosenFiles = {second};
    window->Open1Click();
    EXPECT_EQ(window->CurrentFileName(), second);
    EXPECT_EQ(window->ui()->REBody->toPlainText().toStdString(), "two");
    // Showing the opened message gives the caption its subject.
    EXPECT_EQ(window->windowTitle().toStdString(), "Second");
    window->ui()->REBody->setPlainText(QStringLiteral("two, edited"));
    ASSERT_TRUE(window->Save1Click());
    EXPECT_TRUE(has(test_support::readFile(second), "two, edited"));
    EXPECT_TRUE(has(test_support::readFile(first), "one"));
    window->close();
}

TEST_F(Composer, PrintingSendsTheBodyToThePrinterChosen)
{
    TfrmMessage* window = newTemplate();
    window->ui()->REBody->setPlainText(QStringLiteral("printed text"));
    const std::string pdf = dir.path() + "/body.pdf";
    onOtherDialog = [&](QDialog& dialog) {
        auto& print = dynamic_cast<QPrintDialog&>(dialog);
        print.printer()->setOutputFormat(QPrinter::PdfFormat);
        print.printer()->setOutputFileName(QString::fromStdString(pdf));
        return int(QDialog::Accepted);
    };
    window->Print1Click();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(test_support::readFile(pdf).rfind("%PDF", 0), 0u);
    // Cancelled: nothing printed.
    std::filesystem::remove(pdf);
    onOtherDialog = {};
    window->Print1Click();
    EXPECT_FALSE(std::filesystem::exists(pdf));
    window->SetModified(false);
    window->close();
}

TEST_F(Composer, FilesDroppedOnTheWindowBecomeAttachments)
{
    TfrmMessage* window = newTemplate();
    const std::string path = file("dropped with a rather long name that goes on and on and on beyond eighty.txt", "x");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_EQ(window->Attachments().Listed().size(), 1u);
    EXPECT_EQ(window->Attachments().Listed()[0].path, path);
    EXPECT_EQ(window->ui()->Split->barPosition(), 70);
    EXPECT_TRUE(window->Modified());
    window->SetModified(false);
    window->close();
}

class Picker : public MessageWindowTest {};

TEST_F(Picker, OkAtOnceGivesReplyHeaderAndNoValue)
{
    manager::TfrmUpdateField picker;
    picker.show();
    EXPECT_EQ(picker.windowTitle().toStdString(), "Insert Merge Code");
    EXPECT_EQ(picker.Keyword().toStdString(), "REPLYHEADER");
    EXPECT_TRUE(picker.Value().isEmpty());
    EXPECT_TRUE(picker.ui()->panelReply->isVisible());
    screenshot(picker, "manager_merge_code_picker");
}

TEST_F(Picker, DoubleClickingASystemUseClosesWithIt)
{
    manager::TfrmUpdateField picker;
    picker.show();
    picker.ui()->lstVCatagory->setCurrentRow(1);
    QApplication::processEvents();
    EXPECT_TRUE(picker.ui()->panelSystem->isVisible());
    EXPECT_FALSE(picker.ui()->panelReply->isVisible());
    QTreeWidget* uses = picker.ui()->lstVPos2;
    const QRect cell = uses->visualItemRect(uses->topLevelItem(0));
    QTest::mouseClick(uses->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(uses->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.Keyword().toStdString(), "SYSTEM");
    EXPECT_EQ(picker.Value().toStdString(), "CURRENTNODE");
}

TEST_F(Picker, ArrowKeysInThePossibleUsesUpdateTheValue)
{
    manager::TfrmUpdateField picker;
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    QTreeWidget* uses = picker.ui()->lstVPos;
    uses->setFocus();
    uses->setCurrentItem(uses->topLevelItem(0));
    QTest::keyClick(uses, Qt::Key_Down);
    EXPECT_EQ(picker.Value().toStdString(), "FromName");
    QTest::keyClick(uses, Qt::Key_Down);
    EXPECT_EQ(picker.Value().toStdString(), "Date");
}

}  // namespace
}  // namespace managertest
