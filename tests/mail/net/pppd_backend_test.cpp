// The pppd dial-up backend with a stand-in pppd and stand-in system folders.

#include "platform/dialup_pppd.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <poll.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using platform::PppdDialupBackend;
namespace ds = platform::dialstate;

namespace {

class NetPppdBackendTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* sub : {"peers", "run", "net"})
            fs::create_directories(dir.file(sub));
        paths.peersDir = dir.file("peers");
        paths.runDir = dir.file("run");
        paths.netDir = dir.file("net");
        paths.pppd = dir.file("pppd");
    }

    // A pppd that runs the given shell body ($$ is its pid, "$3" the entry).
    void fakePppd(const std::string& body)
    {
        test_support::writeFile(paths.pppd, "#!/bin/sh\n" + body + "\n");
        ::chmod(paths.pppd.c_str(), 0755);
    }

    void fakeInterface(const std::string& name, long index, bool up)
    {
        fs::create_directories(dir.file("net/" + name));
        test_support::writeFile(dir.file("net/" + name + "/ifindex"), std::to_string(index) + "\n");
        test_support::writeFile(dir.file("net/" + name + "/flags"), up ? "0x1091\n" : "0x1090\n");
    }

    std::vector<platform::DialupEvent> pollUntil(PppdDialupBackend& backend, long handle, int state)
    {
        std::vector<platform::DialupEvent> all;
        for (int i = 0; i < 500; ++i) {
            for (const auto& event : backend.poll(handle)) {
                all.push_back(event);
                if (event.state == state || event.error != 0)
                    return all;
            }
            ::poll(nullptr, 0, 10);
        }
        return all;
    }

    test_support::TempDir dir{"ppp"};
    PppdDialupBackend::Paths paths;
};

TEST_F(NetPppdBackendTest, PeersAreThePhoneBook)
{
    for (const char* name : {"office", "home", ".hidden", "backup~"})
        test_support::writeFile(dir.file(std::string("peers/") + name), "noauth\n");
    fs::create_directories(dir.file("peers/subfolder"));
    PppdDialupBackend backend(paths);
    EXPECT_FALSE(backend.available());
    fakePppd("exit 0");
    EXPECT_TRUE(backend.available());
    EXPECT_EQ(backend.entries(), (std::vector<std::string>{"home", "office"}));
}

TEST_F(NetPppdBackendTest, FailedDialReportsPppdExitStatus)
{
    fakePppd("exit 8");
    PppdDialupBackend backend(paths);
    long handle = backend.dial("office");
    auto events = pollUntil(backend, handle, ds::Connected);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().state, ds::OpenPort);
    EXPECT_EQ(events.back().error, 8);
    EXPECT_EQ(backend.errorText(8), "The connect script failed");
    backend.hangUp(handle);
}

TEST_F(NetPppdBackendTest, DialComesUpWithItsInterfaceAndHangsUp)
{
    // The stand-in writes its pid file the way pppd does once the unit exists.
    fakePppd("echo $$ > '" + dir.file("run/ppp3.pid") + "'; exec sleep 30");
    fakeInterface("ppp3", 33, true);
    PppdDialupBackend backend(paths);
    EXPECT_TRUE(backend.connections().empty() || backend.connections()[0].entry.empty());
    long handle = backend.dial("office");
    auto events = pollUntil(backend, handle, ds::Connected);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().state, ds::Connected);
    EXPECT_EQ(events.back().error, 0);
    auto connections = backend.connections();
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_EQ(connections[0].handle, handle);
    EXPECT_EQ(connections[0].entry, "office");
    backend.hangUp(handle);
    EXPECT_TRUE(backend.poll(handle).empty());
}

TEST_F(NetPppdBackendTest, ForeignLinkIsSeenWithItsEntryButNeverHungUp)
{
    // Another program's pppd: the stand-in stays a shell, so its command line
    // still reads "call home".
    fakePppd("echo $$ > '" + dir.file("run/ppp0.pid") + "'; trap 'kill $!; exit 5' TERM; sleep 5 & wait");
    fakeInterface("ppp0", 12, true);
    fakeInterface("ppp1", 13, false);
    PppdDialupBackend otherProgram(paths);
    long foreign = otherProgram.dial("home");
    pid_t pid = -1;
    for (int i = 0; i < 500 && pid <= 0; ++i) {
        pid = static_cast<pid_t>(std::atol(test_support::readFile(dir.file("run/ppp0.pid")).c_str()));
        ::poll(nullptr, 0, 10);
    }
    ASSERT_GT(pid, 0);

    PppdDialupBackend backend(paths);
    auto connections = backend.connections();
    ASSERT_EQ(connections.size(), 1u);  // ppp1 is down
    EXPECT_EQ(connections[0].handle, 12);
    EXPECT_EQ(connections[0].entry, "home");
    backend.hangUp(12);
    EXPECT_EQ(::kill(pid, 0), 0);  // still running
    otherProgram.hangUp(foreign);
}

}  // namespace
