#include "platform/files.h"
#include "platform/paths.h"
#include "scoped_env.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using platform_test::ScopedEnv;

TEST(Paths, SettingsFolderByPrecedenceCreatedOnDemand)
{
    platform_test::TempDir dir;
    ScopedEnv home("HOME", dir / "home");
    {
        ScopedEnv own("TARSEL_CONFIG_DIR", dir / "own");
        ScopedEnv xdg("XDG_CONFIG_HOME", dir / "xdg");
        EXPECT_EQ(ConfigDir(), dir / "own/");
        EXPECT_TRUE(DirectoryExists(dir / "own"));
    }
    {
        ScopedEnv own("TARSEL_CONFIG_DIR", "");  // empty counts as unset
        ScopedEnv xdg("XDG_CONFIG_HOME", dir / "xdg");
        EXPECT_EQ(ConfigDir(), dir / "xdg/tarsel/");
    }
    ScopedEnv own("TARSEL_CONFIG_DIR", nullptr);
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(ConfigDir(), dir / "home/.config/tarsel/");
    EXPECT_TRUE(DirectoryExists(dir / "home/.config/tarsel"));
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
    platform_test::TempDir dir;
    ForceDirectories(dir / "second/tarsel");
    WriteFileAtomic(dir / "second/tarsel/About.WAV", "RIFF");
    ScopedEnv dataDirs("XDG_DATA_DIRS", dir / "first:" + dir / "second");
    EXPECT_EQ(FindAsset("about.wav"), dir / "second/tarsel/About.WAV");
    EXPECT_EQ(FindAsset("missing.wav"), "");

    const std::string exe = ExecutableDir();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.back(), '/');
    EXPECT_TRUE(DirectoryExists(exe));
}

}  // namespace
