#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/ini_text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using platform::IniFile;
using platform::ReadWholeFile;
using platform::WriteFileAtomic;

class IniFileTest : public ::testing::Test {
protected:
    test_support::TempDir dir;
    std::string path = dir.file("test.ini");
    IniFile ini{path};

    void Given(const std::string& text) { WriteFileAtomic(path, text); }
    std::string Text() const { return ReadWholeFile(path); }
};

TEST_F(IniFileTest, ReadsNamesWithoutRegardToCaseAndTheFirstOfDuplicatesWins)
{
    Given("; settings\n"
          "[Folders]\n"
          "  Messages = /m/first/  \n"
          "messages=/m/second/\n"
          "not a key line\n"
          ";Agents=/commented/\n"
          "Empty=\n"
          "[FOLDERS]\n"
          "Agents=/a/from-second-section/\n"
          "[Misc]\n"
          "SoundsDisabled=1\n");
    EXPECT_EQ(ini.ReadString("folders", "MESSAGES", "x"), "/m/first/");
    EXPECT_EQ(ini.ReadString("Folders", "Agents", "default"), "default");
    EXPECT_EQ(ini.ReadString("Folders", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("Folders", "not a key line", "default"), "default");
    EXPECT_EQ(ini.ReadString("Nowhere", "Messages", "d"), "d");
    EXPECT_TRUE(ini.ReadBool("MISC", "soundsdisabled", false));
    EXPECT_EQ(ini.ReadSection("folders"), (std::vector<std::string>{"Messages", "Empty"}));
    EXPECT_TRUE(ini.SectionExists("misc"));
    EXPECT_FALSE(ini.ValueExists("Misc", "Other"));
    EXPECT_TRUE(ini.ValueExists("Folders", "EMPTY"));
}

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNotCreatedByReading)
{
    EXPECT_EQ(ini.ReadString("A", "B", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("A", "B", 7), 7);
    EXPECT_TRUE(ini.ReadBool("AgentSettings", "AutoEnabled", true));
    EXPECT_TRUE(ini.ReadSection("A").empty());
    EXPECT_FALSE(platform::FileExists(path));
}

TEST_F(IniFileTest, IntegersAreDecimalOrHexadecimalElseTheDefault)
{
    Given("[N]\na=42\nb=0x1F\nc=$10\nd=-5\ne=12abc\nf=\ng=99999999999\nh=0xFFFFFFFF\n"
          "i=true\nj=2\nk=0\nl= 0X0a \n");
    EXPECT_EQ(ini.ReadInteger("N", "a", -1), 42);
    EXPECT_EQ(ini.ReadInteger("N", "b", -1), 31);
    EXPECT_EQ(ini.ReadInteger("N", "c", -1), 16);
    EXPECT_EQ(ini.ReadInteger("N", "d", -1), -5);
    EXPECT_EQ(ini.ReadInteger("N", "e", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "f", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "g", -1), -1);
    EXPECT_EQ(ini.ReadInteger("N", "h", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "l", -1), 10);
    // Booleans are integers: text that is no number keeps the default.
    EXPECT_FALSE(ini.ReadBool("N", "i", false));
    EXPECT_TRUE(ini.ReadBool("N", "i", true));
    EXPECT_TRUE(ini.ReadBool("N", "j", false));
    EXPECT_FALSE(ini.ReadBool("N", "k", true));
}

TEST_F(IniFileTest, WritingReplacesInPlaceAppendsToTheSectionAndKeepsOtherLines)
{
    Given("; keep me\n"
          "[Folders]\n"
          "messages=/old/\n"
          "# odd line\n"
          "Agents=/a/\n"
          "\n"
          "[Misc]\n"
          "SoundsDisabled=0\n");
    ini.WriteString("FOLDERS", "Messages", "/new/");
    ini.WriteString("Folders", "Templates", "/t/");
    ini.WriteBool("misc", "SoundsDisabled", true);
    ini.WriteInteger("Connect", "Count", 12);
    ini.WriteString("Connect", "Method", "");
    EXPECT_EQ(Text(),
              "; keep me\n"
              "[Folders]\n"
              "messages=/new/\n"
              "# odd line\n"
              "Agents=/a/\n"
              "Templates=/t/\n"
              "\n"
              "[Misc]\n"
              "SoundsDisabled=1\n"
              "[Connect]\n"
              "Count=12\n"
              "Method=\n");
    EXPECT_EQ(ini.ReadString("connect", "method", "d"), "");
}

TEST_F(IniFileTest, WritesGoToTheFirstOfDuplicateSectionsAndKeys)
{
    Given("[A]\nk=1\nk=2\n[a]\nk=3\n");
    ini.WriteString("a", "K", "9");
    EXPECT_EQ(Text(), "[A]\nk=9\nk=2\n[a]\nk=3\n");
}

TEST_F(IniFileTest, AnAgentFileBuiltKeyByKey)
{
    ini.WriteString("MAIN", "AgentType", "MESSAGE");
    ini.WriteInteger("MAIN", "TriggerCount", 1);
    ini.WriteString("HEADER", "Entry1", "Subject");
    ini.WriteString("CONDITION", "Entry1", "");
    ini.WriteString("MAIN", "ActionCount", "0");
    EXPECT_EQ(Text(),
              "[MAIN]\nAgentType=MESSAGE\nTriggerCount=1\nActionCount=0\n"
              "[HEADER]\nEntry1=Subject\n"
              "[CONDITION]\nEntry1=\n");
}

TEST_F(IniFileTest, KeepsWindowsLineEndsAndAMissingFinalLineEnd)
{
    Given("[A]\r\nx=1\r\n");
    ini.WriteString("A", "y", "2");
    ini.WriteString("B", "z", "3");
    EXPECT_EQ(Text(), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");

    Given("[A]\nx=1");
    ini.WriteString("A", "y", "2");
    EXPECT_EQ(Text(), "[A]\nx=1\ny=2\n");
}

TEST_F(IniFileTest, DeletesKeysAndSections)
{
    Given("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
    ini.DeleteKey("a", "X");
    ini.EraseSection("b");
    ini.DeleteKey("Nowhere", "x");
    EXPECT_EQ(Text(), "[A]\ny=2\n[C]\nw=4\n");
}

TEST_F(IniFileTest, RefusesTextThatWouldBecomeLinesOfItsOwn)
{
    Given("[A]\nx=1\n");
    EXPECT_THROW(ini.WriteString("A", "x", "evil\n[Folders]\nMessages=/etc/"),
                 platform::IniFileError);
    EXPECT_THROW(ini.WriteString("A", "k=v", "1"), platform::IniFileError);
    EXPECT_THROW(ini.WriteString("A]", "k", "1"), platform::IniFileError);
    EXPECT_THROW(ini.WriteString("A", "", "1"), platform::IniFileError);
    // A name that would read back as a comment or a header, blanks or not.
    EXPECT_THROW(ini.WriteString("A", " ;k", "1"), platform::IniFileError);
    EXPECT_THROW(ini.WriteString("A", " [k", "1"), platform::IniFileError);
    EXPECT_EQ(Text(), "[A]\nx=1\n");
    // Quotes and other punctuation in values are kept as they are.
    ini.WriteString("A", "cmd", "\"/opt/my prog\" 'a;b' $(x)");
    EXPECT_EQ(ini.ReadString("A", "cmd", ""), "\"/opt/my prog\" 'a;b' $(x)");
}

TEST_F(IniFileTest, UnwritableFolderRaisesTheWriteError)
{
    IniFile nowhere(dir.file("missing-folder/x.ini"));
    try {
        nowhere.WriteString("A", "b", "c");
        FAIL() << "no error";
    } catch (const platform::IniFileError& e) {
        EXPECT_NE(std::string(e.what()).find("Unable to write to"), std::string::npos);
    }
}

TEST_F(IniFileTest, BareNameLiesInTheSettingsFolderWhateverTheCaseOnDisk)
{
    test_support::ScopedEnv config("TARSEL_CONFIG_DIR", dir.path());
    WriteFileAtomic(dir.file("mail.ini"), "[Internet]\nSMTPAddress=smtp.example\n");
    IniFile mail("MAIL.INI");
    EXPECT_EQ(mail.ReadString("Internet", "SMTPAddress", ""), "smtp.example");
    mail.WriteString("Internet", "CloseMail", "0");
    EXPECT_FALSE(platform::FileExists(dir.file("MAIL.INI")));  // no second spelling
    EXPECT_EQ(IniFile(dir.file("mail.ini")).ReadString("internet", "closemail", ""), "0");
}

// Runs `work` in a child process; returns its exit status.
template <typename F>
pid_t Fork(F work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        int rc = 1;
        try {
            rc = work();
        } catch (...) {
        }
        ::_exit(rc);
    }
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(IniFileTest, AReaderNeverSeesHalfAFileWhileAnotherProcessWrites)
{
    const std::string big_a(200000, 'a'), big_b(200000, 'b');
    ini.WriteString("A", "Big", big_a);
    ini.WriteString("Z", "Last", "end");
    const pid_t writer = Fork([&] {
        IniFile own(path);
        for (int i = 0; i < 60; ++i)
            own.WriteString("A", "Big", i % 2 ? big_a : big_b);
        return 0;
    });
    int torn = 0, reads = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string big = ini.ReadString("A", "Big", "");
        const std::string last = ini.ReadString("Z", "Last", "");
        ++reads;
        if ((big != big_a && big != big_b) || last != "end")
            ++torn;
    }
    EXPECT_EQ(Wait(writer), 0);
    EXPECT_EQ(torn, 0) << "of " << reads;
    EXPECT_EQ(platform::FindFiles(dir.path(), "*"), std::vector<std::string>{"test.ini"});
    EXPECT_EQ(platform::FindFiles(dir.path(), ".*"), std::vector<std::string>{});
}

TEST_F(IniFileTest, TwoWriterProcessesLoseNoKey)
{
    ini.WriteString("Shared", "Base", "x");
    // Every write adds a key of its own, so any update lost to the other
    // process shows as a missing key at the end.
    auto writer = [&](const char* section) {
        return Fork([=, this] {
            IniFile own(path);
            for (int i = 1; i <= 100; ++i)
                own.WriteInteger(section, "Entry" + std::to_string(i), i);
            return 0;
        });
    };
    const pid_t one = writer("AgentSettings");
    const pid_t two = writer("processorsettings");
    EXPECT_EQ(Wait(one), 0);
    EXPECT_EQ(Wait(two), 0);
    int missing = 0;
    for (int i = 1; i <= 100; ++i) {
        const std::string key = "ENTRY" + std::to_string(i);
        missing += ini.ReadInteger("AgentSettings", key, 0) != i;
        missing += ini.ReadInteger("ProcessorSettings", key, 0) != i;
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(ini.ReadString("Shared", "Base", ""), "x");
    EXPECT_EQ(ini.ReadSection("agentsettings").size(), 100u);
}

TEST_F(IniFileTest, ABatchIsWrittenWholeOrNotAtAll)
{
    Given("[A]\nx=1\n");
    ini.WriteValues({{"A", "x", "2"}, {"B", "y", "3"}, {"a", "X", "4"}});
    EXPECT_EQ(Text(), "[A]\nx=4\n[B]\ny=3\n");  // the later write of a key wins
    EXPECT_THROW(ini.WriteValues({{"A", "x", "5"}, {"B", "y", "two\nlines"}}), platform::IniFileError);
    EXPECT_EQ(Text(), "[A]\nx=4\n[B]\ny=3\n");

    // Another process's reader sees both keys of one batch or of the next.
    ini.WriteValues({{"A", "x", "start"}, {"B", "y", "start"}});
    const pid_t writer = Fork([&] {
        IniFile own(path);
        for (int i = 0; i < 100; ++i)
            own.WriteValues({{"A", "x", std::to_string(i)}, {"B", "y", std::to_string(i)}});
        return 0;
    });
    int split = 0;
    for (int i = 0; i < 300; ++i) {
        const platform::IniText snapshot(ReadWholeFile(path));
        if (snapshot.value("A", "x") != snapshot.value("B", "y"))
            ++split;
    }
    EXPECT_EQ(Wait(writer), 0);
    EXPECT_EQ(split, 0);
    EXPECT_EQ(ini.ReadString("B", "y", ""), "99");
}

}  // namespace
