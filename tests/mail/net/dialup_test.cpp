// The dial-up component over a scripted backend: reuse, dialling, failures,
// time-outs, and what a socket component does with it.

#include "mail/net/net_errors.h"
#include "mail/net/tag_ras.h"
#include "mail/net/tag_socket.h"
#include "tests/support/fake_dialup_backend.h"
#include "tests/support/scoped_event_pump.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

using platform::DialupEvent;
namespace ds = platform::dialstate;
using test_support::FakeDialupBackend;

namespace {

class NetDialupTest : public ::testing::Test {
protected:
    std::unique_ptr<TagRas> makeRas()
    {
        auto ras = std::make_unique<TagRas>(backend);
        ras->OnError = [this](TagRas&, const std::string& text) { messages.push_back(text); };
        ras->OnStatusChange = [this](TagRas&, const std::string& text) { states.push_back(text); };
        ras->OnDisconnected = [this](TagRas&) { ++disconnects; };
        return ras;
    }

    std::shared_ptr<FakeDialupBackend> backend = [] {
        auto fake = std::make_shared<FakeDialupBackend>();
        fake->phoneBook = {"Office", "Home"};
        fake->errorTexts[678] = "The remote computer did not respond.";
        return fake;
    }();
    std::vector<std::string> messages;
    std::vector<std::string> states;
    int disconnects = 0;
};

TEST_F(NetDialupTest, EmptyServiceConnectsAtOnceWithoutDialling)
{
    auto ras = makeRas();
    ras->Connect();
    EXPECT_TRUE(ras->Connected());
    EXPECT_TRUE(backend->dialled.empty());
    ras->HangUp();
    EXPECT_TRUE(backend->hungUp.empty());
}

TEST_F(NetDialupTest, ServiceSetterAcceptsOnlyPhoneBookEntries)
{
    auto ras = makeRas();
    ras->SetService("Office");
    EXPECT_EQ(ras->Service(), "Office");
    ras->SetService("Nowhere");
    EXPECT_EQ(ras->Service(), "");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Invalid service name");

    backend->phoneBook.clear();
    auto empty = makeRas();
    empty->SetService("Office");
    EXPECT_EQ(empty->Service(), "");
    EXPECT_EQ(messages.back(), "TagRas component was unable to detect\nRAS on your system.");

    ras->SetService("");
    ras->Connect();  // no entry: connected at once
    ras->SetService("Office");
    EXPECT_EQ(ras->Service(), "");
    EXPECT_EQ(messages.back(), "This property can be set only before\nestablishing the connection");
}

TEST_F(NetDialupTest, ConnectionOfTheSameEntryIsReusedAndNeverHungUp)
{
    backend->established = {{7, "Office", "10.1.1.1"}};
    auto ras = makeRas();
    ras->SetService("Office");
    ras->Connect();
    EXPECT_TRUE(ras->Connected());
    EXPECT_TRUE(backend->dialled.empty());
    ras->Cancel();
    EXPECT_TRUE(backend->hungUp.empty());
    EXPECT_EQ(disconnects, 0);
}

TEST_F(NetDialupTest, OtherEntryWithAddressIsReusedOnlyWhenNotForced)
{
    backend->established = {{3, "Home", ""}, {4, "Home", "10.2.2.2"}};
    backend->dialScript = {{ds::Connected, 0}};
    auto loose = makeRas();
    loose->SetService("Office");
    loose->ForceService = false;
    loose->Connect();
    EXPECT_TRUE(backend->dialled.empty());

    auto strict = makeRas();
    strict->SetService("Office");
    strict->Connect();
    EXPECT_EQ(backend->dialled, std::vector<std::string>{"Office"});
}

TEST_F(NetDialupTest, DialReportsStatesAndHangsUpOnlyItsOwnLink)
{
    backend->dialScript = {{ds::OpenPort, 0}, {ds::ConnectDevice, 0}, {ds::Authenticate, 0}, {ds::Connected, 0}};
    auto ras = makeRas();
    ras->SetService("Office");
    ras->Connect();
    EXPECT_TRUE(ras->Connected());
    EXPECT_EQ(states, (std::vector<std::string>{"Opening the port...", "Connecting the device...",
                                                "Verifying the user name and password...", "Connected"}));
    ras->HangUp();
    EXPECT_EQ(backend->hungUp.size(), 1u);
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(ras->Connected());
    ras->HangUp();  // nothing held any more
    EXPECT_EQ(backend->hungUp.size(), 1u);
    EXPECT_EQ(disconnects, 1);
}

TEST_F(NetDialupTest, MissingPasswordIsStoredBeforeDialling)
{
    backend->entryHasPassword = false;
    backend->dialScript = {{ds::Connected, 0}};
    auto ras = makeRas();
    ras->SetService("Office");
    ras->Password = "pw";
    ras->RemovePassword = true;
    ras->Connect();
    EXPECT_EQ(backend->storedPasswords, std::vector<std::string>{"Office:pw:remove"});
}

TEST_F(NetDialupTest, DialErrorHangsUpAndRaisesThePlatformText)
{
    backend->dialScript = {{ds::OpenPort, 0}, {ds::ConnectDevice, 678}};
    auto ras = makeRas();
    ras->SetService("Office");
    try {
        ras->Connect();
        FAIL();
    } catch (const ERASError& error) {
        EXPECT_STREQ(error.what(), "The remote computer did not respond.");
        EXPECT_EQ(error.Number(), 678);
    }
    EXPECT_EQ(backend->hungUp.size(), 1u);
    EXPECT_FALSE(ras->Connected());
}

TEST_F(NetDialupTest, ErrorWithoutPlatformTextNamesTheNumber)
{
    backend->failDialWith = 631;
    auto ras = makeRas();
    ras->SetService("Office");
    try {
        ras->Connect();
        FAIL();
    } catch (const ERASError& error) {
        EXPECT_STREQ(error.what(), "RAS error no 631");
    }
    backend->failDialWith = 0;
    backend->failConnectionsWith = 600;
    EXPECT_THROW(ras->Connect(), ERASError);
}

TEST_F(NetDialupTest, EarlierFailureDoesNotEndTheNextDial)
{
    backend->dialScript = {{ds::OpenPort, 678}};
    auto ras = makeRas();
    ras->SetService("Office");
    EXPECT_THROW(ras->Connect(), ERASError);
    backend->dialScript = {{ds::OpenPort, 0}, {ds::Connected, 0}};
    EXPECT_NO_THROW(ras->Connect());
    EXPECT_TRUE(ras->Connected());
}

TEST_F(NetDialupTest, DialThatNeverFinishesTimesOutAndIsHungUp)
{
    backend->dialScript = {{ds::OpenPort, 0}};
    auto ras = makeRas();
    ras->SetService("Office");
    ras->SetTimeOut(1);
    EXPECT_THROW(ras->Connect(), ETimedOutError);
    EXPECT_EQ(backend->hungUp.size(), 1u);
}

TEST_F(NetDialupTest, CancelFromThePumpEndsTheDial)
{
    backend->dialScript = {{ds::OpenPort, 0}};
    auto ras = makeRas();
    ras->SetService("Office");
    int pumped = 0;
    test_support::ScopedEventPump pump([&] {
        if (++pumped == 2)
            ras->Cancel();
    });
    EXPECT_THROW(ras->Connect(), ECanceledError);
    EXPECT_EQ(backend->hungUp.size(), 1u);
}

TEST_F(NetDialupTest, NestedConnectWhileDiallingIsRefused)
{
    backend->dialScript = {{ds::OpenPort, 0}, {ds::ConnectDevice, 0}, {ds::Connected, 0}};
    auto ras = makeRas();
    ras->SetService("Office");
    std::string nested;
    test_support::ScopedEventPump pump([&] {
        if (!nested.empty())
            return;
        try {
            ras->Connect();
            nested = "accepted";
        } catch (const ERASError& error) {
            nested = error.what();
        }
    });
    ras->Connect();
    EXPECT_EQ(nested, "[10037] Operation already in progress");
    EXPECT_EQ(backend->dialled.size(), 1u);
}

TEST_F(NetDialupTest, FailureAfterTheLinkIsUpDoesNotEndAnUnrelatedWait)
{
    // The link reports a failure once it is up; the socket wait that pumps
    // afterwards belongs to another operation and must not receive it.
    backend->dialScript = {{ds::Connected, 0}, {ds::Connected, 16}, {ds::Connected, 16}};
    auto ras = makeRas();
    ras->SetService("Office");
    ras->Connect();
    test_support::ScriptedServer server;
    server.sendParts({"", "250 ok\r\n"}, std::chrono::milliseconds(100));
    server.start();
    TagSocket socket;
    socket.SetWinsockLoaded(true);
    socket.SetServer(server.address());
    socket.Open();
    socket.Connect();
    std::string line;
    EXPECT_NO_THROW(socket.ReadLine(line));
    EXPECT_EQ(line, "250 ok");
    EXPECT_TRUE(ras->Connected());
}

TEST_F(NetDialupTest, UnavailableDialupDoesNothing)
{
    backend->isAvailable = false;
    auto ras = makeRas();
    EXPECT_FALSE(ras->HasEntries());
    ras->SetService("Office");
    EXPECT_EQ(ras->Service(), "");
    EXPECT_NO_THROW(ras->Connect());
    EXPECT_TRUE(backend->dialled.empty());
}

TEST_F(NetDialupTest, SocketDialsBeforeOpeningAndHangsUpWhenClosing)
{
    backend->dialScript = {{ds::Connected, 0}};
    auto ras = makeRas();
    ras->SetService("Office");
    test_support::ScriptedServer server;
    server.waitForClientClose();
    server.start();
    {
        TagSocket socket;
        socket.SetWinsockLoaded(true);
        socket.SetRAS(ras.get());
        socket.SetServer(server.address());
        socket.Open();
        EXPECT_EQ(backend->dialled.size(), 1u);
        socket.Connect();
        socket.Close();
        EXPECT_EQ(backend->hungUp.size(), 1u);
    }
    // A component that goes away forgets the dial-up component, and back.
    TagSocket other;
    other.SetRAS(ras.get());
    ras.reset();
    EXPECT_EQ(other.RAS(), nullptr);
}

}  // namespace
