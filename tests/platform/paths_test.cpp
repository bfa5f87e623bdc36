#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using test_support::ScopedEnv;

TEST(Paths, SettingsFolderByPrecedenceCreatedOnDemand)
{
    test_support::TempDir dir;
    ScopedEnv home("HOME", dir.file("home"));
    {
        ScopedEnv own("TARSEL_CONFIG_DIR", dir.file("own"));
        ScopedEnv xdg("XDG_CONFIG_HOME", dir.file("xdg"));
        EXPECT_EQ(ConfigDir(), dir.file("own/"));
        EXPECT_TRUE(DirectoryExists(dir.file("own")));
    }
    {
        ScopedEnv own("TARSEL_CONFIG_DIR", "");  // empty counts as unset
        ScopedEnv xdg("XDG_CONFIG_HOME", dir.file("xdg"));
        EXPECT_EQ(ConfigDir(), dir.file("xdg/tarsel/"));
    }
    ScopedEnv own("TARSEL_CONFIG_DIR", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(ConfigDir(), dir.file("home/.config/tarsel/"));
    EXPECT_TRUE(DirectoryExists(dir.file("home/.config/tarsel")));
}

TEST(Paths, ProgramFolderByPrecedence)
{
    ScopedEnv home("HOME", "/home/u/");
    {
        ScopedEnv own("TARSEL_HOME", "/srv/tarsel");
        ScopedEnv xdg("XDG_DATA_HOME", "/x");
        EXPECT_EQ(ProgramDir(), "/srv/tarsel/");
    }
    ScopedEnv own("TARSEL_HOME", nullptr);
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/x/data");
        EXPECT_EQ(ProgramDir(), "/x/data/tarsel/");
    }
    ScopedEnv xdg("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(ProgramDir(), "/home/u/.local/share/tarsel/");

    ScopedEnv cache("XDG_CACHE_HOME", nullptr);
    EXPECT_EQ(CacheDir(), "/home/u/.cache/tarsel/");
}

TEST(Paths, AssetsAreFoundInTheShareFoldersWithoutRegardToCase)
{
    test_support::TempDir dir;
    ForceDirectories(dir.file("second/tarsel"));
    WriteFileAtomic(dir.file("second/tarsel/About.WAV"), "RIFF");
    ScopedEnv dataDirs("XDG_DATA_DIRS", dir.file("first:") + dir.file("second"));
    EXPECT_EQ(FindAsset("about.wav"), dir.file("second/tarsel/About.WAV"));
    EXPECT_EQ(FindAsset("missing.wav"), "");

    const std::string exe = ExecutableDir();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.back(), '/');
    EXPECT_TRUE(DirectoryExists(exe));
}

}  // namespace
