#include "platform/error.h"
#include "platform/files.h"
#include "platform/process.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

namespace {

using platform::SplitCommandLine;
using Words = std::vector<std::string>;

TEST(SplitCommandLine, BlanksQuotesAndBackslashes)
{
    EXPECT_EQ(SplitCommandLine("  prog   a\tb  "), (Words{"prog", "a", "b"}));
    EXPECT_EQ(SplitCommandLine("'/opt/my prog' \"two words\" x"),
              (Words{"/opt/my prog", "two words", "x"}));
    EXPECT_EQ(SplitCommandLine("a\\ b c"), (Words{"a b", "c"}));
    EXPECT_EQ(SplitCommandLine("pre'fix'\"ed\" ''"), (Words{"prefixed", ""}));
    EXPECT_EQ(SplitCommandLine("\"say \\\"hi\\\" \\\\ \\n\""), (Words{"say \"hi\" \\ \\n"}));
    EXPECT_EQ(SplitCommandLine("'back\\slash' it\\'s"), (Words{"back\\slash", "it's"}));
    EXPECT_EQ(SplitCommandLine("a\\\nb"), (Words{"ab"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(SplitCommandLine, ShellSyntaxIsPlainText)
{
    EXPECT_EQ(SplitCommandLine("echo hi; rm -rf ~ | cat > out && $(reboot) `id` $HOME *"),
              (Words{"echo", "hi;", "rm", "-rf", "~", "|", "cat", ">", "out", "&&", "$(reboot)",
                     "`id`", "$HOME", "*"}));
    EXPECT_EQ(SplitCommandLine("\"$(id)\" '$HOME'"), (Words{"$(id)", "$HOME"}));
}

TEST(SplitCommandLine, UnfinishedQuotingIsAnError)
{
    EXPECT_THROW(SplitCommandLine("prog 'open"), platform::ProcessError);
    EXPECT_THROW(SplitCommandLine("prog \"open"), platform::ProcessError);
    EXPECT_THROW(SplitCommandLine("prog \"a\\\""), platform::ProcessError);
    EXPECT_THROW(SplitCommandLine("prog end\\"), platform::ProcessError);
}

// A picked path goes back through the splitting as the one word it was.
TEST(QuoteCommandWord, EveryWordSplitsBackWhole)
{
    EXPECT_EQ(platform::QuoteCommandWord("/usr/bin/mail-viewer_2.1"), "/usr/bin/mail-viewer_2.1");
    EXPECT_EQ(platform::QuoteCommandWord("/home/ann/my tools/launch.sh"), "'/home/ann/my tools/launch.sh'");
    EXPECT_EQ(platform::QuoteCommandWord("/opt/Müller/run"), "/opt/Müller/run");
    for (const std::string word :
         {"/home/ann/my tools/launch.sh", "/home/ann/it's here/x", "'", "''", "\\", "a\\ b", "say \"hi\"",
          "tab\there", "line\nbreak", "$(reboot);|&*~#", "$HOME", "", " ", "-n", "/a b/c'd\"e\\f g"}) {
        const std::string quoted = platform::QuoteCommandWord(word);
        EXPECT_EQ(SplitCommandLine(quoted), Words{word}) << quoted;
        EXPECT_EQ(SplitCommandLine(quoted + " /tmp/m.eml"), (Words{word, "/tmp/m.eml"})) << quoted;
    }
}

// Waits (bounded) until `path` exists.
bool AppearsSoon(const std::string& path)
{
    for (int i = 0; i < 500; ++i) {
        if (platform::FileExists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(StartProcess, AnAppendedNameStaysOneArgumentWhateverItHolds)
{
    test_support::TempDir dir;
    const std::string hostile = dir.file("it's \"a\" $(touch pwned); `id` & x.eml");
    platform::StartProcess("touch", {hostile});
    ASSERT_TRUE(AppearsSoon(hostile));
    EXPECT_FALSE(platform::FileExists(dir.file("pwned")));
    EXPECT_FALSE(platform::FileExists("pwned"));
}

TEST(StartProcess, PassesEachWordOfTheLineAsItsOwnArgument)
{
    test_support::TempDir dir;
    const std::string script = dir.file("args.sh");
    platform::WriteFileAtomic(script,
                              "#!/bin/sh\n"
                              "out=\"$1\"; shift\n"
                              "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$out.part\"\n"
                              "mv \"$out.part\" \"$out\"\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
    const std::string out = dir.file("out.txt");
    platform::StartProcess("'" + script + "' '" + out + "' \"two words\" a;b '$HOME'",
                           {"extra arg", ""});
    ASSERT_TRUE(AppearsSoon(out));
    EXPECT_EQ(platform::ReadWholeFile(out),
              "[two words]\n[a;b]\n[$HOME]\n[extra arg]\n[]\n");
}

int ZombieChildren()
{
    // Children of this process that have ended but were not waited for.
    int zombies = 0;
    const std::string self = std::to_string(::getpid());
    DIR* proc = ::opendir("/proc");
    while (const dirent* e = proc ? ::readdir(proc) : nullptr) {
        std::ifstream stat(std::string("/proc/") + e->d_name + "/stat");
        std::string pid, comm, state, ppid;
        if (stat >> pid >> comm >> state >> ppid && state == "Z" && ppid == self)
            ++zombies;
    }
    if (proc)
        ::closedir(proc);
    return zombies;
}

TEST(StartProcess, EndedChildrenAreReaped)
{
    for (int i = 0; i < 5; ++i)
        platform::StartProcess("true");
    int zombies = -1;
    for (int i = 0; i < 500 && zombies != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        zombies = ZombieChildren();
    }
    EXPECT_EQ(zombies, 0);
}

TEST(StartProcess, AProgramInAFolderWithABlankStartsWhenQuoted)
{
    test_support::TempDir dir;
    platform::ForceDirectories(dir.file("my tools"));
    const std::string script = dir.file("my tools/it's launch.sh");
    platform::WriteFileAtomic(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"$1.part\" && mv \"$1.part\" \"$1\"\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
    const std::string out = dir.file("out file.eml");
    platform::StartProcess(platform::QuoteCommandWord(script), {out});
    ASSERT_TRUE(AppearsSoon(out));
    EXPECT_EQ(platform::ReadWholeFile(out), out);
}

// Whatever stops the start, the error says which program and why.
TEST(StartProcess, AProgramThatCannotStartIsReported)
{
    test_support::TempDir dir;
    const std::string notExecutable = dir.file("plain file");
    platform::WriteFileAtomic(notExecutable, "#!/bin/sh\n");
    struct Case {
        std::string line, program, reason;
    };
    for (const Case& c : std::vector<Case>{
             {"/no/such/program arg", "/no/such/program", "No such file or directory"},
             {"no-such-program-tarsel-xyz", "no-such-program-tarsel-xyz", "No such file or directory"},
             {platform::QuoteCommandWord(notExecutable), notExecutable, "Permission denied"},
             {"touch 'unclosed", "touch 'unclosed", "Unterminated quote in command line"},
             {"   ", "", "the command line is empty"}}) {
        try {
            platform::StartProcess(c.line, {"/tmp/x.eml"});
            ADD_FAILURE() << "started: " << c.line;
        } catch (const platform::StartError& e) {
            EXPECT_EQ(e.Program(), c.program);
            EXPECT_EQ(e.Reason(), c.reason);
            if (!c.program.empty()) {
                EXPECT_EQ(std::string(e.what()), "Unable to start " + c.program + ": " + c.reason);
            }
        }
    }
}

}  // namespace
