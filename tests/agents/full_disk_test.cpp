// The real posta on a data folder whose file system is full: the pass ends
// with one error line that names the table file, the data folder and the
// system's reason, and no message is lost. The full file system is a small
// tmpfs in a private mount namespace (a user namespace lets a user who is
// not root make one); where the machine allows neither, the test is skipped.
#include "fixtures/agent_fixture.h"
#include "fixtures/processor_home.h"

#include "platform/files.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace agents_test {
namespace {

using Names = std::vector<std::string>;

// Copies the data folder aside, mounts a small tmpfs over it, copies the
// tables back, marks that it got so far, fills what is left and starts the
// program on it.
constexpr const char* kOnAFullDataFolder = R"(set -e
data=$1; keep=$2; marker=$3; shift 3
cp -a "$data/." "$keep/"
mount -t tmpfs -o size=1m tmpfs "$data"
cp -a "$keep/." "$data/"
touch "$marker"
dd if=/dev/zero of="$data/filler" bs=4096 2>/dev/null || true
exec "$@"
)";

TEST(PostaOnAFullDisk, ThePassEndsWithALineNamingTheTableItsFolderAndNoSpaceAndKeepsEveryMessage)
{
#if !defined(TARSEL_POSTA)
    GTEST_SKIP() << "posta is not built";
#else
    if (!platform::FileExists("/usr/bin/unshare"))
        GTEST_SKIP() << "unshare is not installed";
    ProcessorHome home;
    home.addAccount({"acct", "Main", "me@example.com", "", ""});
    Names all;
    for (int n = 1; n <= 40; ++n) {
        const std::string name = "m" + std::to_string(100 + n) + ".eml";
        home.addPending("acct", name, MailText("<m" + std::to_string(n) + "@x>", "number " + std::to_string(n)));
        all.push_back(name);
    }
    const std::string data = home.folder() + "/data";
    const std::string keep = home.folder() + "/kept";
    const std::string marker = home.folder() + "/mounted";
    platform::ForceDirectories(keep);
    const ProgramExit run = home.run("/usr/bin/unshare", {"--user", "--map-root-user", "--mount", "/bin/sh", "-c",
                                                          kOnAFullDataFolder, "sh", data, keep, marker, TARSEL_POSTA,
                                                          "/SINGLEPASS"});
    if (!platform::FileExists(marker))
        GTEST_SKIP() << "no private mount namespace with a tmpfs on this machine";
    ASSERT_TRUE(run.exited);

    const std::string log = home.log("agentproc.log");
    // Whichever of the table's files was being written when the space ran out.
    const std::regex line("Error-Table engine\\. Error : [0-9]+ -- received\\.[-a-z]+ in " + data +
                          "/: No space left on device");
    EXPECT_TRUE(std::regex_search(log, line)) << log;
    // The message whose filing failed waits in the pending folder; none is
    // in neither place.
    std::set<std::string> found;
    for (const std::string& name : home.pendingFiles("acct"))
        found.insert(name);
    for (const std::string& name : home.receivedFiles("acct"))
        found.insert(name);
    EXPECT_EQ(found, std::set<std::string>(all.begin(), all.end()));
    EXPECT_FALSE(home.pendingFiles("acct").empty());
#endif
}

}  // namespace
}  // namespace agents_test
