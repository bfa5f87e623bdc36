// The status log without a window: lines logged by a run that is killed
// are in the file at the next open, newest first and above the older ones,
// whose formatting stays; a fold cut short is not taken in twice; memory
// keeps only the newest lines; what a killed write left beside it goes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>
#include <utime.h>

#include "platform/files.h"
#include "platform/log_journal.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/stale_temps.h"
#include "platform/status_log.h"
#include "platform/status_log_file.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace platform;

class StatusLogTest : public ::testing::Test {
protected:
    test_support::TempDir dir;
    std::string path = dir.file("postproc.log");

    std::vector<std::string> fileLines() const
    {
        std::vector<std::string> lines;
        for (const auto& p : ReadRtf(ReadWholeFile(path)).paragraphs)
            lines.push_back(p.PlainText());
        return lines;
    }

    // A child logs the lines and is killed before it can save.
    void logAndDie(const std::vector<std::string>& lines)
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            StatusLog log(path);
            log.Open();
            for (const auto& line : lines)
                log.Add(line);
            ::kill(::getpid(), SIGKILL);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
};

RichText numbered(int count)
{
    RichText text;
    for (int i = 0; i < count; ++i) {
        RichTextRun run{.text = "line " + std::to_string(i)};
        run.bold = i % 3 == 0;
        if (i % 5 == 0) {
            run.hasColor = true;
            run.color = 0xFF0000;
        }
        text.paragraphs.push_back({{run}});
    }
    return text;
}

TEST_F(StatusLogTest, KilledRunsLinesAreShownAtTheNextOpenNewestFirst)
{
    {
        StatusLog log(path);
        log.Open();
        log.Add("earlier run");
        log.Close();
    }
    const std::string odd = "back\\slash {brace} caf\xC3\xA9";
    logAndDie({"first", odd, "last"});
    EXPECT_TRUE(FileExists(LogJournalPath(path)));

    StatusLog log(path);
    log.Open();
    const std::vector<std::string> expected{"last", odd, "first", "earlier run"};
    EXPECT_EQ(log.NewestPlainLines(), expected);
    EXPECT_EQ(fileLines(), expected);
    log.Add("after restart");
    log.Close();
    EXPECT_EQ(fileLines().front(), "after restart");
    EXPECT_EQ(fileLines().size(), 5u);
    EXPECT_FALSE(FileExists(LogJournalPath(path)));
}

TEST_F(StatusLogTest, AFoldCutShortBeforeTheJournalWentTakesNoLineTwice)
{
    StatusLog log(path);
    log.Open();
    log.Add("one");
    log.Add("two");
    const std::string journal = ReadWholeFile(LogJournalPath(path));
    log.Close();
    // As if killed between committing the file and removing the journal,
    // with one line more in it than the fold saw.
    WriteFileAtomic(LogJournalPath(path), journal + EscapeJournalLine("three") + "\n");

    StatusLog again(path);
    again.Open();
    EXPECT_EQ(again.NewestPlainLines(), (std::vector<std::string>{"three", "two", "one"}));
    again.Close();
    EXPECT_EQ(fileLines(), (std::vector<std::string>{"three", "two", "one"}));
}

TEST_F(StatusLogTest, OlderLinesKeepTheirFormattingAndTheFileIsNeverTrimmed)
{
    const RichText earlier = numbered(3000);  // well past one read block
    WriteFileAtomic(path, WriteRtf(earlier));

    StatusLog log(path, 100);
    log.Open();
    ASSERT_EQ(log.Newest().size(), 100u);
    EXPECT_EQ(log.Newest()[0].PlainText(), "line 0");
    EXPECT_EQ(log.Newest()[99].PlainText(), "line 99");
    for (int i = 0; i < 150; ++i)
        log.Add("new " + std::to_string(i));
    EXPECT_EQ(log.Newest().size(), 100u);
    EXPECT_EQ(log.Newest()[0].PlainText(), "new 149");
    log.Close();

    const RichText saved = ReadRtf(ReadWholeFile(path));
    ASSERT_EQ(saved.paragraphs.size(), 3150u);
    EXPECT_EQ(saved.paragraphs[0].PlainText(), "new 149");
    EXPECT_EQ(saved.paragraphs[149].PlainText(), "new 0");
    for (std::size_t i = 0; i < earlier.paragraphs.size(); ++i) {
        const RichTextRun& was = earlier.paragraphs[i].runs[0];
        const RichTextRun& now = saved.paragraphs[150 + i].runs.at(0);
        ASSERT_EQ(now.text, was.text);
        ASSERT_EQ(now.bold, was.bold) << i;
        ASSERT_EQ(now.hasColor, was.hasColor) << i;
        ASSERT_EQ(now.color, was.color) << i;
    }

    const auto deep = ReadNewestParagraphs(path, 2500);
    ASSERT_EQ(deep.size(), 2500u);
    EXPECT_EQ(deep[2499].PlainText(), "line 2349");
    EXPECT_EQ(ReadNewestParagraphs(path, 99999).size(), 3150u);
}

TEST_F(StatusLogTest, ALongJournalIsTakenInWholeNewestFirst)
{
    // Lines of every length, one longer than a read block, and a last line
    // a kill cut short before its end of line.
    std::vector<std::string> lines;
    {
        LogJournal journal;
        journal.Create(LogJournalPath(path));
        for (int i = 0; i < 6000; ++i) {
            std::string line = "line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 97), 'x');
            if (i == 4321)
                line = std::string(70000, 'y');
            if (i == 17)
                line.clear();
            ASSERT_TRUE(journal.Append(line));
            lines.push_back(line);
        }
    }
    const std::string cut = "cut sho";
    std::string bytes = ReadWholeFile(LogJournalPath(path)) + cut;
    WriteFileAtomic(LogJournalPath(path), bytes);
    lines.push_back(cut);

    FoldJournalIntoLog(path, LogJournalPath(path));

    const RichText saved = ReadRtf(ReadWholeFile(path));
    ASSERT_EQ(saved.paragraphs.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(saved.paragraphs[i].PlainText(), lines[lines.size() - 1 - i]) << i;
    EXPECT_FALSE(FileExists(LogJournalPath(path)));
}

TEST_F(StatusLogTest, AFileAnotherProgramWroteIsReadAndKept)
{
    test_support::writeFile(path, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 old {\\b bold}\\par second\\par}");
    StatusLog log(path);
    log.Open();
    EXPECT_EQ(log.NewestPlainLines(), (std::vector<std::string>{"old bold", "second"}));
    log.Add("new");
    log.Close();
    const RichText saved = ReadRtf(ReadWholeFile(path));
    ASSERT_EQ(saved.paragraphs.size(), 3u);
    EXPECT_EQ(saved.paragraphs[0].PlainText(), "new");
    EXPECT_EQ(saved.paragraphs[1].PlainText(), "old bold");
    EXPECT_TRUE(saved.paragraphs[1].runs.back().bold);
}

TEST_F(StatusLogTest, AMissingFileIsCreatedEmptyAndAMemoryLogWritesNothing)
{
    StatusLog log(path);
    log.Open();
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(fileLines().empty());
    log.Close();

    StatusLog memory("", 3);
    memory.Open();
    for (const char* line : {"a", "b", "c", "d"})
        memory.Add(line);
    memory.Close();
    EXPECT_EQ(memory.NewestPlainLines(), (std::vector<std::string>{"d", "c", "b"}));
    EXPECT_EQ(FindFiles(dir.path(), "*").size(), 1u);
}

TEST_F(StatusLogTest, KilledWritesLeftoversGoButMailFilesAndFreshWritesStay)
{
    auto age = [](const std::string& file, int seconds) {
        const utimbuf times{std::time(nullptr) - seconds, std::time(nullptr) - seconds};
        ASSERT_EQ(::utime(file.c_str(), &times), 0);
    };
    const std::string folder = dir.path() + "/";
    for (const char* name : {".key.eml.Ab12Cd", ".key.eml.zz99zz", "key.eml", ".hidden.eml", "note.Ab12Cd",
                             ".postproc.log.Qw3Er5"}) {
        test_support::writeFile(folder + name, "x");
        age(folder + name, 60);
    }
    test_support::writeFile(folder + ".fresh.eml.Xy12Zw", "x");

    const auto tenSecondsAgo = std::chrono::system_clock::now() - std::chrono::seconds(10);
    EXPECT_EQ(RemoveSiblingTemps(folder, tenSecondsAgo, "key.eml"), 2);
    EXPECT_FALSE(FileExists(folder + ".key.eml.Ab12Cd"));
    for (const char* kept : {"key.eml", ".hidden.eml", "note.Ab12Cd", ".postproc.log.Qw3Er5", ".fresh.eml.Xy12Zw"})
        EXPECT_TRUE(FileExists(folder + kept)) << kept;
    EXPECT_EQ(RemoveSiblingTemps(folder, tenSecondsAgo), 1);  // the log's; the fresh write stays
    EXPECT_TRUE(FileExists(folder + ".fresh.eml.Xy12Zw"));

    test_support::writeFile(folder + ".postproc.log.Qw3Er5", "x");
    StatusLog log(path);
    log.Open();
    EXPECT_FALSE(FileExists(folder + ".postproc.log.Qw3Er5"));
}

}  // namespace
