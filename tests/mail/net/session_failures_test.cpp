// Where a POP3 or SMTP session failed: a time-out, a refusal and a dropped
// connection at every step of a session keep their own text and name the
// server and the step after " -- ", so a user can tell what to mend. A
// password is never named.

#include "mail/message.h"
#include "mail/net/net_errors.h"
#include "mail/net/pop3_client.h"
#include "mail/net/smtp_client.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>

using test_support::ScriptedServer;

namespace {

// How the server lets the client down at the failing step.
enum class Fault {
    Silent,        // says nothing more: the client's wait runs out
    Refuses,       // answers negatively
    Drops,         // closes the connection
    SilentInData,  // begins a data block and stops
    DropsInData,   // begins a data block and closes
};

// One step of a session: the line the client sends (empty: none, the server
// speaks first) and the server's whole answer.
struct Exchange {
    std::string command;
    std::string answer;
    bool data = false;  // the client sends a message block, not a line
};

struct SessionCase {
    std::string name;
    std::size_t step;      // the exchange that fails
    Fault fault;
};

// Test lists show the case by its name.
void PrintTo(const SessionCase& c, std::ostream* out) { *out << c.name; }

// Plays the exchanges before `step` as a good server would, then fails it.
void script(ScriptedServer& server, const std::vector<Exchange>& session, const SessionCase& failure,
            const std::string& refusal)
{
    for (std::size_t i = 0; i < failure.step; ++i) {
        const Exchange& e = session[i];
        if (e.data)
            server.readData();
        else if (!e.command.empty())
            server.expectLine();
        server.send(e.answer);
    }
    const Exchange& failing = session[failure.step];
    if (failing.data)
        server.readData();
    else if (!failing.command.empty())
        server.expectLine();
    switch (failure.fault) {
    case Fault::Silent:
        break;
    case Fault::Refuses:
        server.send(refusal + "\r\n");
        // The SMTP client tries a bare HELO after a refused one.
        if (failing.command.rfind("HELO", 0) == 0)
            server.expectLine().send(refusal + "\r\n");
        break;
    case Fault::Drops:
        server.closeConnection();
        return;
    case Fault::SilentInData:
        server.send("+OK\r\nSubject: cut short\r\n");
        break;
    case Fault::DropsInData:
        server.send("+OK\r\nSubject: cut short\r\n").closeConnection();
        return;
    }
    server.waitForClientClose();
}

// What the text must say after the server's name.
std::string stepText(const Exchange& failing, Fault fault, const std::string& shown)
{
    const bool greeting = failing.command.empty() && !failing.data;
    switch (fault) {
    case Fault::Refuses:
        return greeting ? "in its greeting" : "in its answer to " + shown;
    case Fault::SilentInData:
    case Fault::DropsInData:
        return "receiving its answer to " + shown;
    default:
        return greeting ? "waiting for its greeting" : "waiting for its answer to " + shown;
    }
}

std::string faultText(Fault fault, const std::string& refusal)
{
    switch (fault) {
    case Fault::Silent:
    case Fault::SilentInData:
        return "Operation timed out";
    case Fault::Refuses:
        return refusal;
    default:
        return "[10054] Connection reset by peer";
    }
}

// The exception's text, after checking its kind fits the fault.
std::string failureOf(const std::function<void()>& session, Fault fault)
{
    try {
        session();
    } catch (const ETimedOutError& error) {
        EXPECT_TRUE(fault == Fault::Silent || fault == Fault::SilentInData) << error.what();
        return error.what();
    } catch (const EServerError& error) {
        EXPECT_EQ(fault, Fault::Refuses) << error.what();
        return error.what();
    } catch (const ESocketError& error) {
        EXPECT_TRUE(fault == Fault::Drops || fault == Fault::DropsInData) << error.what();
        return error.what();
    }
    return "the session went through";
}

const std::string kHeaders = "Message-ID: <a@example.com>\r\nSubject: one\r\n";

const std::vector<Exchange>& popSession()
{
    static const std::vector<Exchange> session{
        {"", "+OK ready\r\n"},
        {"USER tester", "+OK\r\n"},
        {"PASS secret", "+OK\r\n"},
        {"STAT", "+OK 1 100\r\n"},
        {"LIST 1", "+OK 1 100\r\n"},                                       // 4
        {"TOP 1 1", "+OK\r\n" + kHeaders + "\r\nbody\r\n.\r\n"},          // 5
        {"LIST 1", "+OK 1 100\r\n"},                                       // checked again before RETR
        {"TOP 1 1", "+OK\r\n" + kHeaders + "\r\nbody\r\n.\r\n"},
        {"LIST 1", "+OK 1 100\r\n"},
        {"RETR 1", "+OK\r\n" + kHeaders + "\r\nbody\r\n.\r\n"},           // 9
        {"LIST 1", "+OK 1 100\r\n"},                                       // and before DELE
        {"TOP 1 1", "+OK\r\n" + kHeaders + "\r\nbody\r\n.\r\n"},
        {"DELE 1", "+OK\r\n"},                                             // 12
        {"QUIT", "+OK bye\r\n"},                                           // 13
    };
    return session;
}

std::vector<SessionCase> everyStepEveryFault(const std::vector<std::pair<const char*, std::size_t>>& steps)
{
    std::vector<SessionCase> cases;
    for (const auto& [step, index] : steps)
        for (const auto& [fault, what] : {std::pair{Fault::Silent, "Silent"}, std::pair{Fault::Refuses, "Refused"},
                                          std::pair{Fault::Drops, "Dropped"}})
            cases.push_back({std::string(step) + what, index, fault});
    return cases;
}

std::vector<SessionCase> popCases()
{
    std::vector<SessionCase> cases = everyStepEveryFault({{"Greeting", 0}, {"User", 1}, {"Pass", 2}, {"Stat", 3},
                                                          {"List", 4}, {"Top", 5}, {"Retr", 9}, {"Dele", 12},
                                                          {"Quit", 13}});
    cases.push_back({"TopDataSilent", 5, Fault::SilentInData});
    cases.push_back({"TopDataDropped", 5, Fault::DropsInData});
    cases.push_back({"RetrDataSilent", 9, Fault::SilentInData});
    cases.push_back({"RetrDataDropped", 9, Fault::DropsInData});
    return cases;
}

class Pop3SessionFailure : public ::testing::TestWithParam<SessionCase> {};

INSTANTIATE_TEST_SUITE_P(Steps, Pop3SessionFailure, ::testing::ValuesIn(popCases()),
                         [](const auto& info) { return info.param.name; });

TEST_P(Pop3SessionFailure, NamesTheServerAndTheStep)
{
    const SessionCase& failure = GetParam();
    ScriptedServer server;
    script(server, popSession(), failure, "-ERR not now");
    server.start();
    TmsRemotePOP pop;
    pop.SetWinsockLoaded(true);
    pop.SetServer(server.address());
    pop.UserName = "tester";
    pop.Password = "secret";
    pop.SetTimeOut(1);
    pop.KeepConnected = true;
    pop.OnUserMessageSave = [](TagSocket&, int, std::stringstream&) {};
    const std::string text = failureOf(
        [&] {
            pop.UpdateInfo();
            pop.MarkForRetrieve(0);
            pop.MarkForDelete(0);
            pop.TransferData();
        },
        failure.fault);

    const Exchange& failing = popSession()[failure.step];
    const std::string shown = failing.command == "PASS secret" ? "PASS" : failing.command;
    EXPECT_EQ(text, faultText(failure.fault, "-ERR not now") + " -- POP3 server " + server.address() + ", " +
                        stepText(failing, failure.fault, shown));
}

const std::vector<Exchange>& smtpSession()
{
    static const std::vector<Exchange> session{
        {"", "220 ready\r\n"},
        {"HELO", "250 hello\r\n"},
        {"MAIL FROM:<sender@example.com>", "250 ok\r\n"},
        {"RCPT TO:<to@example.com>", "250 ok\r\n"},
        {"DATA", "354 go ahead\r\n"},
        {"the message", "250 queued\r\n", true},
        {"QUIT", "221 bye\r\n"},
    };
    return session;
}

class SmtpSessionFailure : public ::testing::TestWithParam<SessionCase> {};

INSTANTIATE_TEST_SUITE_P(Steps, SmtpSessionFailure,
                         ::testing::ValuesIn(everyStepEveryFault({{"Greeting", 0}, {"Helo", 1}, {"Mail", 2},
                                                                  {"Rcpt", 3}, {"Data", 4}, {"Message", 5},
                                                                  {"Quit", 6}})),
                         [](const auto& info) { return info.param.name; });

TEST_P(SmtpSessionFailure, NamesTheServerAndTheStep)
{
    const SessionCase& failure = GetParam();
    ScriptedServer server;
    script(server, smtpSession(), failure, "554 not now");
    server.start();
    TmsMessage message;
    message.Sender().SetAddress("sender@example.com");
    message.Recipients().AddAddress("to@example.com", "To");
    message.SetSubject("Test");
    message.Body() = {"Hello."};
    TmsSMTP smtp;
    smtp.SetWinsockLoaded(true);
    smtp.SetServer(server.address());
    smtp.SetTimeOut(1);
    smtp.SetMailMessage(&message);
    const std::string text = failureOf([&] { smtp.SendMail(); }, failure.fault);

    const Exchange& failing = smtpSession()[failure.step];
    // The first HELO carries the host name; only the bare one is refused.
    std::string shown = failing.command;
    if (shown == "HELO" && failure.fault != Fault::Refuses)
        shown += " " + smtp.LocalHostName();
    EXPECT_EQ(text, faultText(failure.fault, "554 not now") + " -- SMTP server " + server.address() + ", " +
                        stepText(failing, failure.fault, shown));
    EXPECT_FALSE(smtp.Connected());
}

// A port that nothing listens on.
std::uint16_t closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A server whose queue of connections waiting to be taken is full, so a
// further connection is never answered.
class FullListener {
public:
    FullListener()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 0);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        queued_ = ::socket(AF_INET, SOCK_STREAM, 0);
        ::connect(queued_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~FullListener()
    {
        ::close(queued_);
        ::close(listener_);
    }
    std::uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    int queued_ = -1;
    std::uint16_t port_ = 0;
};

TEST(SessionConnecting, ARefusedOrUnansweredConnectionNamesTheServer)
{
    const std::string refused = "127.0.0.1:" + std::to_string(closedPort());
    FullListener full;
    const std::string unanswered = "127.0.0.1:" + std::to_string(full.port());

    TmsRemotePOP pop;
    pop.SetWinsockLoaded(true);
    pop.UserName = "tester";
    pop.Password = "secret";
    pop.SetTimeOut(1);
    TmsMessage message;
    message.Sender().SetAddress("sender@example.com");
    message.Recipients().AddAddress("to@example.com", "To");
    TmsSMTP smtp;
    smtp.SetWinsockLoaded(true);
    smtp.SetTimeOut(1);
    smtp.SetMailMessage(&message);

    pop.SetServer(refused);
    EXPECT_EQ(failureOf([&] { pop.Connect(); }, Fault::Drops),
              "[10061] Connection refused -- POP3 server " + refused + ", connecting");
    smtp.SetServer(refused);
    EXPECT_EQ(failureOf([&] { smtp.SendMail(); }, Fault::Drops),
              "[10061] Connection refused -- SMTP server " + refused + ", connecting");
    pop.SetServer(unanswered);
    EXPECT_EQ(failureOf([&] { pop.Connect(); }, Fault::Silent),
              "Operation timed out -- POP3 server " + unanswered + ", connecting");
    smtp.SetServer(unanswered);
    EXPECT_EQ(failureOf([&] { smtp.SendMail(); }, Fault::Silent),
              "Operation timed out -- SMTP server " + unanswered + ", connecting");
}

// The client's own checks before any connection say nothing of a server.
TEST(SessionConnecting, ChecksBeforeConnectingKeepTheirTextAlone)
{
    TmsRemotePOP pop;
    pop.SetWinsockLoaded(true);
    pop.SetServer("127.0.0.1:110");
    pop.UserName = "tester";
    EXPECT_EQ(failureOf([&] { pop.Connect(); }, Fault::Drops), "Password property is required");
    pop.Password = "secret";
    pop.SetServer("127.0.0.1:70000");
    EXPECT_EQ(failureOf([&] { pop.Connect(); }, Fault::Drops), "[10022] Invalid argument");
}

}  // namespace
