// The status log's lines and held lines, and the sound switch read anew for
// every sound.
#include "core_fixture.h"

#include "manager/core/sound_switch.h"
#include "manager/core/status_log.h"
#include "tests/support/scoped_asset.h"

namespace managertest {
namespace {

using manager::StatusLog;

struct LinesView : manager::LogView {
    std::vector<std::string> top;  // top line first
    void InsertTopLine(const std::string& line) override { top.insert(top.begin(), line); }
};

TEST(StatusLogLines, DateTimeThenTheTextOrTheError)
{
    const TDateTime when = platform::EncodeDate(2026, 3, 9) + platform::EncodeTime(14, 5, 7);
    EXPECT_EQ(StatusLog::LogLine("Disconnected", when), "03/09/26 14:05:07 -- Disconnected");
    EXPECT_EQ(StatusLog::ErrorLine("Disk full", when), "03/09/26 14:05:07 -- Error-Disk full");
    EXPECT_EQ(StatusLog::LastMessage("Disconnected", when), "03/09/26 14:05:07 Disconnected");
}

TEST(StatusLogLines, LinesBeforeTheViewAreKeptAndLandInOrder)
{
    StatusLog log;
    log.Add("first");
    log.Add("second");
    EXPECT_EQ(log.Held().size(), 2u);
    LinesView view;
    log.Attach(&view);
    log.Add("third");
    EXPECT_EQ(view.top, (std::vector<std::string>{"third", "second", "first"}));
    EXPECT_TRUE(log.Held().empty());
    log.Detach();
    log.Add("after");
    EXPECT_EQ(view.top.size(), 3u);
}

TEST(StatusLogLines, TheCounterCountsEveryError)
{
    StatusLog log;
    EXPECT_EQ(log.CountError(), 1);
    EXPECT_EQ(log.CountError(), 2);
    EXPECT_EQ(log.Errors(), 2);
}

class SoundSwitch : public ManagerCoreTest {};

TEST_F(SoundSwitch, ReadBeforeEverySoundAndNothingWithoutAFile)
{
    // No sound of that name is shipped: nothing plays, whatever the switch.
    EXPECT_EQ(manager::WaveToPlay(settings, "no-such-sound.wav"), "");
    test_support::ScopedAsset sound("click.wav", "RIFF");
    EXPECT_EQ(manager::WaveToPlay(settings, sound.name()), sound.path());
    writeSettings("[Misc]\nSoundsDisabled=1\n");
    EXPECT_EQ(manager::WaveToPlay(settings, sound.name()), "");
    writeSettings("[Misc]\nSoundsDisabled=0\n");
    EXPECT_EQ(manager::WaveToPlay(settings, sound.name()), sound.path());
}

}  // namespace
}  // namespace managertest
