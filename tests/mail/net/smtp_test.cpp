// The SMTP client against a real aiosmtpd server and against scripted
// servers for greetings and refusals a real one will not give.

#include "mail/attachments.h"
#include "mail/message.h"
#include "mail/net/net_errors.h"
#include "mail/net/smtp_client.h"
#include "tests/support/scripted_server.h"
#include "tests/support/scoped_env.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

using test_support::ScriptedServer;
using test_support::SmtpServer;

namespace {

// Points $TMPDIR at a private folder so leftover temporary files show.
class PrivateTempFolder {
public:
    std::size_t files() const
    {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& item : std::filesystem::directory_iterator(dir_.path()))
            ++count;
        return count;
    }

private:
    test_support::TempDir dir_{"tmp"};
    test_support::ScopedEnv tmpDir_{"TMPDIR", dir_.path()};
};

// `text` with its MIME boundary replaced by the one of `like` (each save
// draws a new one).
std::string sameBoundary(std::string text, const std::string& like)
{
    const auto boundaryOf = [](const std::string& t) {
        const auto start = t.find("boundary=\"");
        return start == std::string::npos ? std::string() : t.substr(start + 10, t.find('"', start + 10) - start - 10);
    };
    const std::string from = boundaryOf(text), to = boundaryOf(like);
    if (from.empty() || to.empty())
        return text;
    for (auto pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

class NetSmtpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        smtp.SetWinsockLoaded(true);
        smtp.SetTimeOut(10);
        smtp.SetMailMessage(&message);
        message.Sender().SetAddress("sender@example.com");
        message.Recipients().AddAddress("to@example.com", "To");
        message.SetSubject("Test");
        message.Body() = {"Hello."};
    }

    // Greeting and HELO of a scripted server.
    static void greet(ScriptedServer& server) { server.send("220 ready\r\n").reply("250 hello"); }

    TmsMessage message;
    TmsSMTP smtp;
};

TEST_F(NetSmtpTest, SendsTheMessageWithItsEnvelopeToARealServer)
{
    if (!SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd is not installed";
    SmtpServer server;
    message.CC().AddAddress("cc1@example.com", "");
    message.CC().AddAddress("cc2@example.com", "");
    message.BCC().AddAddress("hidden@example.com", "");
    message.Body() = {"First line.", ".", "..two", ".starts with a dot", "last"};
    smtp.SetServer(server.address());
    std::vector<std::string> events;
    smtp.OnPrepare = [&](TagSocket&) { events.push_back("prepare"); };
    smtp.OnSending = [&](TagSocket&) { events.push_back("sending"); };
    smtp.OnMailSent = [&](TagSocket&) { events.push_back("sent"); };

    TmsMessage copy;
    copy.Assign(message);
    std::string expected = copy.SaveToString();
    smtp.SendMail();

    ASSERT_TRUE(server.waitForMessages(1));
    SmtpServer::Message got = server.messages()[0];
    EXPECT_EQ(got.mailFrom, "sender@example.com");
    EXPECT_EQ(got.recipients, (std::vector<std::string>{"to@example.com", "cc1@example.com", "cc2@example.com",
                                                        "hidden@example.com"}));
    EXPECT_EQ(got.helo, smtp.LocalHostName());
    // Byte for byte what the writer wrote, dots included, plus the empty line
    // that always precedes the end of data.
    EXPECT_EQ(got.data, expected + "\r\n");
    EXPECT_EQ(events, (std::vector<std::string>{"prepare", "sending", "sent"}));
    EXPECT_FALSE(smtp.Connected());
}

// A short message is kept in memory while it goes out, a long one and one
// with an attachment in a nameless temporary file: both arrive byte for
// byte, dot lines across the batch boundary included, and no file is left.
TEST_F(NetSmtpTest, ShortAndLongMessagesArriveWholeAndLeaveNoFile)
{
    if (!SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd is not installed";
    SmtpServer server;
    PrivateTempFolder temp;
    smtp.SetServer(server.address());
    std::vector<std::string> expected;
    const auto send = [&] {
        TmsMessage copy;
        copy.Assign(message);
        expected.push_back(copy.SaveToString() + "\r\n");
        smtp.SendMail();
    };
    message.Body() = {"short", ".", "end"};
    send();
    message.Body().clear();
    for (int i = 0; i < 6000; ++i)
        message.Body().push_back(i % 97 == 0 ? "." + std::to_string(i) : "line " + std::to_string(i) + " of a long one");
    send();
    message.Body() = {"with a file"};
    auto item = std::make_unique<TmsAttItem>();
    item->SetFileName("data.bin");
    item->Contents() = std::string(3000, '\x7f');
    message.Attachments().Add(std::move(item));
    send();

    ASSERT_TRUE(server.waitForMessages(3));
    const auto got = server.messages();
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(sameBoundary(got[i].data, expected[i]), expected[i]) << "message " << i;
    EXPECT_EQ(temp.files(), 0u);
}

TEST_F(NetSmtpTest, DotLineInsideTheTextNeverEndsTheData)
{
    if (!SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd is not installed";
    SmtpServer server;
    message.Body() = {"before", ".", "RCPT TO:<intruder@example.com>", "after"};
    smtp.SetServer(server.address());
    smtp.SendMail();
    smtp.SendMail();  // the session after it still works
    ASSERT_TRUE(server.waitForMessages(2));
    for (const auto& got : server.messages()) {
        EXPECT_NE(got.data.find("\r\n.\r\nRCPT TO:<intruder@example.com>\r\nafter\r\n"), std::string::npos);
        EXPECT_EQ(got.recipients, std::vector<std::string>{"to@example.com"});
    }
}

TEST_F(NetSmtpTest, RefusedBlindCopyFailsTheSendLikeAnyRecipient)
{
    if (!SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd is not installed";
    SmtpServer server({"blocked@example.com"});
    message.BCC().AddAddress("blocked@example.com", "");
    smtp.SetServer(server.address());
    PrivateTempFolder temp;
    try {
        smtp.SendMail();
        FAIL() << "a refused recipient passed";
    } catch (const EServerError& error) {
        EXPECT_EQ(std::string(error.what()), "550 5.1.1 Recipient refused -- SMTP server " + server.address() +
                                                 ", in its answer to RCPT TO:<blocked@example.com>");
    }
    EXPECT_FALSE(smtp.Connected());
    EXPECT_EQ(temp.files(), 0u);
    EXPECT_EQ(server.messageCount(), 0u);
}

TEST_F(NetSmtpTest, RecipientsInOrderEmptyOnesSkippedLongOnesWhole)
{
    std::string longAddress = std::string(240, 'a') + "@example.com";
    message.Recipients().AddAddress("", "Nobody");
    message.CC().AddAddress(longAddress, "");
    message.BCC().AddAddress("b@example.com", "");
    ScriptedServer server;
    greet(server);
    server.reply("250 ok").reply("250 ok").reply("251 forwarded").reply("250 ok").reply("354 go");
    server.readData().send("250 queued\r\n").reply("221 bye");
    server.start();
    smtp.SetServer(server.address());
    smtp.SendMail();
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.error(), "");
    std::vector<std::string> lines = server.lines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[1], "MAIL FROM:<sender@example.com>");
    EXPECT_EQ(lines[2], "RCPT TO:<to@example.com>");
    EXPECT_EQ(lines[3], "RCPT TO:<" + longAddress + ">");
    EXPECT_EQ(lines[4], "RCPT TO:<b@example.com>");
    EXPECT_EQ(lines[5], "DATA");
    EXPECT_EQ(lines[6], "QUIT");
}

TEST_F(NetSmtpTest, AddressWithLineBreakIsRefusedBeforeTheEnvelope)
{
    message.BCC().AddAddress("x@example.com>\r\nRCPT TO:<evil@example.com", "");
    ScriptedServer server;
    greet(server);
    server.reply("221 bye");
    server.start();
    smtp.SetServer(server.address());
    PrivateTempFolder temp;
    try {
        smtp.SendMail();
        FAIL();
    } catch (const EMessageError& error) {
        EXPECT_NE(std::string(error.what()).find("x@example.com>\\r\\nRCPT"), std::string::npos);
    }
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.lines().size(), 2u);  // HELO and QUIT, nothing else
    EXPECT_EQ(server.lines().back(), "QUIT");
    EXPECT_EQ(temp.files(), 0u);
}

TEST_F(NetSmtpTest, SecondHeloWithoutNameIsTriedOnceAndMayBeRefused)
{
    ScriptedServer lenient;
    lenient.send("220 ready\r\n").reply("501 bad name").reply("250-hello\r\n250 ok").waitForClientClose();
    lenient.start();
    smtp.SetServer(lenient.address());
    smtp.Connect();
    EXPECT_TRUE(smtp.Connected());
    smtp.Close();
    ASSERT_TRUE(lenient.waitDone());
    EXPECT_EQ(lenient.lines()[1], "HELO");

    ScriptedServer strict;
    strict.send("220 ready\r\n").reply("501 bad name").reply("501 still bad").waitForClientClose();
    strict.start();
    smtp.SetServer(strict.address());
    try {
        smtp.Connect();
        FAIL();
    } catch (const EServerError& error) {
        EXPECT_EQ(std::string(error.what()), "501 still bad -- SMTP server " + strict.address() + ", in its answer to HELO");
    }
}

TEST_F(NetSmtpTest, WrongGreetingAndClosedConnectionAreReported)
{
    ScriptedServer busy;
    busy.send("554 too busy\r\n").reply("221 bye");
    busy.start();
    smtp.SetServer(busy.address());
    EXPECT_THROW(smtp.SendMail(), EServerError);
    EXPECT_FALSE(smtp.Connected());

    ScriptedServer gone;
    gone.send("220 ready\r\n").reply("250 hello").expectLine().closeConnection();
    gone.start();
    smtp.SetServer(gone.address());
    try {
        smtp.SendMail();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_EQ(std::string(error.what()), "[10054] Connection reset by peer -- SMTP server " + gone.address() +
                                                 ", waiting for its answer to MAIL FROM:<sender@example.com>");
    }
}

TEST_F(NetSmtpTest, ServerAndMessageAreCheckedBeforeTheEnvelope)
{
    smtp.SetServer("");
    try {
        smtp.SendMail();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "Server property is required");
    }
    smtp.SetMailMessage(nullptr);
    try {
        smtp.Send();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "MailMessage property must be assigned");
    }
    TmsMessage noSender;
    noSender.Recipients().AddAddress("to@example.com", "");
    smtp.SetMailMessage(&noSender);
    ScriptedServer server;
    greet(server);
    server.reply("221 bye");
    server.start();
    smtp.SetServer(server.address());
    EXPECT_THROW(smtp.SendMail(), EMessageError);
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.lines().back(), "QUIT");
}

// SendMail's QUIT leaves with the data's answer, before OnMailSent runs; the
// log-out only reads its answer, so each session sends one QUIT, and a
// refused farewell is still reported after the mail was taken.
TEST_F(NetSmtpTest, QuitLeavesBeforeOnMailSentOncePerSessionAndItsRefusalIsReported)
{
    ScriptedServer server;
    const auto session = [&](const char* farewell) {
        greet(server);
        server.reply("250 ok").reply("250 ok").reply("354 go").readData().send("250 queued\r\n").reply(farewell);
    };
    session("221 bye");
    server.acceptNext();
    session("500 not now");
    server.start();
    smtp.SetServer(server.address());
    int sent = 0;
    bool quitSeenFirst = false;
    smtp.OnMailSent = [&](TagSocket&) {
        ++sent;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!quitSeenFirst && std::chrono::steady_clock::now() < until) {
            quitSeenFirst = server.lines().size() == 5u * static_cast<std::size_t>(sent) &&
                            server.lines().back() == "QUIT";
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    smtp.SendMail();
    EXPECT_TRUE(quitSeenFirst);
    EXPECT_FALSE(smtp.Connected());
    quitSeenFirst = false;
    try {
        smtp.SendMail();
        FAIL() << "a refused farewell passed";
    } catch (const EServerError& error) {
        EXPECT_EQ(std::string(error.what()), "500 not now -- SMTP server " + server.address() + ", in its answer to QUIT");
    }
    EXPECT_TRUE(quitSeenFirst);
    EXPECT_EQ(sent, 2);
    EXPECT_FALSE(smtp.Connected());
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.error(), "");
    const std::vector<std::string> lines = server.lines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "QUIT"), 2);
}

// A connection begun ahead is the one SendMail uses, with the dialogue
// unchanged; a refusal is reported by SendMail as without it; and one begun
// for another server is dropped for the current one.
TEST_F(NetSmtpTest, ConnectionBegunAheadServesTheNextSendOnlyForItsServer)
{
    const auto oneMail = [&](ScriptedServer& server) {
        greet(server);
        server.reply("250 ok").reply("250 ok").reply("354 go").readData().send("250 queued\r\n").reply("221 bye");
    };
    ScriptedServer server;
    oneMail(server);
    server.start();
    smtp.SetServer(server.address());
    smtp.ConnectAhead();
    EXPECT_TRUE(smtp.Connected());
    smtp.SendMail();
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.error(), "");
    EXPECT_EQ(server.lines().size(), 5u);
    EXPECT_EQ(server.blocks().size(), 1u);

    std::uint16_t closedPort = 0;
    {
        ScriptedServer gone;
        closedPort = gone.port();
    }
    const std::string refused = "127.0.0.1:" + std::to_string(closedPort);
    smtp.SetServer(refused);
    std::string plainError;
    try {
        smtp.SendMail();
    } catch (const ESocketError& error) {
        plainError = error.what();
    }
    ASSERT_FALSE(plainError.empty());
    EXPECT_NO_THROW(smtp.ConnectAhead());
    try {
        smtp.SendMail();
        FAIL() << "a refused connection passed";
    } catch (const ESocketError& error) {
        EXPECT_EQ(std::string(error.what()), plainError);
    }
    EXPECT_FALSE(smtp.Connected());

    ScriptedServer earlier;
    earlier.waitForClientClose();
    earlier.start();
    ScriptedServer current;
    oneMail(current);
    current.start();
    smtp.SetServer(earlier.address());
    smtp.ConnectAhead();
    smtp.SetServer(current.address());
    smtp.SendMail();
    ASSERT_TRUE(current.waitDone());
    EXPECT_EQ(current.error(), "");
    EXPECT_EQ(current.blocks().size(), 1u);
    ASSERT_TRUE(earlier.waitDone());
    EXPECT_TRUE(earlier.lines().empty());
}

}  // namespace
