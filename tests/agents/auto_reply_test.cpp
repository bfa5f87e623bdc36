// Automatic replies as mail servers and other responders take them: each
// reply is a new message (its own Date and Message-ID, read back by
// Python's e-mail parser, never the template's or the incoming mail's) and
// says it is automatic; and no reply goes to mail that is itself automatic
// (other auto-replies, notices, bounces, the real-world bounces of many
// mail servers), while the agent's other actions run and the mail is filed.
#include "fixtures/agent_fixture.h"

#include "tests/support/command_output.h"
#include "tests/support/mail_corpus.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"

#include <map>
#include <memory>
#include <sstream>

namespace agents_test {
namespace {

using store::AgentAction;
using test_support::SmtpServer;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string runPython(const std::string& script, const std::string& scriptFile, const std::string& argument)
{
    test_support::writeFile(scriptFile, script);
    using test_support::shellQuoted;
    return test_support::runCommand("/usr/bin/python3 " + shellQuoted(scriptFile) + " " + shellQuoted(argument)).output;
}

// "key value" lines of a Python report.
std::map<std::string, std::string> reportLines(const std::string& report)
{
    std::map<std::string, std::string> values;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        const auto blank = line.find(' ');
        values[line.substr(0, blank)] = blank == std::string::npos ? "" : line.substr(blank + 1);
    }
    return values;
}

// What Python's e-mail package (default policy) makes of a sent reply's
// own fields.
const char* const kReplyFields = R"(import sys, email, email.policy, email.utils, time
m = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=email.policy.default)
for name in ('Date', 'Message-ID', 'Auto-Submitted', 'X-TarselAuto-Reply'):
    print('count-' + name, len(m.get_all(name, [])))
d = m['Date']
print('date-defects', len(d.defects))
print('date-age', abs(int(time.time() - d.datetime.timestamp())) if d.datetime else 'none')
i = m['Message-ID']
print('id', str(i))
print('id-defects', len(i.defects))
print('auto-submitted', m['Auto-Submitted'])
print('x-reply', m['X-TarselAuto-Reply'])
)";

class AutoReply : public AgentFixture {
protected:
    void SetUp() override
    {
        if (!SmtpServer::available())
            GTEST_SKIP() << "aiosmtpd not available";
        smtp = std::make_unique<SmtpServer>();
        addAccount("acc1", smtp->address());
    }

    std::string writeTemplate(const std::string& text)
    {
        const std::string path = dir.path() + "/reply.eml";
        test_support::writeFile(path, text);
        return path;
    }

    // An agent that replies and then plays a sound, for every message.
    void replyAndPlay(const std::string& templatePath)
    {
        writeAgent("Agent", {Always()}, {{"AUTO-REPLY", templatePath, ""}, {"PLAY SOUND", "done.wav", ""}});
        attachAgent("acc1", "Agent");
    }

    std::map<std::string, std::string> pythonFields(const SmtpServer::Message& sent)
    {
        const std::string file = dir.path() + "/sent-" + std::to_string(++reads) + ".eml";
        test_support::writeFile(file, sent.data);
        return reportLines(runPython(kReplyFields, dir.path() + "/fields.py", file));
    }

    std::vector<std::string> rowsStartingWith(const std::string& prefix)
    {
        std::vector<std::string> found;
        for (const std::string& text : historyTexts())
            if (text.rfind(prefix, 0) == 0)
                found.push_back(text);
        return found;
    }

    std::unique_ptr<SmtpServer> smtp;
    int reads = 0;
};

const char* const kSimpleTemplate = "From: x@y\r\nSubject: Thanks\r\n\r\nDear <<REPLYHEADER~FROMNAME>>\r\n";

TEST_F(AutoReply, EachReplyIsANewMessageThatSaysItIsAutomatic)
{
    // A template saved from a received mail, with that mail's own fields.
    const std::string tpl = writeTemplate("From: x@y\r\nDate: Mon, 01 Jan 2001 10:00:00 +0000\r\n"
                                          "Message-ID: <old-template@example.net>\r\n"
                                          "Auto-Submitted: no\r\nSubject: Thanks\r\n\r\n"
                                          "Dear <<REPLYHEADER~FROMNAME>>\r\n");
    replyAndPlay(tpl);
    addPending("acc1", "a.eml", MailText("<in-a@example.org>", "First"));
    addPending("acc1", "b.eml", MailText("<in-b@example.org>", "Second"));
    pass->AgentsMain();
    ASSERT_TRUE(smtp->waitForMessages(2));

    std::vector<std::string> ids;
    for (const SmtpServer::Message& sent : smtp->messages()) {
        EXPECT_TRUE(has(sent.data, "Dear Ann Lee")) << sent.data;
        auto fields = pythonFields(sent);
        EXPECT_EQ(fields["count-Date"], "1") << sent.data;
        EXPECT_EQ(fields["count-Message-ID"], "1") << sent.data;
        EXPECT_EQ(fields["count-Auto-Submitted"], "1") << sent.data;
        EXPECT_EQ(fields["count-X-TarselAuto-Reply"], "1") << sent.data;
        EXPECT_EQ(fields["date-defects"], "0") << sent.data;
        ASSERT_NE(fields["date-age"], "none") << sent.data;
        EXPECT_LT(std::stoi(fields["date-age"]), 300) << sent.data;
        EXPECT_EQ(fields["id-defects"], "0") << sent.data;
        EXPECT_EQ(fields["auto-submitted"], "auto-replied");
        EXPECT_EQ(fields["x-reply"], "True");
        ids.push_back(fields["id"]);
    }
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_NE(ids[0], ids[1]);
    for (const std::string& id : ids) {
        EXPECT_TRUE(id.size() > 13 && id.substr(id.size() - 13) == "@example.org>") << id;
        EXPECT_NE(id, "<old-template@example.net>");
        EXPECT_NE(id, "<in-a@example.org>");
        EXPECT_NE(id, "<in-b@example.org>");
    }
    // The history still names the message answered.
    std::vector<std::string> answered;
    for (const HistoryRow& row : historyRows())
        if (row.action.rfind("AutoReply Generated", 0) == 0)
            answered.push_back(row.messageId);
    EXPECT_EQ(answered, (std::vector<std::string>{"<in-a@example.org>", "<in-b@example.org>"}));
}

// One mail of each automatic kind, and mail a person sent that only looks
// like it; each with its own sender, so a reply tells which it answered.
struct Kind {
    std::string name;
    std::string headers;  // From and the marks
    std::string mark;     // what the history row names; empty: a reply goes
};

std::string mailOf(const Kind& kind, int index)
{
    return kind.headers + "To: desk@example.org\r\nMessage-ID: <kind-" + std::to_string(index) +
           "@example.org>\r\nDate: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: Kind " + kind.name +
           "\r\n\r\nHello.\r\n";
}

TEST_F(AutoReply, AutomaticMailIsFiledWithItsOtherActionsButNoReply)
{
    const std::vector<Kind> kinds = {
        {"generated", "From: Ann <ann@example.org>\r\nAuto-Submitted: auto-generated\r\n",
         "Auto-Submitted: auto-generated"},
        {"replied", "From: Ann <ann@example.org>\r\nAuto-Submitted: Auto-Replied (vacation)\r\n",
         "Auto-Submitted: Auto-Replied (vacation)"},
        {"ours", "From: Other Desk <other@example.org>\r\nX-TarselAuto-Reply: True\r\n",
         "X-TarselAuto-Reply: True"},
        {"null path", "Return-Path: <>\r\nFrom: Ann <ann@example.org>\r\n", "Return-Path: <>"},
        {"daemon", "From: Mail Delivery Subsystem <MAILER-DAEMON@mx.example.net>\r\n",
         "From: Mail Delivery Subsystem <MAILER-DAEMON@mx.example.net>"},
        {"postmaster", "From: PostMaster@example.net\r\n", "From: PostMaster@example.net"},
        {"said no", "From: Bob <bob@example.org>\r\nAuto-Submitted: no\r\n", ""},
        {"plain", "Return-Path: <carol@example.org>\r\nFrom: Carol <carol@example.org>\r\n", ""},
    };
    replyAndPlay(writeTemplate(kSimpleTemplate));
    for (std::size_t i = 0; i < kinds.size(); ++i)
        addPending("acc1", "k" + std::to_string(i) + ".eml", mailOf(kinds[i], static_cast<int>(i)));
    pass->AgentsMain();

    ASSERT_TRUE(smtp->waitForMessages(2));
    std::vector<std::string> answered;
    for (const SmtpServer::Message& sent : smtp->messages())
        answered.insert(answered.end(), sent.recipients.begin(), sent.recipients.end());
    std::sort(answered.begin(), answered.end());
    EXPECT_EQ(answered, (std::vector<std::string>{"bob@example.org", "carol@example.org"}));

    std::map<std::string, std::string> notSent;
    for (const HistoryRow& row : historyRows())
        if (row.action.rfind("AutoReply Not Sent, automatic mail: ", 0) == 0)
            notSent[row.messageId] = row.action.substr(36);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const std::string id = "<kind-" + std::to_string(i) + "@example.org>";
        if (kinds[i].mark.empty()) {
            EXPECT_EQ(notSent.count(id), 0u) << kinds[i].name;
        } else {
            EXPECT_EQ(notSent[id], kinds[i].mark) << kinds[i].name;
            EXPECT_TRUE(host.logged("Agent not Auto-Replying to automatic mail, " + kinds[i].mark +
                                    " Subject: Kind " + kinds[i].name))
                << kinds[i].name;
        }
    }
    EXPECT_EQ(rowsStartingWith("AutoReply Generated").size(), 2u);
    // The sound after the reply played for every mail, and all are filed.
    EXPECT_EQ(host.sounds.size(), kinds.size());
    EXPECT_EQ(rowsStartingWith("Played Sound: done.wav").size(), kinds.size());
    EXPECT_EQ(receivedRows().size(), kinds.size());
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

// A reply made after a forward still judges the mail as it came, not as
// the forward left it (the forward puts the account in as its sender).
TEST_F(AutoReply, AForwardBeforeTheReplyDoesNotHideABounce)
{
    const std::string tpl = writeTemplate(kSimpleTemplate);
    writeAgent("Agent", {Always()}, {{"FORWARD TO", "boss@example.org", ""}, {"AUTO-REPLY", tpl, ""}});
    attachAgent("acc1", "Agent");
    addPending("acc1", "m.eml",
               "From: MAILER-DAEMON@mx.example.net\r\nTo: desk@example.org\r\nMessage-ID: <b@x>\r\n"
               "Subject: Undelivered Mail Returned to Sender\r\n\r\nSorry.\r\n");
    pass->AgentsMain();
    // Forward and redirect pass the mail on to a person: they still go.
    ASSERT_TRUE(smtp->waitForMessages(1));
    EXPECT_EQ(smtp->messages().at(0).recipients, std::vector<std::string>{"boss@example.org"});
    EXPECT_EQ(historyTexts(), (std::vector<std::string>{"Message Forwarded to: boss@example.org",
                                                        "AutoReply Not Sent, automatic mail: From: "
                                                        "MAILER-DAEMON@mx.example.net"}));
}

// The corpus mail as a mailbox holds it: without the "From " line that
// separates mail in an mbox file.
std::string asInAMailbox(const std::string& text)
{
    if (text.rfind("From ", 0) != 0)
        return text;
    const auto end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(end + 1);
}

// A bounce is sent from the null address (RFC 5321), and the server that
// delivers it writes that on top. The corpus was collected after mailing
// lists had passed the bounces on, with their return path rewritten, so
// here it is put back as it reaches a mailbox.
TEST_F(AutoReply, RealWorldBouncesAsDeliveredGetNoReply)
{
    const auto bounces = test_support::realWorldBounces();
    replyAndPlay(writeTemplate(kSimpleTemplate));
    for (const auto& bounce : bounces) {
        const std::string file = bounce.name.substr(bounce.name.find('/') + 1) + ".eml";
        addPending("acc1", file, "Return-Path: <>\r\n" + asInAMailbox(test_support::readFile(bounce.path)));
    }
    pass->AgentsMain();

    EXPECT_EQ(smtp->messageCount(), 0u);
    EXPECT_TRUE(rowsStartingWith("AutoReply Generated").empty());
    // Some say they are automatic before their return path does.
    EXPECT_EQ(rowsStartingWith("AutoReply Not Sent, automatic mail: ").size(), bounces.size());
    EXPECT_GE(rowsStartingWith("AutoReply Not Sent, automatic mail: Return-Path: <>").size(), bounces.size() - 10);
    EXPECT_EQ(host.sounds.size(), bounces.size());
    EXPECT_EQ(receivedRows().size(), bounces.size());
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

// Which corpus bounces show, as they lie, a mark of automatic mail: Python's
// own address parser reads their fields. One "name 0|1" line per file.
const char* const kCorpusMarks = R"(import sys, os, email, email.utils, re
def stripped(v):
    return re.sub(r'\([^()]*\)', '', v).strip()
def system(addr):
    local = addr.rsplit('@', 1)[0].strip('"').lower()
    return local in ('mailer-daemon', 'postmaster')
folder = sys.argv[1]
for name in sorted(os.listdir(folder)):
    raw = open(os.path.join(folder, name), 'rb').read()
    m = email.message_from_bytes(raw)
    marked = False
    a = stripped(str(m.get('Auto-Submitted', ''))).split(';')[0].strip().lower()
    marked |= a not in ('', 'no')
    marked |= str(m.get('X-TarselAuto-Reply', '')).strip().lower() == 'true'
    rp = m.get('Return-Path')
    if rp is not None:
        addr = email.utils.parseaddr(str(rp))[1]
        marked |= (addr == '' and '<' in str(rp)) or system(addr)
    f = m.get('From')
    if f is not None and str(f).strip():
        addr = email.utils.parseaddr(str(f))[1]
        marked |= addr == '' or system(addr)
    print(name, int(marked))
)";

TEST_F(AutoReply, RealWorldBouncesThatShowTheirMarkGetNoReply)
{
    test_support::TempDir corpus("corpus");
    for (const auto& bounce : test_support::realWorldBounces())
        test_support::writeFile(corpus.file(bounce.name.substr(bounce.name.find('/') + 1)),
                                asInAMailbox(test_support::readFile(bounce.path)));
    const auto marks = reportLines(runPython(kCorpusMarks, dir.path() + "/marks.py", corpus.path()));
    replyAndPlay(writeTemplate(kSimpleTemplate));

    std::size_t marked = 0;
    for (const auto& [name, mark] : marks) {
        ASSERT_TRUE(mark == "0" || mark == "1") << name << " " << mark;
        if (mark != "1")
            continue;
        ++marked;
        const std::size_t before = historyRows().size();
        addPending("acc1", name + ".eml", test_support::readFile(corpus.file(name)));
        pass->AgentsMain();
        const std::vector<std::string> texts = historyTexts();
        ASSERT_EQ(texts.size(), before + 2) << name;
        EXPECT_EQ(texts[before].rfind("AutoReply Not Sent, automatic mail: ", 0), 0u) << name << ": " << texts[before];
        EXPECT_EQ(texts[before + 1], "Played Sound: done.wav") << name;
    }
    // Most bounces say what they are: the test is not vacuous.
    EXPECT_GE(marked, 100u);
    EXPECT_EQ(smtp->messageCount(), 0u);
    EXPECT_EQ(receivedRows().size(), marked);
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

}  // namespace
}  // namespace agents_test
