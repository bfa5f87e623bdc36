// At start a processor removes what a write or copy killed half-way left
// in the accounts' Pending/ and In/ folders (whatever was last changed
// before it started), and never a mail file or a write another program is
// making meanwhile.

#include <utime.h>

#include <ctime>

#include "platform/files.h"
#include "shell_fixture.h"

namespace shelltest {

namespace {

void writeAged(const std::string& path, int seconds)
{
    platform::ForceDirectories(path.substr(0, path.rfind('/')));
    test_support::writeFile(path, "x");
    const utimbuf times{std::time(nullptr) - seconds, std::time(nullptr) - seconds};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

}  // namespace

TEST_F(ShellTest, StartRemovesWhatKilledWritesLeftInPendingAndIn)
{
    const std::string account = homeDir() + "messages/acct/";
    for (const char* left : {"Pending/.-a@x-.eml.Ab12Cd", "In/.-b@x-.eml.Cd34Ef", "In/.20261208093000secon.eml.x1Y2z3"})
        writeAged(account + left, 60);
    for (const char* kept : {"Pending/-a@x-.eml", "In/-b@x-.eml", "In/.hidden.eml", "In/notes.Ab12Cd"})
        writeAged(account + kept, 60);
    writeAged(account + "In/.-c@x-.eml.Xy12Zw", -60);  // another program's copy, written to after the start

    for (const shell::ProcessorProfile& profile : {shell::RetrieverProfile(), shell::AgentProcessorProfile()}) {
        auto sh = makeShell(profile);
        sh->Start({});
        EXPECT_TRUE(platform::FindFiles(account + "Pending", ".*.??????").empty());
        EXPECT_EQ(platform::FindFiles(account + "In", ".*"),
                  (std::vector<std::string>{".-c@x-.eml.Xy12Zw", ".hidden.eml"}));
        EXPECT_EQ(platform::FindFiles(account + "In", "*"), (std::vector<std::string>{"-b@x-.eml", "notes.Ab12Cd"}));
        EXPECT_EQ(platform::FindFiles(account + "Pending", "*"), (std::vector<std::string>{"-a@x-.eml"}));
        writeAged(account + "In/.-b@x-.eml.Cd34Ef", 60);
    }
}

}  // namespace shelltest
