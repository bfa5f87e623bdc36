// Fetching, bookmarks, locks, filters and key search on one cursor, with a
// second cursor on the same file standing for another program.
#include <gtest/gtest.h>

#include "table_fixture.h"
#include "tables/cursor_interface.h"
#include "xbase/sx.h"

using namespace tables;
using namespace tabletest;

namespace {

class TablesCursorMoves : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("rules.dbf", ruleFields(), {{"UNIQUE_ID", "UNIQUE_ID", true}, {"LINK_ID", "LINK_ID"}});
        addRows("rules.dbf", {{"r1", "A", "one"}, {"r2", "B", "two"}, {"r3", "A", "three"},
                              {"r4", "B", "four"}, {"r5", "A", "five"}});
        ASSERT_EQ(cursors().OpenDatabase(folder, db), kOk);
        h = open();
        other = open();
    }
    void TearDown() override {
        cursors().CloseCursor(h);
        cursors().CloseCursor(other);
        cursors().CloseDatabase(db);
        TablesTest::TearDown();
    }
    int open(const std::string& index = "") {
        static const std::string fox = "SXFOX";
        int handle = 0;
        EXPECT_EQ(cursors().OpenTable(db, "rules.dbf", &fox, index, index, false, false, handle), kOk);
        return handle;
    }
    // Record numbers of a full forward walk.
    std::vector<int32_t> walk(int handle) {
        std::vector<int32_t> seen;
        EXPECT_EQ(cursors().SetToBegin(handle), kOk);
        RecordInfo info;
        while (cursors().GetNextRecord(handle, false, nullptr, &info) == kOk) seen.push_back(info.recNo);
        return seen;
    }
    bool lockedElsewhere(int32_t recNo) {
        sx_Select(other);
        if (!sx_Rlock(recNo)) return true;
        sx_Unlock(recNo);
        return false;
    }
    int db = 0, h = 0, other = 0;
};

const std::vector<int32_t> kAll{1, 2, 3, 4, 5};

}  // namespace

TEST_F(TablesCursorMoves, WalksBothWaysAndStopsAtTheEnds) {
    EXPECT_EQ(walk(h), kAll);
    ASSERT_EQ(cursors().SetToEnd(h), kOk);
    std::vector<int32_t> back;
    RecordInfo info;
    while (cursors().GetPriorRecord(h, false, nullptr, &info) == kOk) back.push_back(info.recNo);
    EXPECT_EQ(back, (std::vector<int32_t>{5, 4, 3, 2, 1}));
    std::string buffer;
    EXPECT_EQ(cursors().GetPriorRecord(h, false, &buffer, nullptr), kBeginOfTable);
    // Past the last record the cursor stays at the end.
    ASSERT_EQ(cursors().SetToBookMark(h, 99), kOk);
    EXPECT_EQ(cursors().GetRecord(h, false, &buffer, nullptr), kEndOfTable);
    EXPECT_EQ(cursors().GetNextRecord(h, false, &buffer, nullptr), kEndOfTable);
    ASSERT_EQ(cursors().SetToBookMark(h, 99), kOk);
    ASSERT_EQ(cursors().GetPriorRecord(h, false, nullptr, &info), kOk);
    EXPECT_EQ(info.recNo, 5);
}

TEST_F(TablesCursorMoves, BookmarksCompareInIndexOrder) {
    ASSERT_EQ(cursors().SwitchToIndex(h, "LINK_ID"), kOk);
    EXPECT_EQ(walk(h), (std::vector<int32_t>{1, 3, 5, 2, 4}));
    int result = 0;
    ASSERT_EQ(cursors().CompareBookMarks(h, 5, 2, result), kOk);
    EXPECT_EQ(result, -1);
    ASSERT_EQ(cursors().SwitchToIndex(h, ""), kOk);
    ASSERT_EQ(cursors().CompareBookMarks(h, 5, 2, result), kOk);
    EXPECT_EQ(result, 1);
    int32_t count = 0;
    ASSERT_EQ(cursors().GetRecordCount(h, count), kOk);
    EXPECT_EQ(count, 5);
}

TEST_F(TablesCursorMoves, PerRecordFiltersSkipRuns) {
    int f = 0;
    ASSERT_EQ(cursors().AddFilter(h, "", 1, [](const std::string&, int32_t recNo) { return recNo == 1 || recNo == 5; }, f),
              kOk);
    EXPECT_EQ(walk(h), kAll);  // not active yet
    ASSERT_EQ(cursors().ActivateFilter(h, f), kOk);
    EXPECT_EQ(walk(h), (std::vector<int32_t>{1, 5}));
    ASSERT_EQ(cursors().DeactivateFilter(h, f), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, f), kOk);
    ASSERT_EQ(cursors().DropFilter(h, f), kOk);
    EXPECT_EQ(walk(h), kAll);
    ASSERT_EQ(cursors().AddFilter(h, "", 1, [](const std::string&, int32_t) { return false; }, f), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, f), kOk);
    EXPECT_TRUE(walk(h).empty());
}

TEST_F(TablesCursorMoves, FetchLocksOnlyTheRecordItReturns) {
    int f = 0;
    ASSERT_EQ(cursors().AddFilter(h, "", 1, [](const std::string&, int32_t recNo) { return recNo >= 4; }, f), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, f), kOk);
    ASSERT_EQ(cursors().SetToBegin(h), kOk);
    RecordInfo info;
    ASSERT_EQ(cursors().GetNextRecord(h, true, nullptr, &info), kOk);
    EXPECT_EQ(info.recNo, 4);
    EXPECT_TRUE(lockedElsewhere(4));
    for (int32_t r : {1, 2, 3}) EXPECT_FALSE(lockedElsewhere(r)) << r;
    ASSERT_EQ(cursors().ReleaseRecordLock(h, true), kOk);
    ASSERT_EQ(cursors().GetNextRecord(h, false, nullptr, &info), kOk);
    EXPECT_EQ(cursors().GetNextRecord(h, true, nullptr, &info), kEndOfTable);
    for (int32_t r : kAll) EXPECT_FALSE(lockedElsewhere(r)) << r;
    // Nor on a record the engine's filter hides.
    int hide = 0;
    ASSERT_EQ(cursors().AddFilter(h, "UNIQUE_ID <> 'r2'", 0, nullptr, hide), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, hide), kOk);
    ASSERT_EQ(cursors().SetToBookMark(h, 2), kOk);
    EXPECT_EQ(cursors().GetRecord(h, true, nullptr, nullptr), kRecordNotVisible);
    EXPECT_FALSE(lockedElsewhere(2));
    ASSERT_EQ(cursors().DropFilter(h, hide), kOk);
    // A record another cursor holds is refused.
    sx_Select(other);
    ASSERT_TRUE(sx_Rlock(1));
    ASSERT_EQ(cursors().DropFilter(h, f), kOk);
    ASSERT_EQ(cursors().SetToBookMark(h, 1), kOk);
    EXPECT_EQ(cursors().GetRecord(h, true, nullptr, nullptr), kRecordLocked);
}

TEST_F(TablesCursorMoves, AppendedRecordIsUnlockedUnlessAsked) {
    std::string record;
    ASSERT_EQ(cursors().InitRecord(h, record), kOk);
    record.replace(1, 2, "r6");
    ASSERT_EQ(cursors().InsertRecord(h, false, record), kOk);
    EXPECT_FALSE(lockedElsewhere(6));
    ASSERT_EQ(cursors().InsertRecord(h, true, record), kOk);
    EXPECT_TRUE(lockedElsewhere(7));
    ASSERT_EQ(cursors().ReleaseRecordLock(h, false), kOk);
    EXPECT_FALSE(lockedElsewhere(7));
    EXPECT_EQ(walk(other).size(), 7u);
}

TEST_F(TablesCursorMoves, TextFiltersJoinAndLeaveCleanly) {
    int a = 0, b = 0;
    ASSERT_EQ(cursors().AddFilter(h, "LINK_ID = 'A' .or. RULE = 'two'", 0, nullptr, a), kOk);
    ASSERT_EQ(cursors().AddFilter(h, "UNIQUE_ID <> 'r1'", 0, nullptr, b), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, 0), kOk);
    EXPECT_EQ(sx_DBFilter(), "(LINK_ID = 'A' .or. RULE = 'two') .and. (UNIQUE_ID <> 'r1')");
    EXPECT_EQ(walk(h), (std::vector<int32_t>{2, 3, 5}));
    ASSERT_EQ(cursors().DeactivateFilter(h, a), kOk);
    EXPECT_EQ(sx_DBFilter(), "UNIQUE_ID <> 'r1'");
    CursorProps props;
    ASSERT_EQ(cursors().GetCursorProps(h, props), kOk);
    EXPECT_EQ(props.filterCount, 2);
    // Dropping an inactive filter leaves its slot taken.
    ASSERT_EQ(cursors().DropFilter(h, a), kOk);
    ASSERT_EQ(cursors().GetCursorProps(h, props), kOk);
    EXPECT_EQ(props.filterCount, 2);
    ASSERT_EQ(cursors().DropFilter(h, b), kOk);
    EXPECT_EQ(sx_DBFilter(), "");
    EXPECT_EQ(walk(h), kAll);
    int bad = 0;
    ASSERT_EQ(cursors().AddFilter(h, "NOSUCHFIELD = 1", 0, nullptr, bad), kOk);
    EXPECT_EQ(cursors().ActivateFilter(h, bad), kBadFilterExpression);
}

TEST_F(TablesCursorMoves, FilterSlotsRunOut) {
    int f = 0;
    for (int i = 0; i < kFilterSlots; ++i) ASSERT_EQ(cursors().AddFilter(h, ".T.", 0, nullptr, f), kOk);
    EXPECT_EQ(f, kFilterSlots);
    EXPECT_EQ(cursors().AddFilter(h, ".T.", 0, nullptr, f), kNoFilterSlot);
    EXPECT_EQ(cursors().ActivateFilter(h, kFilterSlots + 1), kInvalidHandle);
}

TEST_F(TablesCursorMoves, LookupFindsOnlyWhatTheFilterShowsAndKeepsTheFilter) {
    int filter = 0, lookup = 0;
    ASSERT_EQ(cursors().AddFilter(h, "UNIQUE_ID <> 'r1'", 0, nullptr, filter), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, filter), kOk);
    ASSERT_EQ(cursors().AddFilter(h, "LINK_ID = 'A'", 2, nullptr, lookup), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, lookup), kOk);
    RecordInfo info;
    ASSERT_EQ(cursors().GetNextRecord(h, false, nullptr, &info), kOk);
    EXPECT_EQ(info.recNo, 3);
    ASSERT_EQ(cursors().DropFilter(h, lookup), kOk);
    EXPECT_EQ(sx_DBFilter(), "UNIQUE_ID <> 'r1'");
    EXPECT_EQ(walk(h), (std::vector<int32_t>{2, 3, 4, 5}));
    // No match: the next fetch is at the end.
    ASSERT_EQ(cursors().AddFilter(h, "LINK_ID = 'Z'", 2, nullptr, lookup), kOk);
    ASSERT_EQ(cursors().ActivateFilter(h, lookup), kOk);
    EXPECT_EQ(cursors().GetNextRecord(h, false, nullptr, &info), kEndOfTable);
}

TEST_F(TablesCursorMoves, KeySearchKinds) {
    std::string buffer;
    EXPECT_EQ(cursors().SetToKey(h, keySearchEqual, true, "r3"), kNoActiveOrder);
    ASSERT_EQ(cursors().SwitchToIndex(h, "UNIQUE_ID"), kOk);
    ASSERT_EQ(cursors().SetToBookMark(h, 2), kOk);
    EXPECT_EQ(cursors().SetToKey(h, keySearchEqual, true, "r9"), kKeyNotFound);
    EXPECT_EQ(sx_RecNo(), 2);  // a failed exact search stays put
    EXPECT_EQ(cursors().SetToKey(h, keySearchEqual, true, "r3"), kOk);
    EXPECT_EQ(sx_RecNo(), 3);
    EXPECT_EQ(cursors().SetToKey(h, keySearchGreater, true, "r3"), kOk);
    EXPECT_EQ(sx_RecNo(), 4);
    EXPECT_EQ(cursors().SetToKey(h, keySearchGreater, true, "r"), kOk);
    EXPECT_TRUE(sx_Eof());
    EXPECT_EQ(cursors().SetToKey(h, keySearchGreaterEqual, true, "r35"), kOk);
    EXPECT_EQ(sx_RecNo(), 4);
    // The search leaves the exact and soft seek settings as they were.
    EXPECT_EQ(sx_SysProp(SX_SP_GET_EXACT, 0), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_GET_SOFTSEEK, 0), 0);
    // A key from a record buffer.
    std::string record;
    ASSERT_EQ(cursors().InitRecord(h, record), kOk);
    record.replace(1, 2, "r5");
    EXPECT_EQ(cursors().GetRecordForKey(h, false, 1, record, &buffer), kOk);
    EXPECT_EQ(buffer.substr(1, 2), "r5");
    std::string key;
    ASSERT_EQ(cursors().ExtractKey(h, &record, key), kOk);
    EXPECT_EQ(key, "r5" + std::string(18, ' '));
    ASSERT_EQ(cursors().ExtractKey(h, nullptr, key), kOk);
    EXPECT_EQ(key.substr(0, 2), "r5");
}

TEST_F(TablesCursorMoves, RangesOnKeys) {
    ASSERT_EQ(cursors().SwitchToIndex(h, "LINK_ID"), kOk);
    const std::string b = "B" + std::string(19, ' ');
    ASSERT_EQ(cursors().SetRange(h, b, b), kOk);
    EXPECT_EQ(walk(h), (std::vector<int32_t>{2, 4}));
    // Lifting the range keeps the cursor where it was.
    ASSERT_EQ(cursors().SetToBookMark(h, 4), kOk);
    ASSERT_EQ(cursors().ResetRange(h), kOk);
    EXPECT_EQ(sx_RecNo(), 4);
    EXPECT_EQ(walk(h).size(), 5u);
    // A blank key is a real range: no row has a blank LINK_ID.
    const std::string blank(20, ' ');
    ASSERT_EQ(cursors().SetRange(h, blank, blank), kOk);
    EXPECT_TRUE(walk(h).empty());
}
