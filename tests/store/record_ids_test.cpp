// Record identifiers made with a fixed clock and random source.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/datetime.h"
#include "store/record_ids.h"
#include "store/store_error.h"

namespace {

TDateTime at(int msec)
{
    return platform::EncodeDate(2026, 3, 4) + platform::EncodeTime(7, 8, 9, msec);
}

struct FixedSources {
    TDateTime now = at(0);
    int random = 0;
    std::vector<int> bounds;
    std::vector<int> pauses;

    store::IdSources sources()
    {
        return {[this] { return now; },
                [this](int bound) {
                    bounds.push_back(bound);
                    return random;
                },
                [this](int ms) { pauses.push_back(ms); }};
    }
};

TEST(StoreAccountId, IsMillisecondsRandomClockAndRandomPrefix)
{
    FixedSources f;
    f.now = at(537);
    f.random = 42;
    store::RecordIds ids(f.sources());
    EXPECT_EQ(ids.AccountId(), "537" "42" "0907260304" "42");
    EXPECT_EQ(f.bounds, std::vector<int>{537});  // 0 <= r < ms
    EXPECT_EQ(f.pauses, std::vector<int>{40});

    f.random = 123;
    EXPECT_EQ(ids.AccountId(), "537" "123" "0907260304" "123");
}

TEST(StoreAccountId, FirstMillisecondOfASecondGivesThirteenCharacters)
{
    FixedSources f;
    f.now = at(0);
    f.random = 77;  // never asked: there is no number below 0
    store::RecordIds ids(f.sources());
    const std::string id = ids.AccountId();
    EXPECT_EQ(id, "00" "0907260304" "0");
    EXPECT_EQ(id.size(), 13u);
    EXPECT_TRUE(f.bounds.empty());
}

TEST(StoreAccountId, LongestIsNineteenCharacters)
{
    FixedSources f;
    f.now = at(999);
    f.random = 998;
    EXPECT_EQ(store::RecordIds(f.sources()).AccountId().size(), 19u);
}

TEST(StoreClockIds, TimeFollowedByTheNamePrefix)
{
    FixedSources f;
    f.now = at(0);
    store::RecordIds ids(f.sources());
    EXPECT_EQ(ids.FolderId("Work"), "20260304070809Wo");
    EXPECT_EQ(ids.FolderId("W"), "20260304070809W");  // 15 characters
    EXPECT_EQ(ids.FolderId(""), "20260304070809");    // the time alone
    EXPECT_EQ(ids.RestrictionId("Spam"), "20260304070809Spam");
    // Blanks count as characters of the name.
    EXPECT_EQ(ids.RestrictionId("No spam at all"), "20260304070809No spa");
    EXPECT_EQ(ids.DefaultRestrictionId("53742090726030442"), "20260304070809537420");
    EXPECT_EQ(ids.AttachedAgentId("Auto answer"), "20260304070809Auto a");
    EXPECT_EQ(ids.HistoryId("Message Forwarded to: a@b"), "20260304070809Messag");
}

TEST(StoreClockIds, ANameIsNeverCutInsideACharacter)
{
    FixedSources f;
    store::RecordIds ids(f.sources());
    // "a" and four two-byte letters: the sixth byte is the first half of the
    // third letter, which is left out whole.
    EXPECT_EQ(ids.RestrictionId("a\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"), "20260304070809a\xC3\xA9\xC3\xA9");
    EXPECT_EQ(ids.RestrictionId("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"), "20260304070809\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_LE(ids.HistoryId("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC").size(), 20u);
}

TEST(StoreClockIds, SameSecondAndPrefixGiveTheSameIdentifier)
{
    FixedSources f;
    store::RecordIds ids(f.sources());
    EXPECT_EQ(ids.HistoryId("Played Sound: a.wav"), ids.HistoryId("Played Sound: b.wav"));
}

TEST(StoreUniqueIds, AClockIdentifierTakenMovesToTheNextFreeSecond)
{
    FixedSources f;
    store::RecordIds ids(f.sources());
    std::set<std::string> taken{"20260304070809Wo", "20260304070810Wo"};
    const auto holds = [&](const std::string& id) { return taken.count(id) > 0; };
    EXPECT_EQ(ids.UniqueClockId("Work", 2, holds), "20260304070811Wo");
    // Seconds carry into minutes, hours and days as a clock would.
    f.now = platform::EncodeDate(2026, 12, 31) + platform::EncodeTime(23, 59, 59, 0);
    taken = {"20261231235959Wo"};
    EXPECT_EQ(ids.UniqueClockId("Work", 2, holds), "20270101000000Wo");
}

TEST(StoreUniqueIds, ATakenAccountIdentifierIsMadeAfresh)
{
    FixedSources f;
    f.now = at(500);
    f.random = 1;
    store::RecordIds ids(f.sources());
    int asked = 0;
    const std::string first = ids.AccountId();
    const auto holds = [&](const std::string& id) {
        ++asked;
        if (id == first) {
            f.random = 2;  // the next attempt draws another number
            return true;
        }
        return false;
    };
    EXPECT_EQ(ids.UniqueAccountId(holds), "500" "2" "0907260304" "2");
    EXPECT_EQ(asked, 2);
}

TEST(StoreUniqueIds, NoFreeIdentifierIsAnError)
{
    FixedSources f;
    store::RecordIds ids(f.sources());
    const auto always = [](const std::string&) { return true; };
    EXPECT_THROW(ids.UniqueAccountId(always), store::StoreError);
    EXPECT_THROW(ids.UniqueClockId("x", 6, always), store::StoreError);
}

}  // namespace
