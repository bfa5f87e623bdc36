// Journals left by a writer that died: a complete one is undone by whoever
// takes the lock next (opening, reading or writing), one cut short or not
// belonging to the file as it stands changes nothing.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cdx_test_util.h"
#include "xbase/cdx/cdx_journal.h"
#include "xbase/error.h"

using namespace xbase;
using cdxtest::bytesOf;
using cdxtest::entries;
using cdxtest::tag;

namespace {

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// What a writer killed after its journal but during its page writes leaves:
// the journal of every page of the file as it was.
void journalOf(const std::string& path, const std::string& before) {
    std::vector<cdx::CdxJournal::SavedPage> pages(before.size() / cdx::kPageSize);
    for (size_t i = 0; i < pages.size(); ++i) {
        pages[i].offset = uint32_t(i * cdx::kPageSize);
        std::copy_n(before.data() + i * cdx::kPageSize, cdx::kPageSize, pages[i].bytes.begin());
    }
    cdx::CdxJournal(path).save(off_t(before.size()), pages);
}

// An index with tag K, its bytes, and the same index after one more change
// that rebuilt K elsewhere in the file and added a tag (splits, freed and
// appended pages, a new directory entry).
struct TwoStates {
    std::string path, before, after;
};

TwoStates twoStates(const cdxtest::ScratchDir& dir) {
    TwoStates s;
    s.path = dir.file("j.cdx");
    auto index = CdxIndex::create(s.path);
    index->createTag(tag("K"), entries(300, "a"));
    index->createTag(tag("OTHER"), entries(50, "o"));
    s.before = bytesOf(s.path);
    index->createTag(tag("K"), entries(900, "b"));
    s.after = bytesOf(s.path);
    return s;
}

}  // namespace

TEST(CdxJournal, AnUnfinishedChangeIsUndoneByTheNextOpen) {
    cdxtest::ScratchDir dir;
    const TwoStates s = twoStates(dir);
    ASSERT_GT(s.after.size(), s.before.size());
    journalOf(s.path, s.before);

    auto index = CdxIndex::open(s.path, false);
    EXPECT_TRUE(cdxtest::journalHoldsNothing(s.path));
    EXPECT_EQ(bytesOf(s.path), s.before);
    EXPECT_EQ(cdxtest::walkForward(*index, "K").size(), 300u);
    EXPECT_EQ(cdxtest::checkTag(s.path, "K"), 300u);
    cdxtest::checkFreeList(s.path);
    // And the index goes on taking changes.
    index->insert("K", {"zzz", 999});
    EXPECT_EQ(cdxtest::checkTag(s.path, "K"), 301u);
}

TEST(CdxJournal, OpenReadersAndWritersMeetingAJournalUndoItFirst) {
    for (const char* who : {"reader", "read-only reader", "writer"}) {
        SCOPED_TRACE(who);
        cdxtest::ScratchDir dir;
        const TwoStates s = twoStates(dir);
        const bool readOnly = std::string(who) == "read-only reader";
        auto index = CdxIndex::open(s.path, readOnly);
        ASSERT_EQ(cdxtest::walkForward(*index, "K").size(), 900u);   // the later pages are cached here now
        journalOf(s.path, s.before);

        if (std::string(who) == "writer") {
            index->insert("K", {"zzz", 999});
            EXPECT_EQ(cdxtest::walkForward(*index, "K").size(), 301u);
        } else {
            EXPECT_EQ(cdxtest::walkForward(*index, "K").size(), 300u);
            EXPECT_EQ(index->first("K")->key.substr(0, 1), "a");
            EXPECT_EQ(bytesOf(s.path), s.before);
        }
        EXPECT_TRUE(cdxtest::journalHoldsNothing(s.path));
        cdxtest::checkTag(s.path, "K");
        cdxtest::checkFreeList(s.path);
    }
}

TEST(CdxJournal, JournalsThatHoldNoUnfinishedChangeAreDroppedUnused) {
    struct Damage {
        const char* what;
        std::function<void(const std::string& journal)> apply;
    };
    const std::vector<Damage> damages = {
        {"cut short", [](const std::string& j) { std::filesystem::resize_file(j, std::filesystem::file_size(j) - 100); }},
        {"only part of its head", [](const std::string& j) { std::filesystem::resize_file(j, 10); }},
        {"a saved byte changed",
         [](const std::string& j) {
             std::string b = bytesOf(j);
             b[b.size() / 2] ^= 0x20;
             writeBytes(j, b);
         }},
        {"a byte more", [](const std::string& j) { writeBytes(j, bytesOf(j) + "x"); }},
        {"not a journal", [](const std::string& j) { writeBytes(j, std::string(2000, 'x')); }},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.what);
        cdxtest::ScratchDir dir;
        const TwoStates s = twoStates(dir);
        journalOf(s.path, s.before);
        d.apply(s.path + "-journal");
        auto index = CdxIndex::open(s.path, false);
        EXPECT_TRUE(cdxtest::journalHoldsNothing(s.path));
        EXPECT_EQ(bytesOf(s.path), s.after);
        EXPECT_EQ(cdxtest::walkForward(*index, "K").size(), 900u);
    }

    // A complete journal whose change other changes have followed since (left
    // over beside a file that moved on) must not be put back over them.
    cdxtest::ScratchDir dir;
    const TwoStates s = twoStates(dir);
    {
        auto index = CdxIndex::open(s.path, false);
        index->insert("K", {"zzz", 999});
    }
    const std::string later = bytesOf(s.path);
    journalOf(s.path, s.before);
    auto index = CdxIndex::open(s.path, false);
    EXPECT_TRUE(cdxtest::journalHoldsNothing(s.path));
    EXPECT_EQ(bytesOf(s.path), later);
    EXPECT_EQ(cdxtest::walkForward(*index, "K").size(), 901u);
}

// The index on a medium this process may only read: without a journal it
// reads as usual, with a complete one it refuses clearly rather than read a
// half-changed tree.
TEST(CdxJournal, AReadOnlyFileWithAnUnfinishedChangeIsRefusedClearly) {
    cdxtest::ScratchDir dir;
    const TwoStates s = twoStates(dir);
    const std::string folder = std::filesystem::path(s.path).parent_path();
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(s.path.c_str(), 0444), 0);

    // 0 read as usual, 1 refused with a clear error, else a fault.
    auto readAs = [&](bool expectRefusal) {
        const pid_t pid = fork();
        if (pid == 0) {
            int rc = 9;
            try {
                // The superuser may write anything: read as somebody else.
                if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(8);
                auto index = CdxIndex::open(s.path, true);
                rc = cdxtest::walkForward(*index, "K").size() == 900 ? 0 : 7;
            } catch (const XbaseError& e) {
                const std::string text = e.what();
                rc = text.find(s.path) != std::string::npos && text.find("unfinished change") != std::string::npos ? 1 : 6;
            } catch (...) {
                rc = 5;
            }
            _exit(rc);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), expectRefusal ? 1 : 0);
    };

    readAs(false);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    journalOf(s.path, s.before);
    std::filesystem::resize_file(s.path + "-journal", std::filesystem::file_size(s.path + "-journal") - 1);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    {
        SCOPED_TRACE("a journal cut short is no unfinished change");
        readAs(false);
    }
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    journalOf(s.path, s.before);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    {
        SCOPED_TRACE("a complete journal");
        readAs(true);
    }
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(s.path.c_str(), 0644), 0);
    EXPECT_EQ(bytesOf(s.path), s.after);   // nothing was written meanwhile
}

// Journals written by earlier versions carry a checksum taken byte by byte
// under mark 1: a writer that died under such a version is still undone.
TEST(CdxJournal, AJournalOfTheEarlierFormatIsStillUndone) {
    cdxtest::ScratchDir dir;
    const TwoStates s = twoStates(dir);
    journalOf(s.path, s.before);
    std::string j = bytesOf(s.path + "-journal");
    j[7] = '1';
    uint64_t h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < j.size(); ++i)
        if (i < 24 || i >= 32) h = (h ^ static_cast<unsigned char>(j[i])) * 0x100000001b3ull;
    for (int b = 0; b < 8; ++b) j[24 + size_t(b)] = static_cast<char>(h >> (8 * b));
    writeBytes(s.path + "-journal", j);

    auto index = CdxIndex::open(s.path, false);
    EXPECT_EQ(bytesOf(s.path), s.before);
    EXPECT_TRUE(cdxtest::journalHoldsNothing(s.path));
}

// A journal kept open between changes is written over the one before: a
// shorter change must still be undone exactly, and one whose change was
// finished holds nothing for the next open.
TEST(CdxJournal, AJournalKeptOpenUndoesExactlyItsOwnChange) {
    cdxtest::ScratchDir dir;
    const TwoStates s = twoStates(dir);
    std::vector<cdx::CdxJournal::SavedPage> pages(s.before.size() / cdx::kPageSize);
    for (size_t i = 0; i < pages.size(); ++i) {
        pages[i].offset = uint32_t(i * cdx::kPageSize);
        std::copy_n(s.before.data() + i * cdx::kPageSize, cdx::kPageSize, pages[i].bytes.begin());
    }
    auto longer = pages;
    longer.insert(longer.end(), pages.begin(), pages.end());
    {
        cdx::CdxJournal journal(s.path);
        journal.setKeepOpen(true);
        journal.save(off_t(s.before.size()), longer);
        journal.discard();
        EXPECT_FALSE(cdxtest::journalHoldsNothing(s.path));   // kept, its mark cleared
        const std::string cleared = bytesOf(s.path + "-journal");
        {
            // A writer killed between changes leaves the cleared journal: it changes nothing.
            writeBytes(s.path + ".copy", s.after);
            writeBytes(s.path + ".copy-journal", cleared);
            auto index = CdxIndex::open(s.path + ".copy", false);
            EXPECT_EQ(bytesOf(s.path + ".copy"), s.after);
            index->insert("K", {"zzz", 999});
            EXPECT_TRUE(cdxtest::journalHoldsNothing(s.path + ".copy"));
        }
        journal.save(off_t(s.before.size()), pages);
        // Killed here: the journal stays as it is.
        writeBytes(s.path + ".kept", bytesOf(s.path + "-journal"));
    }
    writeBytes(s.path + "-journal", bytesOf(s.path + ".kept"));
    auto index = CdxIndex::open(s.path, false);
    EXPECT_EQ(bytesOf(s.path), s.before);
    EXPECT_EQ(cdxtest::checkTag(s.path, "K"), 300u);
    EXPECT_TRUE(cdxtest::journalHoldsNothing(s.path));
}

// Closing an index kept as its only writer's leaves no journal behind.
TEST(CdxJournal, ASoleWriterLeavesNoJournalOnClose) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("s.cdx");
    {
        auto index = CdxIndex::create(path);
        index->createTag(tag("K"), entries(300, "a"));
        index->setSoleWriter(true);
        for (int i = 0; i < 200; ++i) index->insert("K", {"k" + std::to_string(i), uint32_t(1000 + i)});
        EXPECT_EQ(cdxtest::checkTag(path, "K"), 500u);
    }
    EXPECT_TRUE(cdxtest::journalHoldsNothing(path));
    auto index = CdxIndex::open(path, false);
    EXPECT_EQ(cdxtest::walkForward(*index, "K").size(), 500u);
}
