// Real mail in many charsets through postp and posta to a real SMTP server:
// every automatic reply and forward, read by Python's email (default
// policy), names each sender exactly as the sender wrote it, has only ASCII
// header lines and a body its declared charset decodes; the received rows
// hold the same text; and a forward of a message with a 12,000-character
// header line is taken by a server that refuses lines over 998 characters.
#include "fixtures/agent_fixture.h"
#include "fixtures/real_programs_run.h"

#include "store/table_layouts.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/python_mail_reading.h"
#include "tests/support/smtp_server.h"

#include <gtest/gtest.h>

#include <map>

namespace agents_test {
namespace {

using Address = test_support::PythonMailReading::Address;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Incoming {
    std::string address, name, subject;  // as a reader should see them, UTF-8
    std::string text;                    // the mail as the sender's program wrote it
};

std::string headed(const std::string& id, const std::string& from, const std::string& subject,
                   const std::string& rest)
{
    return "From: " + from + "\r\nTo: desk@example.org\r\nMessage-ID: <" + id +
           "@example.org>\r\nDate: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: " + subject + "\r\n" + rest;
}

const std::string kGruesse = "Gr\xC3\xBC\xC3\x9F" "e";

std::vector<Incoming> incomingMail()
{
    const std::string mime = "Mime-Version: 1.0\r\nContent-Type: text/plain; charset=";
    return {
        // A name in UTF-8 encoded words.
        {"ak@example.org", "\xC3\x84kille S\xC3\xB8rensen", kGruesse + " aus \xC5\x81\xC3\xB3" "d\xC5\xBA",
         headed("a", "=?utf-8?B?w4RraWxsZSBTw7hyZW5zZW4=?= <ak@example.org>",
                "=?utf-8?q?Gr=C3=BC=C3=9Fe_aus_=C5=81=C3=B3d=C5=BA?=",
                mime + "utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
                       "Hallo aus =C5=81=C3=B3d=C5=BA\r\n")},
        // A Latin-1 body under an ISO-8859-1 encoded-word name.
        {"am@example.org", "Andr\xC3\xA9 M\xC3\xBCller", kGruesse + " von Andr\xC3\xA9",
         headed("b", "=?iso-8859-1?Q?Andr=E9_M=FCller?= <am@example.org>", "=?iso-8859-1?Q?Gr=FC=DFe_von_Andr=E9?=",
                mime + "iso-8859-1\r\nContent-Transfer-Encoding: 8bit\r\n\r\nViele Gr\xFC\xDF" "e\r\n")},
        // A KOI8-R subject and name.
        {"iv@example.org", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
         headed("c", "=?koi8-r?B?6dfBzg==?= <iv@example.org>", "=?koi8-r?B?8NLJ18XU?=",
                mime + "koi8-r\r\nContent-Transfer-Encoding: 8bit\r\n\r\n\xF0\xD2\xC9\xD7\xC5\xD4 \xCD\xC9\xD2\r\n")},
        // Raw 8-bit headers and body, no MIME at all.
        {"jm@example.org", "J\xC3\xB6rg M\xC3\xBCller", kGruesse + " aus K\xC3\xB6ln",
         headed("d", "J\xF6rg M\xFCller <jm@example.org>", "Gr\xFC\xDF" "e aus K\xF6ln", "\r\nServus aus K\xF6ln\r\n")},
        // Windows-1252 with its quotes and the euro sign.
        {"zo@example.org", "Zo\xC3\xAB \xE2\x80\x9CZ\xE2\x80\x9D O\xE2\x80\x99Neil", "Preis \xE2\x82\xAC" "5",
         headed("e", "=?windows-1252?Q?Zo=EB_=93Z=94_O=92Neil?= <zo@example.org>", "Preis =?windows-1252?q?=805?=",
                mime + "windows-1252\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nNur =805\r\n")},
    };
}

class CharsetMail : public RealProgramsRun {
protected:
    void SetUp() override
    {
        if (const std::string missing = missingForRun(true); !missing.empty())
            GTEST_SKIP() << missing;
    }

    // What Python reads from one message the SMTP server took.
    test_support::PythonMailReading pythonReading(const test_support::SmtpServer::Message& sent)
    {
        const std::string path = home.folder() + "/sent" + std::to_string(++sentFiles) + ".eml";
        test_support::writeFile(path, sent.data);
        return test_support::readMailWithPython(path);
    }

    int sentFiles = 0;
};

const std::string kAccountName = "Kundendienst Z\xC3\xBCrich";
const std::string kReplySubject = "Ihre Nachricht \xC3\xBC" "ber uns";

TEST_F(CharsetMail, RepliesAndForwardsNameEverySenderAsTheSenderWroteIt)
{
    test_support::DovecotServer pop;
    test_support::SmtpServer smtp;
    const std::vector<Incoming> mail = incomingMail();
    for (const Incoming& message : mail)
        pop.addMessage(message.text);
    home.addAccount({"acct", kAccountName, "desk@example.org", pop.address(), smtp.address()});
    const std::string tpl = home.folder() + "/reply.eml";
    test_support::writeFile(tpl, "From: x@y\r\nSubject: =?utf-8?q?Ihre_Nachricht_=C3=BCber_uns?=\r\n"
                                 "Mime-Version: 1.0\r\nContent-Type: text/plain; charset=\"utf-8\"\r\n"
                                 "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
                                 "Liebe(r) <<REPLYHEADER~FROMNAME>>,\r\n"
                                 "Betreff: <<REPLYHEADER~Subject>>\r\n"
                                 "Gr=C3=BC=C3=9Fe, <<SYSTEM~CURRENTNODE>>\r\n");
    home.writeAgent("Replier", {Always()}, {{"AUTO-REPLY", tpl, ""}});
    // Typed in the trigger dialog, the text is UTF-8; it must hold for the
    // subjects of every charset.
    home.writeAgent("Greetings", {{"Subject", "contains", kGruesse}}, {{"FORWARD TO", "boss@example.org", ""}});
    home.attachAgent("acct", "Replier");
    home.attachAgent("acct", "Greetings");

    ASSERT_TRUE(home.run(postp).exited);
    ASSERT_EQ(home.pendingFiles("acct").size(), mail.size());
    ASSERT_TRUE(home.run(posta).exited);
    ASSERT_TRUE(smtp.waitForMessages(8)) << home.log("agentproc.log");

    std::map<std::string, test_support::PythonMailReading> replies, forwards;
    for (const auto& sent : smtp.messages()) {
        ASSERT_EQ(sent.recipients.size(), 1u);
        test_support::PythonMailReading reading = pythonReading(sent);
        EXPECT_TRUE(reading.headerAscii) << sent.data;
        EXPECT_TRUE(reading.unsound.empty()) << reading.output;
        if (sent.recipients[0] == "boss@example.org")
            forwards[reading.subject.value_or("")] = std::move(reading);
        else
            replies[sent.recipients[0]] = std::move(reading);
    }
    ASSERT_EQ(replies.size(), 5u);
    ASSERT_EQ(forwards.size(), 3u);
    for (const Incoming& message : mail) {
        SCOPED_TRACE(message.address);
        const auto& reply = replies[message.address];
        EXPECT_EQ(reply.to, (std::vector<Address>{{message.name, message.address}})) << reply.output;
        EXPECT_EQ(reply.from, (std::vector<Address>{{kAccountName, "desk@example.org"}}));
        EXPECT_EQ(reply.subject, kReplySubject);
        EXPECT_EQ(reply.textCharSet, "utf-8");
        EXPECT_EQ(reply.text, "Liebe(r) " + message.name + ",\nBetreff: " + message.subject + "\n" + kGruesse + ", " +
                                  kAccountName)
            << reply.output;
        if (has(message.subject, kGruesse)) {
            ASSERT_EQ(forwards.count(message.subject), 1u) << message.subject;
            const auto& forward = forwards[message.subject];
            EXPECT_TRUE(forward.text && forward.text->rfind("Forwarded Message:  Originally from: " + message.name +
                                                                " " + message.address + "\n",
                                                            0) == 0)
                << forward.output;
        }
    }

    // The received rows and the filed copies hold the same text.
    std::vector<std::string> subjects;
    for (const auto& row : home.rows(store::kReceivedTable, {"SUBJECT"}))
        subjects.push_back(row[0].substr(0, row[0].find_last_not_of(' ') + 1));
    for (const Incoming& message : mail)
        EXPECT_NE(std::find(subjects.begin(), subjects.end(), message.subject), subjects.end()) << message.subject;
    for (const std::string& file : home.receivedFiles("acct")) {
        const auto filed = test_support::readMailWithPython(home.receivedFolder("acct") + file);
        EXPECT_TRUE(filed.headerAscii) << filed.output;
        EXPECT_TRUE(filed.unsound.empty()) << filed.output;
    }
}

TEST_F(CharsetMail, AForwardWithA12000CharacterHeaderLineIsTakenByAStrictServer)
{
    test_support::SmtpServer smtp({}, test_support::SmtpServer::Lines::AtMost998);
    home.addAccount({"acct", "Desk", "desk@example.org", "", smtp.address()});
    home.writeAgent("Forwarder", {Always()}, {{"FORWARD TO", "boss@example.org", ""}});
    home.attachAgent("acct", "Forwarder");
    std::string words, references;
    for (int i = 0; words.size() < 12000; ++i)
        words += " hop" + std::to_string(i);
    for (int i = 0; references.size() < 12000; ++i)
        references += "<id" + std::to_string(i) + "@example.org>";
    const std::string blob(12000, 'Q');
    home.addPending("acct", "long.eml",
                    MailText("<long@example.org>", "Long lines", {"Hello."},
                             "X-Trace:" + words + "\r\nX-Blob: " + blob + "\r\nReferences: " + references + "\r\n"));

    ASSERT_TRUE(home.run(posta).exited);
    ASSERT_TRUE(smtp.waitForMessages(1)) << home.log("agentproc.log");
    const auto reading = pythonReading(smtp.messages().front());
    EXPECT_LE(reading.longestLine, 998u);
    EXPECT_EQ(test_support::fieldOf(reading, "x-trace"), words.substr(1));
    EXPECT_EQ(test_support::fieldOf(reading, "x-blob"), blob);
    EXPECT_EQ(home.rows(store::kActionsTable, {"ACTION"}),
              (std::vector<std::vector<std::string>>{{"Message Forwarded to: boss@example.org"}}));
    EXPECT_FALSE(has(home.log("agentproc.log"), "Could not send"));
}

}  // namespace
}  // namespace agents_test
