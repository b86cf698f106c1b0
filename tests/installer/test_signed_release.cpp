// The signed release as a user meets it, run by tests/installer/signed_release.sh in a
// Wine prefix of its own, with TILO_RELEASE_DIR naming the folder of the signed files
// (whose signatures the script has verified).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "support/installation.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/setup_program.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

// The file's last-write time; 0 when it cannot be read.
ULONGLONG WrittenAt(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return 0;
    return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

TEST(SignedRelease, DISABLED_InstallsItsSignedProgramsWhichRunAndRemoveEverything)
{
    const char* dir = getenv("TILO_RELEASE_DIR");
    ASSERT_TRUE(dir && *dir) << "run through signed_release.sh";
    const std::string release = dir, folder = kDefaultFolder, saverPath = folder + "\\Tilo.scr",
                      uninstaller = folder + "\\uninstal.exe";
    ASSERT_EQ(RunToEnd("signed silent install", release + "/Tilo-setup.exe", "/S"), 0u);
    // The installed programs are the signed ones, byte for byte.
    EXPECT_TRUE(SameBytes(saverPath, release + "/Tilo.scr"));
    EXPECT_TRUE(SameBytes(SystemSaverPath(), release + "/Tilo.scr"));
    EXPECT_TRUE(SameBytes(uninstaller, release + "/uninstal.exe"));
    // The saver is dated at the release's time, as the release's own files are, to the
    // two seconds (100 ns units) that the setup's file dates keep.
    const ULONGLONG installedAt = WrittenAt(saverPath), releasedAt = WrittenAt(release + "/Tilo.scr");
    EXPECT_NE(installedAt, 0u);
    EXPECT_LT(std::max(installedAt, releasedAt) - std::min(installedAt, releasedAt), 20000000u);

    {
        Step step("signed saver: its scene, then a key");
        MovePointer(400, 300);
        SaverProcess saver;
        ASSERT_TRUE(saver.StartRaw("\"" + saverPath + "\" /s", saverPath));
        ASSERT_TRUE(WaitForSaverWindow(saver));
        ScreenMotion motion = WatchScreen(800);
        EXPECT_GT(motion.lit, 0);
        EXPECT_GT(motion.changed, 0);
        PressKey(VK_ESCAPE);
        EXPECT_EQ(saver.WaitExit(10000), 0u);
    }

    ASSERT_EQ(RunToEnd("signed silent uninstall", uninstaller, "/S"), 0u);
    ExpectNothingLeft(folder);
}
