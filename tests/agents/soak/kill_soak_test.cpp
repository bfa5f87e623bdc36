// Both processors on their timers on one data folder, each killed (SIGKILL)
// every few seconds and started again, while mail arrives: one account
// that fetches and deletes, one agent that replies to every message. At
// the end nothing is left on the server or behind, nothing is lost or filed
// twice, every reply the server took has its one history row, and the log
// has a reply line for every message.
//
// Size by environment: TARSEL_SOAK_MESSAGES (default 40) delivered over
// TARSEL_SOAK_SECONDS (default 30), kills every TARSEL_SOAK_KILL_MIN to
// TARSEL_SOAK_KILL_MAX seconds (default 2 to 10).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "fixtures/processor_home.h"
#include "mail/message.h"
#include "platform/files.h"
#include "platform/rtf_reader.h"
#include "platform/stale_temps.h"
#include "store/table_layouts.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/scoped_env.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"

namespace agents_test {
namespace {

using Clock = std::chrono::steady_clock;

int setting(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

std::string subjectOf(int n) { return "soak " + std::to_string(n); }
// Each message has a sender of its own: its reply goes there.
std::string senderOf(int n) { return "ann+" + std::to_string(n) + "@example.org"; }
std::string idOf(int n) { return "<soak-" + std::to_string(n) + "@example.org>"; }
std::string fileOf(int n) { return "-soak-" + std::to_string(n) + "@example.org-.eml"; }

// Reply lines of the log per message: the log is newest first, and each
// reply line follows (is above) the line that began its message.
std::map<std::string, int> replyLinesPerFile(const std::string& log)
{
    std::map<std::string, int> lines;
    const platform::RichText text = platform::ReadRtf(log);
    std::string current;
    for (auto p = text.paragraphs.rbegin(); p != text.paragraphs.rend(); ++p) {
        const std::string line = p->PlainText();
        const auto processing = line.find(" -- Processing message ");
        if (processing != std::string::npos)
            current = line.substr(processing + 23);
        else if (line.find(" -- Agent Auto-Replying with ") != std::string::npos)
            ++lines[current];
    }
    return lines;
}

// A message of its own second, so no two share a received key.
std::string messageText(int n)
{
    char date[64];
    std::snprintf(date, sizeof date, "Tue, 08 Dec 2026 %02d:%02d:%02d +0100", 8 + n / 3600, (n / 60) % 60, n % 60);
    std::string text = "From: Ann Lee <" + senderOf(n) + ">\r\nTo: desk@example.org\r\nMessage-ID: " + idOf(n) +
                       "\r\nDate: " + date + "\r\nSubject: " + subjectOf(n) + "\r\n\r\n";
    for (int line = 0; line < 40; ++line)
        text += "body of " + subjectOf(n) + ", line " + std::to_string(line) + "\r\n";
    return text;
}

// One processor on its timer, killed at random moments and started again.
class KilledProgram {
public:
    KilledProgram(ProcessorHome& home, std::string program, std::mt19937& random, int minSeconds, int maxSeconds)
        : home_(home), program_(std::move(program)), random_(random), gap_(minSeconds * 1000, maxSeconds * 1000)
    {
        start();
    }

    void tick(bool killing)
    {
        if (killing && Clock::now() >= killAt_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            ++kills_;
            start();
        }
    }

    // Closes it the way the tray's Close does.
    bool close()
    {
        ::kill(pid_, SIGTERM);
        return home_.wait(pid_, std::chrono::seconds(120)).exited;
    }

    int kills() const { return kills_; }

private:
    void start()
    {
        pid_ = home_.start(program_, {});
        killAt_ = Clock::now() + std::chrono::milliseconds(gap_(random_));
    }

    ProcessorHome& home_;
    std::string program_;
    std::mt19937& random_;
    std::uniform_int_distribution<int> gap_;
    pid_t pid_ = -1;
    Clock::time_point killAt_;
    int kills_ = 0;
};

TEST(KillSoak, KilledProcessorsKeepEveryRuleAndLeaveNothingBehind)
{
    if (!test_support::DovecotServer::available() || !test_support::SmtpServer::available())
        GTEST_SKIP() << "dovecot or aiosmtpd is not installed";
    const int messages = setting("TARSEL_SOAK_MESSAGES", 40);
    const int seconds = setting("TARSEL_SOAK_SECONDS", 30);
    const int killMin = setting("TARSEL_SOAK_KILL_MIN", 2);
    const int killMax = setting("TARSEL_SOAK_KILL_MAX", 10);

    test_support::DovecotServer pop;
    test_support::SmtpServer smtp;
    ProcessorHome home;
    // The programs' temporary folder, to be found empty at the end.
    test_support::TempDir temp("soaktmp");
    test_support::TempDir runtime("soakrun");
    test_support::ScopedEnv tmpdir("TMPDIR", temp.path());
    test_support::ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.path());
    home.addAccount({"acct", "Desk", "desk@example.org", pop.address(), smtp.address()}, true);
    const std::string tpl = home.folder() + "/reply.eml";
    test_support::writeFile(tpl, "From: x@y\r\nSubject: Thanks\r\n\r\nNoted: <<REPLYHEADER~SUBJECT>>.\r\n");
    home.writeAgent("Replier", {{"Subject", "contains", "soak"}}, {{"AUTO-REPLY", tpl, ""}});
    home.attachAgent("acct", "Replier");

    std::mt19937 random(static_cast<unsigned>(setting("TARSEL_SOAK_SEED", 19)));
    const auto begin = Clock::now();
    KilledProgram postp(home, TARSEL_POSTP, random, killMin, killMax);
    KilledProgram posta(home, TARSEL_POSTA, random, killMin, killMax);
    int delivered = 0;
    while (Clock::now() - begin < std::chrono::seconds(seconds)) {
        const auto due = static_cast<int>(
            std::chrono::duration<double>(Clock::now() - begin).count() * messages / seconds) + 1;
        while (delivered < std::min(due, messages))
            pop.addMessage(messageText(delivered++));
        postp.tick(true);
        posta.tick(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    while (delivered < messages)
        pop.addMessage(messageText(delivered++));

    // No more kills: both finish what is there (bounded).
    const auto settleBy = Clock::now() + std::chrono::seconds(180);
    while (Clock::now() < settleBy &&
           (pop.messageCount() > 0 || !home.pendingFiles("acct").empty() ||
            home.receivedFiles("acct").size() < static_cast<std::size_t>(messages)))
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(postp.close());
    ASSERT_TRUE(posta.close());
    const double runSeconds = std::chrono::duration<double>(Clock::now() - begin).count();

    // Nothing on the server, nothing lost, nothing filed twice.
    EXPECT_EQ(pop.messageCount(), 0u);
    EXPECT_TRUE(home.pendingFiles("acct").empty());
    const std::vector<std::string> filed = home.receivedFiles("acct");
    EXPECT_EQ(filed.size(), static_cast<std::size_t>(messages));
    std::map<std::string, int> rowsPerFile;
    for (const auto& row : home.rows(store::kReceivedTable, {"FILENAME"}))
        ++rowsPerFile[row[0]];
    EXPECT_EQ(rowsPerFile.size(), static_cast<std::size_t>(messages));
    int filedTwice = 0;
    for (const auto& [name, rows] : rowsPerFile)
        filedTwice += rows > 1;
    EXPECT_EQ(filedTwice, 0);
    // Every copy exact.
    for (int n = 0; n < messages; ++n) {
        const std::string name = fileOf(n);
        TmsMessage copy;
        ASSERT_NO_THROW(copy.LoadFromFile(home.receivedFolder("acct") + name)) << name;
        EXPECT_EQ(copy.Subject(), subjectOf(n));
        EXPECT_EQ(copy.Body().size(), 40u) << name;
        EXPECT_EQ(copy.Attachments().Count(), 0) << name;
    }

    // One history row per reply the server took.
    std::map<std::string, int> accepted;
    for (const auto& message : smtp.messages()) {
        ASSERT_EQ(message.recipients.size(), 1u);
        ++accepted[message.recipients[0]];
    }
    std::map<std::string, int> recorded;
    for (const auto& row : home.rows(store::kActionsTable, {"MESSAGE_ID", "ACTION"})) {
        EXPECT_EQ(row[1], "AutoReply Generated, SUBJECT: Thanks");
        ++recorded[row[0]];
    }
    // A kill after the server stored a reply but before its "250" reached
    // posta leaves a reply posta cannot know of: it sends again and records
    // the one it saw taken. Otherwise every accepted reply has its row.
    int repliedTwice = 0;
    int unseenAcceptances = 0;
    for (int n = 0; n < messages; ++n) {
        const int sent = accepted[senderOf(n)];
        const int rows = recorded[idOf(n)];
        EXPECT_GE(rows, 1) << subjectOf(n);
        EXPECT_LE(rows, sent) << subjectOf(n);
        repliedTwice += sent > 1;
        unseenAcceptances += sent - rows;
    }
    EXPECT_LE(unseenAcceptances, posta.kills());

    // No temporary file in In/, Pending/ or the temporary folder.
    for (const std::string& folder : {home.receivedFolder("acct"), home.pendingFolder("acct")})
        for (const std::string& name : platform::FindFiles(folder, ".*"))
            EXPECT_FALSE(platform::IsSiblingTempName(name)) << folder << name;
    EXPECT_TRUE(platform::FindFiles(temp.path(), "*").empty());

    // A reply line in the log for every message, the killed runs' included.
    const std::string log = home.log("agentproc.log");
    const std::map<std::string, int> replyLines = replyLinesPerFile(log);
    int missingLines = 0;
    for (int n = 0; n < messages; ++n)
        missingLines += replyLines.count(fileOf(n)) == 0;
    EXPECT_EQ(missingLines, 0);
    int replyLineCount = 0;
    for (const auto& [file, lines] : replyLines)
        replyLineCount += lines;

    std::printf("kill soak: %d messages over %d s, run %.0f s; postp killed %d times, posta %d times;\n"
                "  %zu replies accepted, %d messages answered twice (%d acceptances posta never saw), %d filed twice,\n"
                "  %zu left on the server,\n"
                "  %d messages without a reply line in agentproc.log (%d reply lines)\n",
                messages, seconds, runSeconds, postp.kills(), posta.kills(), smtp.messageCount(), repliedTwice,
                unseenAcceptances, filedTwice, pop.messageCount(), missingLines, replyLineCount);
}

}  // namespace
}  // namespace agents_test
