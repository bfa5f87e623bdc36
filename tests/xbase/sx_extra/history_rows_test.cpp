// A long run of appends to a table laid out like the processor's action
// history: keys as wide as a tag can hold, written by a shared open the way
// the processor writes them (a blank row first, then the whole record).

#include "sx_extra_support.h"

#include <cstdio>

namespace sxextra {
namespace {

constexpr int kRows = 10000;
constexpr int kRecordLength = 1 + 20 + 240 + 20 + 20 + 254 + 8 + 6;

class HistoryRows : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        using xbasetest::fieldDef;
        xbase::createTable(path("actions.dbf"),
                           {fieldDef("UNIQUE_ID", 'C', 20), fieldDef("MESSAGE_ID", 'C', 240), fieldDef("NODE_ID", 'C', 20),
                            fieldDef("AGENT_ID", 'C', 20), fieldDef("ACTION", 'C', 254), fieldDef("CREATEON", 'D', 8),
                            fieldDef("CREATEAT", 'C', 6)});
        ASSERT_GT(sx_Use(path("actions.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
        for (const char* t : {"MESSAGE_ID", "UNIQUE_ID", "AGENT_ID", "NODE_ID"}) tag(t, t);
        ASSERT_TRUE(sx_Close());
        ASSERT_GT(open("actions.dbf"), 0) << xbase::lastErrorText();
    }

    // Row i as the processor writes it: the clock's identifier, a message
    // key that grows with the clock, one account and one attached agent.
    static std::string row(int i) {
        std::string rec(kRecordLength, ' ');
        auto put = [&](int offset, const std::string& v) { rec.replace(static_cast<std::size_t>(offset), v.size(), v); };
        char id[32];
        std::snprintf(id, sizeof id, "20261209%06dAutoRe", 154700 + i / 40);
        char key[64];
        std::snprintf(key, sizeof key, "<2026120915%06d.%d@mail.example.com>", i, i % 7);
        put(1, id);
        put(21, key);
        put(261, "13200901234120912");
        put(281, "20261209120000AUTORE");
        put(301, "AutoReply Generated, SUBJECT: Re: message " + std::to_string(i));
        put(555, "20261209");
        put(563, "15:47");
        return rec;
    }
};

TEST_F(HistoryRows, TenThousandAppendsInKeyOrderAllLandAndStaySearchable) {
    for (int i = 0; i < kRows; ++i) {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK) << "row " << i << ": " << xbase::lastErrorText();
        ASSERT_TRUE(sx_PutRecord(row(i).c_str())) << "row " << i << ": " << xbase::lastErrorText();
        sx_Unlock(sx_RecNo());
    }
    EXPECT_EQ(sx_RecCount(), kRows);
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("MESSAGE_ID")));
    const std::vector<int> walked = walkForward();
    ASSERT_EQ(walked.size(), std::size_t(kRows));
    for (int i = 0; i < kRows; ++i) ASSERT_EQ(walked[std::size_t(i)], i + 1);
    for (int i : {0, 4321, kRows - 1}) {
        EXPECT_TRUE(sx_Seek(row(i).substr(21, 240).c_str())) << i;
        EXPECT_EQ(sx_RecNo(), i + 1);
    }
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("NODE_ID")));
    EXPECT_EQ(walkForward().size(), std::size_t(kRows));
}

}  // namespace
}  // namespace sxextra
