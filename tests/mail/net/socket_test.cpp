// The socket component against a scripted server: line and reply reading,
// data blocks, time-outs, refusals, and what may happen while a wait pumps.

#include "mail/net/net_errors.h"
#include "mail/net/tag_socket.h"
#include "tests/support/loopback.h"
#include "tests/support/scoped_event_pump.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

using namespace std::string_literals;
using test_support::ScopedEventPump;
using test_support::ScriptedServer;

namespace {

class TestSocket : public TagSocket {
public:
    explicit TestSocket(std::string service = "") { serviceName_ = std::move(service); }
};

class NetSocketTest : public ::testing::Test {
protected:
    void SetUp() override { socket.SetWinsockLoaded(true); }

    void connectTo(const ScriptedServer& server)
    {
        socket.SetServer(server.address());
        socket.Open();
        socket.Connect();
    }

    TestSocket socket;
};

TEST_F(NetSocketTest, LinesSplitAcrossReadsArriveWhole)
{
    ScriptedServer server;
    server.sendParts({"220 he", "llo th", "ere\r", "\n250 next\r\n"});
    server.start();
    connectTo(server);
    std::string line;
    EXPECT_EQ(socket.ReadLine(line), 220);
    EXPECT_EQ(line, "220 hello there");
    EXPECT_EQ(socket.ReadLine(line), 250);
    EXPECT_EQ(line, "250 next");
}

TEST_F(NetSocketTest, MultiLineReplyEndsOnlyAtItsOwnCodeWithBlank)
{
    ScriptedServer server;
    server.send("250-first\r\n251 other code, not the end\r\n250-more\r\n250 last line\r\n220 a-b\r\n");
    server.start();
    connectTo(server);
    EXPECT_EQ(socket.ReadReply(), 250);
    EXPECT_EQ(socket.LastReply(), "250 last line");
    EXPECT_EQ(socket.ReadReply(), 220);  // a dash later in the line is no continuation
    EXPECT_EQ(socket.LastReply(), "220 a-b");
}

TEST_F(NetSocketTest, LongReplyLinesAreReadWholeAndOverlongOnesRefused)
{
    std::string long1(1000, 'a');
    std::string huge(100 * 1024, 'b');
    ScriptedServer server;
    server.send("250 " + long1 + "\r\n").send("250 a\0b\xff\r\r\n"s).send("250 " + huge + "\r\n");
    server.start();
    connectTo(server);
    std::string line;
    EXPECT_EQ(socket.ReadLine(line), 250);
    EXPECT_EQ(line, "250 " + long1);
    EXPECT_EQ(socket.ReadLine(line), 250);
    EXPECT_EQ(line, "250 a\0b\xff"s);  // odd bytes kept, every trailing CR dropped
    EXPECT_THROW(socket.ReadLine(line), ESocketError);
}

TEST_F(NetSocketTest, EndlessMultiLineReplyIsRefused)
{
    std::string many;
    for (int i = 0; i < 3000; ++i)
        many += "250-" + std::string(40, 'x') + "\r\n";
    ScriptedServer server;
    server.send(many).waitForClientClose();
    server.start();
    connectTo(server);
    EXPECT_THROW(socket.ReadReply(), ESocketError);
}

TEST_F(NetSocketTest, LineCutOffByPeerCloseGivesMinusOneWithoutError)
{
    ScriptedServer server;
    server.send("250 partial").closeConnection();
    server.start();
    connectTo(server);
    std::string line = "old";
    EXPECT_EQ(socket.ReadLine(line), -1);
    EXPECT_EQ(line, "");
}

TEST_F(NetSocketTest, DataBlockTerminatorSplitAcrossReads)
{
    ScriptedServer server;
    server.sendParts({"line one\r\nline two\r\n.", "\r\n"});
    server.start();
    connectTo(server);
    std::ostringstream out;
    socket.ReceiveData(out, -1);
    EXPECT_EQ(out.str(), "line one\r\nline two\r\n");
}

TEST_F(NetSocketTest, EmptyDataBlockEndsAtOnceAndLeavesTheNextReply)
{
    ScriptedServer server;
    server.send(".\r\n+OK next\r\n");
    server.start();
    connectTo(server);
    std::ostringstream out;
    socket.ReceiveData(out, -1);
    EXPECT_EQ(out.str(), "");
    std::string line;
    socket.ReadLine(line);
    EXPECT_EQ(line, "+OK next");
}

TEST_F(NetSocketTest, DataBlockUnstuffsDotsAndBlanksZeroBytes)
{
    ScriptedServer server;
    server.send("..\r\n...two\r\n.x\r\nnul\0byte\r\nlast\r\n.\r\n"s);
    server.start();
    connectTo(server);
    std::ostringstream out;
    socket.ReceiveData(out, -1);
    EXPECT_EQ(out.str(), ".\r\n..two\r\nx\r\nnul byte\r\nlast\r\n");
}

TEST_F(NetSocketTest, DataBlockWithoutEndIsRefusedBeforeItFillsTheMemory)
{
    // A real message may be twice its announced size; a server that sends
    // without end is stopped once it passes the bound.
    EXPECT_EQ(TagSocket::MaxDataBytes(-1), TagSocket::MaxDataBytes(0));
    EXPECT_GE(TagSocket::MaxDataBytes(100'000'000), 200'000'000);
    const long long limit = TagSocket::MaxDataBytes(-1);
    std::string line(998, 'x');
    line += "\r\n";
    std::string flood;
    while (static_cast<long long>(flood.size()) <= limit + 1'000'000)
        flood += line;
    ScriptedServer server;
    server.send(std::move(flood)).waitForClientClose();
    server.start();
    connectTo(server);
    struct Discard : std::streambuf {
        int overflow(int c) override { return c; }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    } discard;
    std::ostream out(&discard);
    try {
        socket.ReceiveData(out, -1);
        FAIL() << "an endless data block was taken";
    } catch (const ESocketError& error) {
        EXPECT_EQ(std::string(error.what()), "[10040] Message too long");
    }
}

TEST_F(NetSocketTest, DataBlockCutOffByPeerCloseIsAnError)
{
    ScriptedServer server;
    server.send("From: a\r\n\r\nhalf a mess").closeConnection();
    server.start();
    connectTo(server);
    std::ostringstream out;
    EXPECT_THROW(socket.ReceiveData(out, -1), ESocketError);
}

TEST_F(NetSocketTest, DataBlockReportsProgressAgainstExpectedSize)
{
    ScriptedServer server;
    server.sendParts({std::string(100, 'x') + "\r\n", std::string(98, 'y') + "\r\n.\r\n"});
    server.start();
    connectTo(server);
    std::vector<std::pair<int, long long>> seen;
    socket.OnProgress = [&](TagSocket&, int perc, long long transferred) { seen.emplace_back(perc, transferred); };
    std::ostringstream out;
    socket.ReceiveData(out, 204);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), std::make_pair(0, 0LL));
    // However the bytes were split, each call reports what was stored before it.
    for (const auto& [perc, transferred] : seen) {
        EXPECT_TRUE(transferred == 0 || transferred == 102) << transferred;
        EXPECT_EQ(perc, transferred == 0 ? 0 : 50);
    }
    EXPECT_EQ(out.str().size(), 202u);
}

TEST_F(NetSocketTest, SilentServerTimesOutAndClosesTheSocket)
{
    ScriptedServer server;
    server.waitForClientClose();
    server.start();
    socket.SetTimeOut(1);
    connectTo(server);
    std::string errorText;
    socket.OnError = [&](TagSocket&, std::string& msg) { errorText = msg; };
    std::string line;
    EXPECT_THROW(socket.ReadLine(line), ETimedOutError);
    EXPECT_EQ(errorText, "Operation timed out");
    EXPECT_FALSE(socket.Connected());
    EXPECT_TRUE(server.waitDone());
    EXPECT_TRUE(server.clientClosed());
}

// A peer that stops sending in the middle of a data block, or stops reading
// while the client sends, must not hold the program past its TimeOut.
TEST_F(NetSocketTest, StalledDataBlockAndStalledSendingTimeOut)
{
    ScriptedServer stalledBlock;
    stalledBlock.send("From: a\r\n\r\nfirst half\r\n").waitForClientClose();
    stalledBlock.start();
    socket.SetTimeOut(1);
    connectTo(stalledBlock);
    std::ostringstream out;
    EXPECT_THROW(socket.ReceiveData(out, -1), ETimedOutError);
    EXPECT_FALSE(socket.Connected());
    EXPECT_TRUE(stalledBlock.waitDone());
    EXPECT_TRUE(stalledBlock.clientClosed());

    ScriptedServer notReading;
    notReading.pause(std::chrono::seconds(30));  // ended by the server's destructor
    notReading.start();
    socket.Reset();
    connectTo(notReading);
    // More than the loopback buffers of both ends can hold.
    std::istringstream stream(std::string(24 * 1024 * 1024, 'x'));
    EXPECT_THROW(socket.SendStream(stream), ETimedOutError);
    EXPECT_FALSE(socket.Connected());
}

TEST_F(NetSocketTest, CancelFromThePumpEndsDataAndSendWaits)
{
    ScriptedServer stalledBlock;
    stalledBlock.send("From: a\r\n\r\nfirst half\r\n").waitForClientClose();
    stalledBlock.start();
    connectTo(stalledBlock);
    int pumped = 0;
    ScopedEventPump pump([&] {
        if (++pumped == 5)
            socket.Cancel();
    });
    std::ostringstream out;
    EXPECT_THROW(socket.ReceiveData(out, -1), ECanceledError);
    EXPECT_FALSE(socket.Connected());
    EXPECT_TRUE(stalledBlock.waitDone());

    ScriptedServer notReading;
    notReading.pause(std::chrono::seconds(30));
    notReading.start();
    socket.Reset();
    pumped = 0;
    connectTo(notReading);
    std::istringstream stream(std::string(24 * 1024 * 1024, 'x'));
    EXPECT_THROW(socket.SendStream(stream), ECanceledError);
    EXPECT_FALSE(socket.Connected());
}

TEST_F(NetSocketTest, RefusedConnectionIsReportedAsRefusedAtOnce)
{
    socket.SetTimeOut(30);
    socket.SetServer(test_support::refusedLoopbackAddress());
    socket.Open();
    // A refusal that waited for the countdown would end as ETimedOutError.
    try {
        socket.Connect();
        FAIL() << "connected to a closed port";
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "[10061] Connection refused");
    }
}

TEST_F(NetSocketTest, PortOutOfRangeIsAnErrorNotWrapped)
{
    for (const char* server : {"127.0.0.1:65646", "127.0.0.1:-1", "127.0.0.1:99999999999"}) {
        socket.SetServer(server);
        EXPECT_THROW(socket.Open(), ESocketError) << server;
        EXPECT_FALSE(socket.Connected());
    }
}

TEST_F(NetSocketTest, PortComesFromServerThenServiceThenDefault)
{
    TestSocket noService;  // no service name: a lookup would fail
    noService.SetWinsockLoaded(true);
    noService.SetServer("127.0.0.1:2110");
    noService.Open();
    EXPECT_EQ(noService.Port(), 2110);

    TestSocket pop("pop3");
    TestSocket unknown("no-such-service-here");
    unknown.SetDefaultPort(4321);
    pop.SetWinsockLoaded(true);
    for (const char* server : {"127.0.0.1:0", "127.0.0.1:x", "127.0.0.1"}) {
        pop.SetServer(server);
        pop.Open();
        EXPECT_EQ(pop.Port(), 110) << server;
        unknown.SetServer(server);
        unknown.Open();
        EXPECT_EQ(unknown.Port(), 4321) << server;
    }
    TestSocket none;
    none.SetWinsockLoaded(true);
    none.SetServer("127.0.0.1:0");
    try {
        none.Open();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "Service name is required");
    }
}

TEST_F(NetSocketTest, HostNamesAreResolvedAndUnknownOnesReported)
{
    socket.SetServer("localhost:25");
    socket.Open();
    EXPECT_EQ(socket.HostAddress(), "127.0.0.1");
    socket.SetTimeOut(10);
    socket.SetServer("no-such-host.invalid:25");
    EXPECT_THROW(socket.Open(), mail::EMailError);  // not found, or no answer in time
    EXPECT_FALSE(socket.Connected());
}

TEST_F(NetSocketTest, CancelDuringHostLookupLeavesTheLookupBehind)
{
    ScopedEventPump pump([&] { socket.Cancel(); });
    socket.SetServer("no-such-host.invalid:25");
    // Cancelled while the lookup runs, or the lookup was quicker: both end it.
    EXPECT_THROW(socket.Open(), mail::EMailError);
    EXPECT_FALSE(socket.Connected());
    // The lookup thread finishes into state the wait no longer holds.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

TEST_F(NetSocketTest, EmptyServerAndMissingSocketAreReported)
{
    std::string line;
    try {
        socket.ReadLine(line);
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "You have to connect to the server first");
    }
    socket.SetServer("");
    try {
        socket.Open();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "Server property is required");
    }
}

TEST_F(NetSocketTest, OnErrorMayRewordSocketErrors)
{
    socket.OnError = [](TagSocket&, std::string& msg) { msg = "reworded: " + msg; };
    try {
        socket.RaiseError(10061);
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "reworded: [10061] Connection refused");
    }
    EXPECT_NO_THROW(socket.RaiseError(0));
    try {
        socket.RaiseError(12345);
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "reworded: Error #12345");
    }
}

TEST_F(NetSocketTest, SendLineRefusesEmbeddedLineBreaks)
{
    ScriptedServer server;
    server.reply("ok").waitForClientClose();
    server.start();
    connectTo(server);
    EXPECT_THROW(socket.SendLine("USER a\r\nDELE 1"), ESocketError);
    EXPECT_THROW(socket.SendLine(std::string("PASS a\0b", 8)), ESocketError);
    socket.SendLine("USER a");
    std::string line;
    socket.ReadLine(line);
    socket.Close();
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.lines(), std::vector<std::string>{"USER a"});
}

TEST_F(NetSocketTest, SendStreamSendsEveryByteAndReportsProgress)
{
    std::string body;
    for (int i = 0; body.size() < 10000; ++i)
        body += "line " + std::to_string(i) + "\r\n";
    ScriptedServer server;
    server.readData();
    server.start();
    connectTo(server);
    std::istringstream stream(body + ".\r\n");
    int last = -2;
    long long lastTransferred = -1;
    int calls = 0;
    socket.OnProgress = [&](TagSocket&, int perc, long long transferred) {
        ++calls;
        if (transferred != 0) {
            last = perc;
            lastTransferred = transferred;
        }
    };
    socket.SendStream(stream);
    ASSERT_TRUE(server.waitDone());
    ASSERT_EQ(server.blocks().size(), 1u);
    EXPECT_EQ(server.blocks()[0], body);
    EXPECT_EQ(last, 100);
    EXPECT_EQ(lastTransferred, static_cast<long long>(body.size() + 3));
    EXPECT_GE(calls, 6);  // one per 2047-byte block, then the closing 0, 0
}

TEST_F(NetSocketTest, WinsockUnloadedByANewComponentRefusesCalls)
{
    ScriptedServer server;
    server.waitForClientClose();
    server.start();
    connectTo(server);
    TagSocket another;  // creating a component unloads the shared binding
    std::string line;
    try {
        socket.ReadLine(line);
        FAIL();
    } catch (const EWinsockDLLError& error) {
        EXPECT_STREQ(error.what(), "Winsock is not loaded");
    }
    another.SetWinsockLoaded(true);
    EXPECT_TRUE(socket.WinsockLoaded());
}

TEST_F(NetSocketTest, CancelFromThePumpEndsTheWaitAndClosesOnce)
{
    ScriptedServer server;
    server.waitForClientClose();
    server.start();
    connectTo(server);
    int closed = 0;
    int cancels = 0;
    socket.OnClosed = [&](TagSocket&) { ++closed; };
    socket.OnCancel = [&](TagSocket&) { ++cancels; };
    int pumped = 0;
    ScopedEventPump pump([&] {
        if (++pumped == 3)
            socket.Cancel();
    });
    std::string line;
    EXPECT_THROW(socket.ReadLine(line), ECanceledError);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(socket.Connected());
    EXPECT_TRUE(server.waitDone());
    EXPECT_TRUE(server.clientClosed());
}

TEST_F(NetSocketTest, CancelledDescriptorIsNotReusedUnderTheOuterWait)
{
    // The cancel happens in the pump, and the same pump turn opens another
    // connection: the outer wait must end as cancelled, not read the new one.
    ScriptedServer first;
    first.waitForClientClose();
    first.start();
    ScriptedServer second;
    second.send("250 from the second server\r\n").waitForClientClose();
    second.start();
    connectTo(first);
    TestSocket other;
    other.SetWinsockLoaded(true);
    bool done = false;
    ScopedEventPump pump([&] {
        if (done)
            return;
        done = true;
        socket.Cancel();
        other.SetServer(second.address());
        other.Open();
        other.Connect();
    });
    std::string line;
    EXPECT_THROW(socket.ReadLine(line), ECanceledError);
    EXPECT_EQ(line, "");
    EXPECT_EQ(other.ReadLine(line), 250);
}

TEST_F(NetSocketTest, SecondOperationOnABusyComponentIsRefused)
{
    ScriptedServer server;
    server.sendParts({"", "250 late\r\n"}, std::chrono::milliseconds(200));
    server.start();
    connectTo(server);
    std::string nestedError;
    bool tried = false;
    ScopedEventPump pump([&] {
        if (tried)
            return;
        tried = true;
        try {
            socket.SendLine("NOOP");
        } catch (const ESocketError& error) {
            nestedError = error.what();
        }
    });
    std::string line;
    EXPECT_EQ(socket.ReadLine(line), 250);  // the outer wait carries on
    EXPECT_EQ(line, "250 late");
    EXPECT_EQ(nestedError, "[10037] Operation already in progress");
}

TEST_F(NetSocketTest, OtherComponentsMayWorkInsideAWait)
{
    ScriptedServer slow;
    slow.sendParts({"", "250 slow\r\n"}, std::chrono::milliseconds(300));
    slow.start();
    ScriptedServer fast;
    fast.send("250 fast\r\n").waitForClientClose();
    fast.start();
    connectTo(slow);
    TestSocket other;
    other.SetWinsockLoaded(true);
    std::string nestedLine;
    bool started = false;
    ScopedEventPump pump([&] {
        if (started)
            return;
        started = true;
        other.SetServer(fast.address());
        other.Open();
        other.Connect();
        other.ReadLine(nestedLine);
    });
    std::string line;
    EXPECT_EQ(socket.ReadLine(line), 250);
    EXPECT_EQ(line, "250 slow");
    EXPECT_EQ(nestedLine, "250 fast");
}

TEST_F(NetSocketTest, ProgramEndingStopsLineReading)
{
    ScriptedServer server;
    server.waitForClientClose();
    server.start();
    connectTo(server);
    ScopedEventPump pump([] {});
    pump.setTerminating(true);
    std::string line = "x";
    EXPECT_EQ(socket.ReadLine(line), -1);
    EXPECT_EQ(line, "");
}

TEST_F(NetSocketTest, ExpiredCountdownStaysExpiredUntilReset)
{
    ScriptedServer server;
    server.waitForClientClose().acceptNext().waitForClientClose().acceptNext().reply("pong").waitForClientClose();
    server.start();
    socket.SetTimeOut(0);  // runs out at the first tick
    connectTo(server);
    std::string line;
    EXPECT_THROW(socket.ReadLine(line), ETimedOutError);
    socket.SetTimeOut(5);
    socket.Open();
    // Without a reset the mark is still set: the next wait ends at once.
    EXPECT_THROW(
        {
            socket.Connect();
            socket.ReadLine(line);
        },
        ETimedOutError);
    socket.Reset();
    socket.Open();
    socket.Connect();
    socket.SendLine("ping");
    EXPECT_EQ(socket.ReadLine(line), -1);
    EXPECT_EQ(line, "pong");
}

}  // namespace
