// The road of a template written in post32: composed with a merge code
// from the picker and an attachment, saved, and used by the agent
// processor's auto-reply, which reaches a real SMTP server with the code
// expanded and the attachment on board; and a template made from a
// received mail, whose replies are new messages to the sender alone.
#include "fixtures/agent_fixture.h"

#include <QApplication>
#include <QFileDialog>
#include <QListWidget>

#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_update_field.h"
#include "manager/seam/dialog_seam.h"
#include "tests/support/scoped_env.h"
#include "tests/support/smtp_server.h"
#include "ui_tfrm_message.h"
#include "ui_tfrm_update_field.h"

namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class TemplateReply : public agents_test::AgentFixture {
protected:
    test_support::ScopedEnv cache{"XDG_CACHE_HOME", dir.path() + "/cache"};

    void TearDown() override { manager::DialogSeam::SetDialogAnswerer({}); }
};

TEST_F(TemplateReply, AComposedTemplateRepliesWithItsCodesExpanded)
{
    if (!test_support::SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd not available";
    test_support::SmtpServer smtp;
    addAccount("acc1", smtp.address());
    const std::string templatePath = dir.path() + "/thanks.eml";
    test_support::writeFile(dir.path() + "/terms.pdf", std::string("%PDF-1.4\0\x01\x02 terms", 17));

    // The user: a subject, a body, the picker's code, an attachment, Save.
    manager::DialogSeam::SetDialogAnswerer([&](QDialog& dialog) {
        if (auto* chooser = qobject_cast<QFileDialog*>(&dialog)) {
            chooser->selectFile(QString::fromStdString(templatePath));
            return int(QDialog::Accepted);
        }
        auto& picker = dynamic_cast<manager::TfrmUpdateField&>(dialog);
        picker.show();
        picker.ui()->edtFieldName->setText(QStringLiteral("fromname"));
        return int(QDialog::Accepted);
    });
    auto* composer = new manager::TfrmMessage;
    composer->ui()->lblFromName->setText(QStringLiteral("Help Desk"));
    composer->ui()->lblFromAddress->setText(QStringLiteral("desk@example.org"));
    composer->show();
    composer->lblSubjectClick();
    composer->ui()->edtSubject->setText(QStringLiteral("We got your question"));
    composer->ui()->REBody->setPlainText(QStringLiteral("Dear \nthank you."));
    QTextCursor cursor = composer->ui()->REBody->textCursor();
    cursor.setPosition(5);
    composer->ui()->REBody->setTextCursor(cursor);
    composer->MergeCode1Click();
    composer->AddDroppedFile(dir.path() + "/terms.pdf");
    ASSERT_TRUE(composer->Save1Click());
    composer->close();

    // The agent processor: an auto-reply from that template.
    writeAgent("Agent", {agents_test::Always()}, {{"AUTO-REPLY", templatePath, ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "m.eml", agents_test::MailText("<in-1@x>", "Question"));
    pass->AgentsMain();

    ASSERT_TRUE(smtp.waitForMessages(1));
    const auto sent = smtp.messages().at(0);
    EXPECT_EQ(sent.recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_TRUE(has(sent.data, "Subject:  We got your question")) << sent.data;
    EXPECT_TRUE(has(sent.data, "Dear Ann Lee")) << sent.data;
    EXPECT_FALSE(has(sent.data, "<<")) << sent.data;
    EXPECT_TRUE(has(sent.data, "filename=\"terms.pdf\"")) << sent.data;
    TmsMessage received;
    received.LoadFromString(sent.data);
    ASSERT_EQ(received.Attachments().Count(), 1);
    EXPECT_EQ(received.Attachments().Items(0).Contents(), std::string("%PDF-1.4\0\x01\x02 terms", 17));
}

// A received mail opened with File > Open and saved as a template: the
// replies made from it go to each incoming sender alone, and each is a new
// message, not a copy of that mail with its date and id.
TEST_F(TemplateReply, ATemplateMadeFromAReceivedMailRepliesAsANewMessage)
{
    if (!test_support::SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd not available";
    test_support::SmtpServer smtp;
    addAccount("acc1", smtp.address());
    const std::string received = dir.path() + "/received.eml";
    test_support::writeFile(received, "From: Old Customer <old@example.net>\r\n"
                                      "To: desk@example.org, Bob <bob@example.org>\r\nCc: carol@example.org\r\n"
                                      "Date: Mon, 01 Jan 2001 10:00:00 +0000\r\n"
                                      "Message-ID: <received-1@example.net>\r\n"
                                      "Subject: Thanks for writing\r\n\r\nWe will answer soon.\r\n");
    const std::string templatePath = dir.path() + "/from-mail.eml";
    std::vector<std::string> choices = {received, templatePath};
    manager::DialogSeam::SetDialogAnswerer([&](QDialog& dialog) {
        auto& chooser = dynamic_cast<QFileDialog&>(dialog);
        chooser.selectFile(QString::fromStdString(choices.front()));
        choices.erase(choices.begin());
        return int(QDialog::Accepted);
    });
    auto* composer = new manager::TfrmMessage;
    composer->ui()->lblFromName->setText(QStringLiteral("Help Desk"));
    composer->ui()->lblFromAddress->setText(QStringLiteral("desk@example.org"));
    composer->show();
    composer->Open1Click();
    ASSERT_TRUE(composer->SaveAs1Click());
    composer->close();

    writeAgent("Agent", {agents_test::Always()}, {{"AUTO-REPLY", templatePath, ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "a.eml", agents_test::MailText("<in-a@example.org>", "Question"));
    pass->AgentsMain();

    ASSERT_TRUE(smtp.waitForMessages(1));
    const auto sent = smtp.messages().at(0);
    EXPECT_EQ(sent.recipients, std::vector<std::string>{"ann@example.org"});
    TmsMessage reply;
    reply.LoadFromString(sent.data);
    EXPECT_EQ(reply.Subject(), "Thanks for writing");
    EXPECT_EQ(reply.CC().Count(), 0);
    const std::string id = reply.Headers().GetFieldValue("Message-ID");
    EXPECT_FALSE(id.empty()) << sent.data;
    EXPECT_NE(id, "<received-1@example.net>");
    EXPECT_NE(id, "<in-a@example.org>");
    EXPECT_FALSE(has(sent.data, "2001")) << sent.data;
    EXPECT_FALSE(has(sent.data, "bob@example.org")) << sent.data;
    EXPECT_FALSE(has(sent.data, "carol@example.org")) << sent.data;
    EXPECT_FALSE(reply.Headers().GetFieldValue("Date").empty()) << sent.data;
}

}  // namespace
