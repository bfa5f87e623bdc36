// Rows appended under an exclusive open take each key when a write changes
// it and the others when the row is committed (a movement, a commit, the
// next append, a close): the tags must end as a rebuild from the records
// would make them, the open's own reads must see the row, and a writer that
// dies must leave every finished write in its tags.

#include "sx_extra_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace sxextra {
namespace {

class ExclusiveAppend : public SxTest {
protected:
    void makeTagged() {
        ASSERT_GT(makeTable(), 0) << xbase::lastErrorText();
        tag("NAME", "NAME");
        tag("GROUP", "GROUP", true);
        tag("N", "STR(N,4)");
        tag("ACTIVE", "NAME", false, false, "ACTIVE");
        ASSERT_TRUE(sx_Close());
        openExclusive();
    }
    void openExclusive() {
        ASSERT_GT(sx_Use(path("people.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    }
    // Every tag's walk, as record numbers.
    static std::vector<Recs> walks() {
        std::vector<Recs> out;
        for (const char* t : {"NAME", "GROUP", "N", "ACTIVE"}) {
            EXPECT_TRUE(sx_SetOrder(sx_TagArea(t))) << t;
            out.push_back(walkForward());
        }
        return out;
    }
    // The walks of the tags as they are, then of the same tags built afresh.
    std::pair<std::vector<Recs>, std::vector<Recs>> keptAndRebuilt() {
        EXPECT_TRUE(sx_Close());
        EXPECT_GT(open("people.dbf"), 0);
        const auto kept = walks();
        EXPECT_TRUE(sx_Close());
        openExclusive();
        tag("NAME", "NAME");
        tag("GROUP", "GROUP", true);
        tag("N", "STR(N,4)");
        tag("ACTIVE", "NAME", false, false, "ACTIVE");
        return {kept, walks()};
    }
    // Runs body in a child that ends without closing anything, as a killed writer would.
    static void inDyingWriter(void (*body)()) {
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            body();
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
};

TEST_F(ExclusiveAppend, TagsEndAsARebuildWouldMakeThemWhateverCommitsTheRow) {
    makeTagged();
    for (int i = 0; i < 240; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "R%03d", (i * 53) % 240);
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK) << xbase::lastErrorText();
        if (i % 7 == 0) continue;   // a row left blank
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, i % 5 == 0 ? "FIRST" : name));
        if (i % 5 == 0) {
            ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name));   // the first key must not stay
        }
        if (i % 3 != 0) {
            ASSERT_TRUE(sx_Replace("GROUP", SX_R_CHAR, i % 2 ? "ODD" : "EVEN"));
        }
        if (i % 4 != 0) {
            ASSERT_TRUE(replaceNumber("N", i));
        }
        ASSERT_TRUE(replaceLogical("ACTIVE", i % 6 != 1));
        if (i % 2 == 0) {
            ASSERT_TRUE(sx_Replace("DATE", SX_R_DATESTR, "01/02/03"));   // moves no key
        }
        if (i % 11 == 0) {
            ASSERT_TRUE(sx_Delete());
        }
        switch (i % 9) {
        case 1: ASSERT_TRUE(sx_Commit()); break;
        case 2: sx_Go(1); break;
        case 3: sx_Skip(-1); break;
        case 4:
            sx_SetOrder(sx_TagArea("NAME"));
            EXPECT_TRUE(sx_Seek(name)) << name;
            sx_SetOrder(0);
            break;
        case 5: ASSERT_TRUE(sx_Close()); openExclusive(); break;
        default: break;   // the next append commits it
        }
    }
    const auto [kept, rebuilt] = keptAndRebuilt();
    ASSERT_EQ(kept.size(), rebuilt.size());
    for (std::size_t t = 0; t < kept.size(); ++t) EXPECT_EQ(kept[t], rebuilt[t]) << "tag " << t;
    EXPECT_EQ(kept[0].size(), 240u);
    EXPECT_EQ(kept[1].size(), 3u);   // unique: blank, EVEN, ODD
    sx_SetOrder(0);
    for (int i = 0; i < 240; i += 2) {
        if (i % 7 == 0) continue;
        sx_Go(i + 1);
        EXPECT_EQ(sx_GetDateString("DATE"), "01/02/03") << i;
    }
}

TEST_F(ExclusiveAppend, AWriteMovesTheKeysWhoseFieldsFlagOrSettingsChanged) {
    makeTagged();
    tag("AB", "IIF(NAME = 'AB', 'Y', 'N')");   // follows SET EXACT
    tag("LIVE", "NAME", false, false, "!DELETED()");
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "ABC"));
    sx_SetExact(1);
    ASSERT_TRUE(sx_Replace("GROUP", SX_R_CHAR, "G"));   // a field neither tag reads
    ASSERT_TRUE(sx_Delete());
    ASSERT_TRUE(sx_Commit());
    sx_SetExact(0);
    const auto keptAB = (sx_SetOrder(sx_TagArea("AB")), walkForward());
    const auto keptLive = (sx_SetOrder(sx_TagArea("LIVE")), walkForward());
    EXPECT_EQ(keptLive, Recs{});
    sx_SetOrder(sx_TagArea("AB"));
    EXPECT_FALSE(sx_Seek("Y"));   // worked out under SET EXACT ON: "ABC" is not "AB"
    EXPECT_EQ(keptAB, Recs({1}));
}

TEST_F(ExclusiveAppend, BlankRowsTakeTheKeysOfTheirOwnRecordNumbers) {
    makeTagged();
    tag("R", "STR(RECNO(),5)");
    for (int i = 0; i < 3; ++i) ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Commit());
    sx_SetOrder(sx_TagArea("R"));
    for (const char* key : {"    1", "    2", "    3"}) EXPECT_TRUE(sx_Seek(key)) << key;
    sx_SetOrder(sx_TagArea("NAME"));
    EXPECT_EQ(walkForward(), Recs({1, 2, 3}));
}

TEST_F(ExclusiveAppend, TheOpenReadsAndFindsTheRowBeforeItIsCommitted) {
    makeTagged();
    append("ALPHA", 5);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "BETA"));
    ASSERT_TRUE(replaceNumber("N", 7));
    EXPECT_EQ(sx_GetTrimString("NAME"), "BETA");
    EXPECT_EQ(sx_RecNo(), 2);
    // An order read while the row is open finds all of its keys, written or not.
    sx_SetOrder(sx_TagArea("GROUP"));
    EXPECT_EQ(walkForward(), Recs({1}));   // unique: the blank group is record 1's
    sx_SetOrder(sx_TagArea("N"));
    EXPECT_EQ(walkForward(), Recs({1, 2}));
    sx_SetOrder(sx_TagArea("NAME"));
    EXPECT_TRUE(sx_Seek("BETA"));
    EXPECT_EQ(sx_RecNo(), 2);
    sx_SetOrder(sx_TagArea("ACTIVE"));
    EXPECT_EQ(walkForward(), Recs({1}));   // its condition is not met yet
}

TEST_F(ExclusiveAppend, AWriterThatDiesKeepsEveryFinishedWriteAndEveryCommittedRow) {
    makeTagged();
    ASSERT_TRUE(sx_Close());
    static std::string table;
    table = path("people.dbf");
    inDyingWriter([] {
        if (sx_Use(table.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX) == 0) _exit(2);
        if (sx_AppendEx() != SX_APPEND_OK || !sx_Replace("NAME", SX_R_CHAR, "COMMITTED")) _exit(3);
        // A field no tag uses, written last, still reaches the file at the commit.
        if (!sx_Replace("DATE", SX_R_DATESTR, "03/04/05") || !sx_Commit()) _exit(3);
        if (sx_AppendEx() != SX_APPEND_OK || !sx_Replace("NAME", SX_R_CHAR, "WRITTEN")) _exit(4);
    });
    ASSERT_GT(open("people.dbf"), 0);
    ASSERT_EQ(sx_RecCount(), 2);
    sx_SetOrder(sx_TagArea("NAME"));
    EXPECT_TRUE(sx_Seek("COMMITTED"));
    EXPECT_EQ(sx_GetDateString("DATE"), "03/04/05");
    EXPECT_TRUE(sx_Seek("WRITTEN"));
    // The committed row has the keys it was never written for.
    sx_SetOrder(sx_TagArea("N"));
    EXPECT_EQ(walkForward(), Recs({1}));
    sx_SetOrder(sx_TagArea("GROUP"));
    EXPECT_EQ(walkForward(), Recs({1}));
    // The next writer gives the unfinished row its other keys when it writes it.
    ASSERT_TRUE(sx_Close());
    openExclusive();
    sx_Go(2);
    ASSERT_TRUE(replaceNumber("N", 3));
    sx_SetOrder(sx_TagArea("N"));
    EXPECT_EQ(walkForward(), Recs({1, 2}));
}

}  // namespace
}  // namespace sxextra
