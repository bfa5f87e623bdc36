// What a firing agent does: replies, forwards and redirects that reach a
// real SMTP server, programs, sounds, delays, and the history rows that
// record them; and that a refused or broken send leaves the message filed.
#include "fixtures/agent_fixture.h"

#include "platform/datetime.h"
#include "platform/files.h"
#include "platform/process.h"
#include "retriever/core/message_keys.h"
#include "store/folder_tree.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scoped_event_pump.h"
#include "tests/support/scripted_server.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <thread>

namespace agents_test {
namespace {

using store::AgentAction;
using test_support::SmtpServer;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The body of a received message: after the first empty line.
std::vector<std::string> bodyLines(const std::string& data)
{
    const auto start = data.find("\r\n\r\n");
    std::vector<std::string> lines;
    std::string rest = start == std::string::npos ? "" : data.substr(start + 4);
    for (std::size_t pos = 0; pos < rest.size();) {
        const auto end = rest.find("\r\n", pos);
        lines.push_back(rest.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        pos = end == std::string::npos ? rest.size() : end + 2;
    }
    return lines;
}

class AgentActionsTest : public AgentFixture {
protected:
    void SetUp() override
    {
        if (!SmtpServer::available())
            GTEST_SKIP() << "aiosmtpd not available";
        smtp = std::make_unique<SmtpServer>(std::vector<std::string>{"refused@example.org"});
        addAccount("acc1", smtp->address());
    }

    std::string writeTemplate(const std::string& name, const std::string& headers, const std::string& body)
    {
        const std::string path = dir.path() + "/" + name;
        test_support::writeFile(path, "From: x@y\r\n" + headers + "\r\n" + body);
        return path;
    }

    void runAgent(const std::vector<AgentAction>& actions, const std::string& mail)
    {
        writeAgent("Agent", {Always()}, actions);
        agentId = attachAgent("acc1", "Agent");
        addPending("acc1", "m.eml", mail);
        pass->AgentsMain();
    }

    std::unique_ptr<SmtpServer> smtp;
    std::string agentId;
};

TEST_F(AgentActionsTest, AutoReplyGoesToTheSenderWithCodesExpanded)
{
    const std::string tpl =
        writeTemplate("reply.eml", "Subject: Thanks for writing\r\n", "Dear <<REPLYHEADER~FROMNAME>>,\r\nok\r\n");
    runAgent({{"AUTO-REPLY", tpl, ""}}, MailText("<in-1@x>", "Question"));

    ASSERT_TRUE(smtp->waitForMessages(1));
    const auto sent = smtp->messages().at(0);
    EXPECT_EQ(sent.mailFrom, "desk@example.org");
    EXPECT_EQ(sent.recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_TRUE(has(sent.data, "X-TarselAuto-Reply: True\r\n"));
    EXPECT_TRUE(has(sent.data, "Dear Ann Lee,"));
    EXPECT_TRUE(host.logged("Agent Auto-Replying with Thanks for writing"));

    const auto rows = historyRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].action, "AutoReply Generated, SUBJECT: Thanks for writing");
    EXPECT_EQ(rows[0].messageId, "<in-1@x>");
    EXPECT_EQ(rows[0].nodeId, "acc1");
    EXPECT_EQ(rows[0].agentId, agentId);
    EXPECT_EQ(rows[0].uniqueId.size(), 20u);
    EXPECT_EQ(rows[0].uniqueId.substr(14), "AutoRe");
    EXPECT_EQ(rows[0].createOn, platform::FormatDateTime("mm/dd/yy", platform::Now()));
    EXPECT_EQ(rows[0].createAt.size(), 5u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

// The pass keeps an agent file and a template it has read while they stay
// as they were: a settled file rewritten later (same size, in place) is
// read again, and so is a fresh one rewritten within the same time step.
TEST_F(AgentActionsTest, ChangedAgentFilesAndTemplatesAreReadAgain)
{
    const auto age = [](const std::string& path) {
        const timespec old[2] = {{std::time(nullptr) - 60, 0}, {std::time(nullptr) - 60, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    };
    const std::string tpl = writeTemplate("reply.eml", "Subject: First AAAA\r\n", "one\r\n");
    age(tpl);
    writeAgent("Agent", {Always()}, {{"AUTO-REPLY", tpl, ""}});
    age(store::AgentFilePath(agentsFolder, "Agent"));
    agentId = attachAgent("acc1", "Agent");
    addPending("acc1", "a.eml", MailText("<a@x>", "Question"));
    pass->AgentsMain();

    // Rewritten in place with the same size: only the times tell.
    test_support::writeFile(tpl, "From: x@y\r\nSubject: First BBBB\r\n\r\none\r\n");
    addPending("acc1", "b.eml", MailText("<b@x>", "Question"));
    pass->AgentsMain();
    // A fresh template, changed again at once.
    test_support::writeFile(tpl, "From: x@y\r\nSubject: First CCCC\r\n\r\none\r\n");
    addPending("acc1", "c.eml", MailText("<c@x>", "Question"));
    pass->AgentsMain();
    // The agent file changed: its new action runs.
    writeAgent("Agent", {Always()}, {{"RUN AN TARSELSCRIPT", "x.tss", ""}});
    addPending("acc1", "d.eml", MailText("<d@x>", "Question"));
    pass->AgentsMain();

    EXPECT_EQ(historyTexts(), (std::vector<std::string>{"AutoReply Generated, SUBJECT: First AAAA",
                                                        "AutoReply Generated, SUBJECT: First BBBB",
                                                        "AutoReply Generated, SUBJECT: First CCCC",
                                                        "Ran tarsel-Script: x.tss"}));
}

TEST_F(AgentActionsTest, ReplyFieldInToLineRedirectsTheReply)
{
    const std::string tpl = writeTemplate("reply.eml", "To: <<REPLYFIELD~EMAIL>>\r\nSubject: Copy\r\n", "Here.\r\n");
    runAgent({{"AUTO-REPLY", tpl, ""}},
             MailText("<in-2@x>", "Form", {"NAME=Ann", "EMAIL=other@example.org"}));
    ASSERT_TRUE(smtp->waitForMessages(1));
    EXPECT_EQ(smtp->messages().at(0).recipients, std::vector<std::string>{"other@example.org"});
}

TEST_F(AgentActionsTest, MissingTemplateSkipsTheRestAndFilesTheMessage)
{
    runAgent({{"AUTO-REPLY", dir.path() + "/none.eml", ""}, {"PLAY SOUND", "x.wav", ""}},
             MailText("<in-3@x>", "s"));
    EXPECT_EQ(host.beeps, 1);
    EXPECT_TRUE(host.logged("Unable to load outgoing mail message for auto-reply -- " + dir.path() + "/none.eml"));
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_TRUE(historyTexts().empty());
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

TEST_F(AgentActionsTest, ForwardThenReply)
{
    const std::string tpl = writeTemplate("reply.eml", "Subject: Got it\r\n", "Hi <<REPLYHEADER~FROMNAME>>\r\n");
    runAgent({{"FORWARD TO", "boss@example.org", "Please look"}, {"AUTO-REPLY", tpl, ""}},
             MailText("<in-4@x>", "Invoice", {"Amount due."}, "Cc: carol@example.org\r\n"));

    ASSERT_TRUE(smtp->waitForMessages(2));
    const auto forward = smtp->messages().at(0);
    EXPECT_EQ(forward.mailFrom, "desk@example.org");
    // Only the given address: the incoming copy list is not sent to.
    EXPECT_EQ(forward.recipients, std::vector<std::string>{"boss@example.org"});
    EXPECT_TRUE(has(forward.data, "X-TarselForward: True\r\n"));
    const auto lines = bodyLines(forward.data);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Forwarded Message:  Originally from: Ann Lee ann@example.org");
    EXPECT_EQ(lines[1], std::string(50, '-'));
    EXPECT_EQ(lines[2], "Please look");
    EXPECT_EQ(lines[3], "Amount due.");

    // The reply answers the original sender, as the pending file has it.
    const auto reply = smtp->messages().at(1);
    EXPECT_EQ(reply.recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_TRUE(has(reply.data, "Hi Ann Lee"));
    EXPECT_FALSE(has(reply.data, "Forwarded Message"));
    EXPECT_EQ(historyTexts(), (std::vector<std::string>{"Message Forwarded to: boss@example.org",
                                                        "AutoReply Generated, SUBJECT: Got it"}));
    EXPECT_TRUE(host.logged("Agent Forwarding Invoice"));
}

TEST_F(AgentActionsTest, SecondForwardCarriesThePrefixTwice)
{
    runAgent({{"FORWARD TO", "a@example.org", ""}, {"FORWARD TO", "b@example.org", ""}},
             MailText("<in-5@x>", "Twice"));
    ASSERT_TRUE(smtp->waitForMessages(2));
    const auto lines = bodyLines(smtp->messages().at(1).data);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Forwarded Message:  Originally from: Help Desk desk@example.org");
    EXPECT_EQ(lines[1], std::string(50, '-'));
    EXPECT_EQ(lines[2], "Forwarded Message:  Originally from: Ann Lee ann@example.org");
    EXPECT_EQ(lines[3], std::string(50, '-'));
    EXPECT_EQ(smtp->messages().at(1).recipients, std::vector<std::string>{"b@example.org"});
}

// A later agent sees the message as the pending file holds it, not as an
// earlier agent's forward left it.
TEST_F(AgentActionsTest, EachAgentStartsFromThePendingFile)
{
    writeAgent("First", {Always()}, {{"FORWARD TO", "a@example.org", ""}});
    writeAgent("Second", {Always()}, {{"FORWARD TO", "b@example.org", ""}});
    attachAgent("acc1", "First");
    attachAgent("acc1", "Second");
    addPending("acc1", "m.eml", MailText("<in-10@x>", "Once"));
    pass->AgentsMain();
    ASSERT_TRUE(smtp->waitForMessages(2));
    const auto lines = bodyLines(smtp->messages().at(1).data);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Forwarded Message:  Originally from: Ann Lee ann@example.org");
    EXPECT_EQ(lines[2], "Hello there.");
}

TEST_F(AgentActionsTest, RedirectKeepsTheSenderAndSendsOnlyToTheAddress)
{
    runAgent({{"REDIRECT TO", "boss@example.org", ""}},
             MailText("<in-6@x>", "Lead", {"Call me."}, "Cc: carol@example.org\r\nBcc: dave@example.org\r\n"));
    ASSERT_TRUE(smtp->waitForMessages(1));
    const auto sent = smtp->messages().at(0);
    EXPECT_EQ(sent.mailFrom, "ann@example.org");
    EXPECT_EQ(sent.recipients, std::vector<std::string>{"boss@example.org"});
    EXPECT_TRUE(has(sent.data, "X-TarselRedirect: True\r\n"));
    const auto lines = bodyLines(sent.data);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Redirected Message:  Originally To: desk@example.org Help Desk");
    EXPECT_EQ(lines[2], "Call me.");
    EXPECT_EQ(historyTexts(), std::vector<std::string>{"Message Redirected to: boss@example.org"});
    EXPECT_TRUE(host.logged("Agent redirecting Lead"));
}

TEST_F(AgentActionsTest, RefusedSendIsLoggedAndTheNextActionFollows)
{
    runAgent({{"FORWARD TO", "refused@example.org", ""}, {"PLAY SOUND", "after.wav", ""}},
             MailText("<in-7@x>", "Nope"));
    EXPECT_TRUE(host.logged("ERROR -- Could not send outgoing mail 550 5.1.1 Recipient refused -- SMTP server " +
                            smtp->address() + ", in its answer to RCPT TO:<refused@example.org> Subject: Nope"));
    // No history row claims a forward that never left.
    EXPECT_EQ(historyTexts(), (std::vector<std::string>{"Played Sound: after.wav"}));
    EXPECT_EQ(receivedRows().size(), 1u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

TEST_F(AgentActionsTest, DelayAndItsFailure)
{
    runAgent({{"DELAY THE AGENT", "3", ""}, {"DELAY THE AGENT", "soon", ""}, {"PLAY SOUND", "x.wav", ""}},
             MailText("<in-8@x>", "s"));
    EXPECT_EQ(sleeps, std::vector<int>{3});
    EXPECT_EQ(historyTexts(), (std::vector<std::string>{"Agent Delayed for 3 seconds",
                                                        "FAILED to Delay for soon seconds"}));
    EXPECT_TRUE(host.sounds.empty());
}

TEST_F(AgentActionsTest, MessageWithoutMessageIdIsLaunchedAsBareEml)
{
    runAgent({{"LAUNCH PROGRAM", "viewer --new", ""}}, MailText("", "No id"));
    const std::string file = programFolder + "temp/.eml";
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].commandLine, "viewer --new");
    EXPECT_EQ(launches[0].args, std::vector<std::string>{file});
    EXPECT_TRUE(platform::FileExists(file));
    const auto rows = historyRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].messageId, "");
    EXPECT_EQ(rows[0].action, "Launched Program viewer --new " + file);
}

// The saved copy reaches the program as one argument, never read by a
// shell, whatever the Message-ID holds.
TEST_F(AgentActionsTest, LaunchedProgramGetsTheCopyAsOneArgument)
{
    pass->services.launch = [](const std::string& commandLine, const std::vector<std::string>& args) {
        return platform::StartProcess(commandLine, args);
    };
    const std::string out = dir.path() + "/out.eml";
    const std::string marker = dir.path() + "/pwned";
    const std::string id = "<a b;touch " + marker + ";$(touch " + marker + ")|x/../y@h>";
    // The copy appears under its name only once it is whole.
    runAgent({{"LAUNCH PROGRAM", "sh -c 'cp \"$0\" " + out + ".part && mv " + out + ".part " + out + "'", ""}},
             MailText(id, "Run"));

    const std::string file = programFolder + "temp/" + MakeSafeFileName(id) + ".eml";
    EXPECT_TRUE(platform::FileExists(file));
    for (int i = 0; i < 6000 && !platform::FileExists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test_support::readFile(out), test_support::readFile(file));
    EXPECT_FALSE(platform::FileExists(marker));
}

// A copy that cannot be saved or a program that cannot start is logged;
// the pass goes on and the message is filed, so its earlier actions are
// not repeated at the next pass.
TEST_F(AgentActionsTest, LaunchFailuresAreLoggedAndThePassGoesOn)
{
    pass->services.launch = [](const std::string& commandLine, const std::vector<std::string>& args) {
        return platform::StartProcess(commandLine, args);
    };
    writeAgent("Agent", {Always()},
               {{"PLAY SOUND", "first.wav", ""}, {"LAUNCH PROGRAM", dir.path() + "/no-such-program", ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "a.eml", MailText("<a@x>", "s"));
    pass->AgentsMain();
    EXPECT_TRUE(host.loggedContaining("no-such-program"));
    EXPECT_EQ(historyTexts().size(), 2u);

    // The program folder's "temp" is a file: no copy can be saved there.
    std::filesystem::remove_all(programFolder + "temp");
    test_support::writeFile(programFolder + "temp", "in the way");
    addPending("acc1", "b.eml", MailText("<b@x>", "s"));
    pass->AgentsMain();
    EXPECT_TRUE(host.loggedContaining("Program not launched: unable to save "));
    EXPECT_EQ(historyTexts().size(), 3u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
    EXPECT_EQ(host.sounds.size(), 2u);
}

// The history tells a program that did not start from one that did, with
// the reason; the log names the program.
TEST_F(AgentActionsTest, AProgramThatDidNotStartIsRecordedAsNotLaunched)
{
    pass->services.launch = [](const std::string& commandLine, const std::vector<std::string>& args) {
        return platform::StartProcess(commandLine, args);
    };
    const std::string tools = dir.path() + "/my tools";
    const std::string script = tools + "/launch.sh";
    const std::string out = dir.path() + "/launched";
    platform::ForceDirectories(tools);
    test_support::writeFile(script, "#!/bin/sh\ncp \"$2\" " + out + ".part && mv " + out + ".part " + out + "\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
    writeAgent("Agent", {Always()},
               {{"LAUNCH PROGRAM", script, ""},
                {"LAUNCH PROGRAM", "'" + script, ""},
                {"LAUNCH PROGRAM", "", ""},
                {"LAUNCH PROGRAM", platform::QuoteCommandWord(script) + " --view", ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "a.eml", MailText("<a@x>", "s"));
    pass->AgentsMain();

    const std::string file = programFolder + "temp/" + MakeSafeFileName("<a@x>") + ".eml";
    EXPECT_TRUE(host.logged("Unable to start " + dir.path() + "/my: No such file or directory"));
    EXPECT_TRUE(host.loggedContaining("Unable to start '" + script + ": Unterminated quote"));
    EXPECT_EQ(historyTexts(),
              (std::vector<std::string>{
                  "Program not launched: " + dir.path() + "/my: No such file or directory",
                  "Program not launched: '" + script + ": Unterminated quote in command line",
                  "Program not launched: the command line is empty",
                  "Launched Program '" + script + "' --view " + file}));
    for (int i = 0; i < 6000 && !platform::FileExists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test_support::readFile(out), test_support::readFile(file));
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

TEST_F(AgentActionsTest, OverlongCommandLineAndSoundNameAreSkipped)
{
    const std::string longCommand(250, 'c');
    const std::string longSound(256, 's');
    runAgent({{"LAUNCH PROGRAM", longCommand, ""}, {"PLAY SOUND", longSound, ""}, {"PLAY SOUND", "ok.wav", ""}},
             MailText("<in-9@x>", "s"));
    EXPECT_TRUE(launches.empty());
    EXPECT_TRUE(host.loggedContaining("longer than 255 characters"));
    EXPECT_EQ(host.sounds, std::vector<std::string>{"ok.wav"});
    EXPECT_EQ(historyTexts(), std::vector<std::string>{"Played Sound: ok.wav"});
}

TEST_F(AgentActionsTest, ScriptPrintAndCloseAreRecordedAndThePassRunsOn)
{
    writeAgent("Agent", {Always()},
               {{"RUN AN TARSELSCRIPT", "clean.tss", ""}, {"PRINT", "", ""}, {"CLOSE TARSEL", "", ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "a.eml", MailText("<a@x>", "s"));
    addPending("acc1", "b.eml", MailText("<b@x>", "s"));
    const TDateTime fixed = platform::EncodeDate(2026, 12, 9) + platform::EncodeTime(10, 11, 12);
    pass->services.now = [fixed] { return fixed; };
    pass->AgentsMain();
    EXPECT_EQ(host.closeRequests, 2);
    // Nothing makes identifiers unique: same second, same six characters.
    const auto rows = historyRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].uniqueId, "20261209101112Ran ta");
    EXPECT_EQ(rows[2].uniqueId, rows[0].uniqueId);
    EXPECT_EQ(historyTexts(), (std::vector<std::string>{"Ran tarsel-Script: clean.tss", "Close Tarsel",
                                                        "Ran tarsel-Script: clean.tss", "Close Tarsel"}));
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

TEST_F(AgentActionsTest, AgentThatDoesNotFireWritesNoHistory)
{
    writeAgent("Agent", {{"Subject", "contains", "urgent"}}, {{"PLAY SOUND", "x.wav", ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "a.eml", MailText("<a@x>", "routine"));
    pass->AgentsMain();
    EXPECT_TRUE(historyTexts().empty());
    EXPECT_EQ(host.triggers, std::vector<std::string>{"FALSE"});
    EXPECT_EQ(receivedRows().size(), 1u);
}

// A server that goes away in the middle of the data.
class AgentSendFaults : public AgentFixture {};

TEST_F(AgentSendFaults, ServerVanishingMidSendLeavesTheMessageFiled)
{
    test_support::ScriptedServer server;
    server.send("220 hello\r\n").reply("250 ok").reply("250 ok").reply("250 ok").reply("354 go on").closeConnection();
    server.start();

    addAccount("acc1", server.address());
    writeAgent("Agent", {Always()}, {{"FORWARD TO", "boss@example.org", ""}, {"PLAY SOUND", "x.wav", ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "m.eml", MailText("<m@x>", "Cut"));
    pass->AgentsMain();

    EXPECT_TRUE(host.loggedContaining("ERROR -- Could not send outgoing mail "));
    EXPECT_EQ(host.sounds, std::vector<std::string>{"x.wav"});
    EXPECT_EQ(receivedRows().size(), 1u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
    server.waitDone();
}

TEST_F(AgentSendFaults, ASilentServerIsNamedWithTheStepItWasWaitedForAndTheMessageIsFiled)
{
    test_support::ScriptedServer server;
    server.waitForClientClose();
    server.start();

    addAccount("acc1", server.address());
    writeAgent("Agent", {Always()}, {{"FORWARD TO", "boss@example.org", ""}, {"PLAY SOUND", "x.wav", ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "m.eml", MailText("<m@x>", "Quiet"));
    pass->agentSMTP().SetTimeOut(1);
    pass->AgentsMain();

    EXPECT_TRUE(host.logged("ERROR -- Could not send outgoing mail Operation timed out -- SMTP server " +
                            server.address() + ", waiting for its greeting Subject: Quiet"));
    EXPECT_EQ(host.sounds, std::vector<std::string>{"x.wav"});
    EXPECT_EQ(receivedRows().size(), 1u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
    EXPECT_TRUE(historyTexts().size() == 1u && historyTexts()[0] == "Played Sound: x.wav");
    server.waitDone();
}

// The outgoing mail's temporary file has no name while it is sent, so a
// kill in the middle of the exchange leaves nothing in the temporary folder.
TEST_F(AgentSendFaults, TheOutgoingMailsTemporaryFileHasNoNameWhileItIsSent)
{
    test_support::TempDir temp("tmp");
    test_support::ScopedEnv tmpdir("TMPDIR", temp.path());
    test_support::ScriptedServer server;
    server.send("220 hello\r\n").reply("250 ok").reply("250 ok").reply("250 ok").reply("354 go on").readData()
        .pause(std::chrono::milliseconds(300)).send("250 queued\r\n").reply("221 bye");
    server.start();
    addAccount("acc1", server.address());
    writeAgent("Agent", {Always()}, {{"FORWARD TO", "boss@example.org", ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "m.eml", MailText("<m@x>", "Nameless"));

    // The socket waits let events run: look at the folder while the server
    // holds the data and has not answered yet.
    std::size_t looks = 0;
    std::size_t named = 0;
    test_support::ScopedEventPump pump([&] {
        if (server.blocks().empty())
            return;
        ++looks;
        named += std::distance(std::filesystem::directory_iterator(temp.path()), {});
    });
    pass->AgentsMain();

    ASSERT_TRUE(server.waitDone()) << server.error();
    EXPECT_GT(looks, 0u);
    EXPECT_EQ(named, 0u);
    EXPECT_EQ(historyTexts(), std::vector<std::string>{"Message Forwarded to: boss@example.org"});
    EXPECT_EQ(server.blocks().size(), 1u);
}

}  // namespace
}  // namespace agents_test
