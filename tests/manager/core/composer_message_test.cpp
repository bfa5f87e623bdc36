// What the composer writes into its message: the window's fields and, of
// the opened mail, only its merge-code lines; header texts kept to one
// line, attachment files read at the moment of saving; and the merge
// preview's pass through the writer, the reader and the expander.
#include "core_fixture.h"

#include "mail/mail_error.h"
#include "manager/core/composer_message.h"
#include "manager/core/merge_preview.h"

namespace managertest {
namespace {

using manager::ComposerDraft;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ComposerMessage : public ManagerCoreTest {};

TEST_F(ComposerMessage, TheWindowsFieldsReplaceWhatTheLoadedMessageHeld)
{
    TmsMessage loaded;
    loaded.LoadFromString("From: Old <old@example.org>\r\nTo: Ann <ann@example.org>\r\n"
                          "X-Keep: yes\r\nSubject: Old\r\n\r\nold body\r\n");
    loaded.BCC().AddAddress("hidden@example.org", "");
    ComposerDraft draft;
    draft.senderName = "Help\r\nDesk";
    draft.senderAddress = "desk@example.org";
    draft.subject = "New\nsubject";
    draft.body = {"new body"};
    TmsMessage message;
    manager::PopulateTMessageObject(message, draft, loaded);
    EXPECT_EQ(message.Sender().Name(), "Help  Desk");
    EXPECT_EQ(message.Subject(), "New subject");
    // The window shows no recipients or other fields, so it keeps none.
    EXPECT_EQ(message.Recipients().Count(), 0);
    EXPECT_EQ(message.BCC().Count(), 0);
    const std::string text = message.SaveToString();
    EXPECT_FALSE(has(text, "X-Keep")) << text;
    EXPECT_FALSE(has(text, "ann@example.org")) << text;
    EXPECT_TRUE(has(text, "new body")) << text;
    EXPECT_FALSE(has(text, "old body")) << text;
    EXPECT_FALSE(has(text, "Old <old")) << text;

    // No sender given by the opener: the loaded one stays.
    manager::PopulateTMessageObject(message, ComposerDraft{}, loaded);
    EXPECT_EQ(message.Sender().Address(), "old@example.org");
}

// A received mail opened in the composer and saved as a template: every
// reply from it would repeat its recipients, date and id.
TEST_F(ComposerMessage, AReceivedMailSavedAsATemplateKeepsNoneOfItsFields)
{
    TmsMessage loaded;
    loaded.LoadFromString("Return-Path: <ann@example.org>\r\n"
                          "Received: from mx.example.org (mx.example.org [192.0.2.1])\r\n"
                          "\tby mail.example.net; Tue, 08 Dec 2026 09:30:02 +0100\r\n"
                          "From: Ann Lee <ann@example.org>\r\n"
                          "To: desk@example.org, Bob <bob@example.org>\r\nCc: carol@example.org\r\n"
                          "Date: Tue, 08 Dec 2026 09:30:00 +0100\r\nMessage-ID: <in-1@example.org>\r\n"
                          "In-Reply-To: <earlier@example.net>\r\nReferences: <earlier@example.net>\r\n"
                          "X-Priority: 1\r\nReturn-Receipt-To: ann@example.org\r\n"
                          "Auto-Submitted: auto-replied\r\nSubject: Question\r\n\r\nHello.\r\n");
    ComposerDraft draft;
    draft.senderName = "Help Desk";
    draft.senderAddress = "desk@example.org";
    draft.subject = loaded.Subject();
    draft.body = loaded.Body();
    TmsMessage message;
    message.Assign(loaded);
    manager::PopulateTMessageObject(message, draft, loaded);
    const std::string text = message.SaveToString();
    for (const char* field : {"Return-Path:", "Received:", "To:", "Cc:", "CC:", "Date:", "Message-ID:",
                              "In-Reply-To:", "References:", "X-Priority:", "Return-Receipt-To:", "Auto-Submitted:"})
        EXPECT_FALSE(has(text, std::string("\r\n") + field)) << field << "\n" << text;
    EXPECT_FALSE(has(text, "bob@example.org")) << text;
    EXPECT_TRUE(text.rfind("From:     Help Desk <desk@example.org>\r\n", 0) == 0) << text;
    EXPECT_TRUE(has(text, "\r\nSubject:  Question\r\n")) << text;
    EXPECT_TRUE(has(text, "\r\n\r\nHello.")) << text;

    // Read back, it has only the sender.
    TmsMessage saved;
    saved.LoadFromString(text);
    EXPECT_EQ(saved.Recipients().Count(), 0);
    EXPECT_EQ(saved.CC().Count(), 0);
    EXPECT_EQ(saved.Priority(), ptNormal);
    EXPECT_FALSE(saved.ReturnReceipt());
}

// The template's own merge-code lines are kept whole, folded ones too; a
// received mail's lines beside them are not.
TEST_F(ComposerMessage, MergeCodeLinesOfTheTemplateStay)
{
    TmsMessage loaded;
    loaded.LoadFromString("From: desk@example.org\r\nTo: <<REPLYFIELD~EMAIL>>\r\nCc: boss@example.org\r\n"
                          "X-Order: order\r\n <<REPLYFIELD~ORDER>>\r\nX-Plain: folded\r\n on\r\n"
                          "Date: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: Hi\r\n\r\nx\r\n");
    ComposerDraft draft;
    draft.subject = "Hi";
    draft.body = {"x"};
    TmsMessage message;
    manager::PopulateTMessageObject(message, draft, loaded);
    const std::string text = message.SaveToString();
    EXPECT_TRUE(has(text, "<<REPLYFIELD~EMAIL>>\r\n")) << text;
    EXPECT_TRUE(has(text, "\r\nX-Order: order\r\n <<REPLYFIELD~ORDER>>\r\n")) << text;
    EXPECT_FALSE(has(text, "boss@example.org")) << text;
    EXPECT_FALSE(has(text, "X-Plain")) << text;
    EXPECT_FALSE(has(text, " on\r\n")) << text;
    EXPECT_FALSE(has(text, "Date:")) << text;
    EXPECT_EQ(message.Recipients().Count(), 1);
    EXPECT_EQ(message.CC().Count(), 0);
}

// An outbox message edited in the composer is mail to send: its
// recipients, copies and fields stay as they were.
TEST_F(ComposerMessage, MailToSendKeepsItsRecipientsAndFields)
{
    TmsMessage loaded;
    loaded.LoadFromString("From: Sales <sales@example.org>\r\nTo: Ann <ann@example.org>\r\n"
                          "Cc: carol@example.org\r\nX-Keep: yes\r\nSubject: Offer\r\n\r\nold\r\n");
    loaded.BCC().AddAddress("hidden@example.org", "");
    ComposerDraft draft;
    draft.subject = "Offer";
    draft.body = {"A better offer."};
    draft.mailToSend = true;
    TmsMessage message;
    manager::PopulateTMessageObject(message, draft, loaded);
    ASSERT_EQ(message.Recipients().Count(), 1);
    EXPECT_EQ(message.Recipients().Items(0).Address(), "ann@example.org");
    EXPECT_EQ(message.CC().Count(), 1);
    EXPECT_EQ(message.BCC().Count(), 1);
    const std::string text = message.SaveToString();
    EXPECT_TRUE(has(text, "X-Keep: yes\r\n")) << text;
    EXPECT_TRUE(has(text, "A better offer.")) << text;
}

TEST_F(ComposerMessage, AnUnreadableAttachmentFailsAndChangesNothing)
{
    test_support::writeFile(dir.path() + "/a.bin", "A");
    ComposerDraft draft;
    draft.subject = "Files";
    draft.attachments = {{"a.bin", dir.path() + "/a.bin"}, {"gone.bin", dir.path() + "/gone.bin"}};
    TmsMessage message;
    message.SetSubject("before");
    TmsMessage loaded;
    EXPECT_THROW(manager::PopulateTMessageObject(message, draft, loaded), mail::EInOutError);
    EXPECT_EQ(message.Subject(), "before");
    EXPECT_EQ(message.Attachments().Count(), 0);

    draft.attachments.pop_back();
    draft.attachments[0].name = "say \"hi\"\r\n.bin";
    manager::PopulateTMessageObject(message, draft, loaded);
    ASSERT_EQ(message.Attachments().Count(), 1);
    EXPECT_EQ(message.Attachments().Items(0).FileName(), "say 'hi'  .bin");
}

TEST_F(ComposerMessage, ThePreviewExpandsTheTemplateAndTakesTheToOverride)
{
    // The template as the composer builds it from the file it opened.
    TmsMessage loaded;
    loaded.LoadFromString("From: desk@example.org\r\nTo: <<REPLYFIELD~EMAIL>>\r\nSubject: Hi\r\n\r\nx\r\n");
    ComposerDraft draft;
    draft.subject = "Hi";
    draft.body = {"Dear <<REPLYHEADER~FROMNAME>>"};
    TmsMessage message;
    manager::PopulateTMessageObject(message, draft, loaded);
    TmsMessage source;
    source.LoadFromString("From: Ann Lee <ann@example.org>\r\nSubject: q\r\n\r\nEMAIL=other@example.org\r\n");
    const std::string preview = dir.path() + "/Temp.eml";
    manager::WriteMergePreview(message, source, preview);
    const std::string text = test_support::readFile(preview);
    EXPECT_TRUE(has(text, "Dear Ann Lee")) << text;
    ASSERT_EQ(message.Recipients().Count(), 1);
    EXPECT_EQ(message.Recipients().Items(0).Address(), "other@example.org");
    EXPECT_TRUE(has(text, "other@example.org")) << text;

    // The preview file lies in the program folder.
    EXPECT_EQ(manager::MergePreviewFile(), homeDir() + "Temp.eml");
}

// Every step of the preview's expansion reaches the log the main window set,
// with the preview's own version text.
TEST_F(ComposerMessage, ThePreviewLogsEachStepOfItsExpansion)
{
    std::vector<std::string> lines;
    manager::SetMergePreviewLog([&](const std::string& line) { lines.push_back(line); });
    TmsMessage message;
    message.LoadFromString("From: desk@example.org\r\nSubject: Hi\r\n\r\nFrom <<SYSTEM~VERSION>>\r\nno code\r\n");
    const std::string preview = dir.path() + "/Temp.eml";
    manager::WriteMergePreview(message, TmsMessage(), preview);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "SYSTEM~VERSION", "Merge Template the command is: SYSTEM the param is: VERSION",
                         "the result of the SYSTEM merge code was  Kalder Tarsel Mail Management System Version: .9999",
                         "the newline reads  From Kalder Tarsel Mail Management System Version: .9999"}));
    // Taken away again (the main window is gone): the preview still works.
    manager::SetMergePreviewLog({});
    message.Body() = {"<<SYSTEM~DATE>>"};
    manager::WriteMergePreview(message, TmsMessage(), preview);
    EXPECT_EQ(lines.size(), 4u);
    EXPECT_FALSE(has(test_support::readFile(preview), "<<SYSTEM"));
}

}  // namespace
}  // namespace managertest
