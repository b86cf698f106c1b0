// The uninstaller, silent and page by page: it removes what the setup wrote and the
// saver's requests to run it, and nothing of the user's unless asked. Each test has a
// Wine prefix of its own.
#include <gtest/gtest.h>

#include "resources/version.h"
#include "support/installation.h"
#include "support/registry.h"
#include "support/settings_store.h"
#include "support/setup_program.h"
#include "support/waiting.h"

namespace {

struct UninstallCase {
    const char* name;
    const char* folder;    // given to the setup with /D=; null: the default
    const char* userFile;  // a file of the user's own in the folder, or null
    bool otherSaver;       // another saver is current when Tilo is removed
    bool readOnly;         // Tilo's files are read-only (as a copying or backup tool leaves them)
};

class SilentUninstall : public ::testing::TestWithParam<UninstallCase> {};

const char kOtherSaver[] = "C:\\windows\\system32\\other.scr";

}  // namespace

TEST_P(SilentUninstall, RemovesWhatTheSetupWroteAndKeepsTheSettings)
{
    const UninstallCase& c = GetParam();
    const std::string folder = c.folder ? c.folder : kDefaultFolder, uninstaller = folder + "\\uninstal.exe";
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), c.folder ? std::string("/S /D=") + c.folder : "/S"),
              0u);
    ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "cycle time", 7));
    // The saver's removal requests for this uninstaller, one quoted; another program's.
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver", uninstaller));
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver1", "\"" + uninstaller + "\""));
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver2", "C:\\Other\\uninstal.exe"));
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, kRunOnceKey, "other", "C:\\Other\\setup.exe /resume"));
    if (c.userFile) {
        ASSERT_TRUE(WriteTextFile(folder + "\\" + c.userFile, "mine"));
    }
    if (c.otherSaver) {
        ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", kOtherSaver));
    }
    if (c.readOnly) {
        for (const std::string& file : {folder + "\\Tilo.scr", uninstaller, SystemSaverPath()})
            ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY)) << file;
    }

    // uninstal.exe /S ends at once and hands the work to a copy of itself.
    ASSERT_EQ(RunToEnd("silent uninstall", uninstaller, "/S"), 0u);
    ExpectNothingLeft(folder, c.userFile ? c.userFile : "");
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver"));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver1"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver2"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, "other"));
    DWORD cycle = 0;
    EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "cycle time", &cycle));
    EXPECT_EQ(cycle, 7u);

    std::string current = "<none>", active;
    GetString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", &current);
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive", &active));
    EXPECT_EQ(current, c.otherSaver ? kOtherSaver : "<none>");
    EXPECT_EQ(active, c.otherSaver ? "1" : "0");
}

INSTANTIATE_TEST_SUITE_P(Installations, SilentUninstall,
                         ::testing::Values(UninstallCase{"ProgramFiles", nullptr, nullptr, false, false},
                                           UninstallCase{"AppsWithAFileOfTheUserAndAnotherSaver",
                                                         "C:\\Apps\\Tilo", "notes.txt", true, false},
                                           UninstallCase{"ReadOnlyFiles", nullptr, nullptr, false, true}),
                         [](const ::testing::TestParamInfo<UninstallCase>& info) { return info.param.name; });

TEST(InteractiveUninstall, WithTheSettingsBoxTickedRemovesTheSettingsToo)
{
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), "/S"), 0u);
    ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "cycle time", 7));
    Step step("interactive uninstall");
    Wizard w;
    ASSERT_TRUE(w.Open(std::string(kDefaultFolder) + "\\uninstal.exe", "", kUninstallCaption));
    ASSERT_EQ(w.Walk({{"Choose Components", "Down space", nullptr, "1-components", "Return"},  // the settings
                      {"Uninstallation Complete", nullptr, nullptr, "2-progress", "Return"},
                      {"Completing Tilo Uninstall", nullptr, nullptr, "3-finish", "Return"}}),
              "");
    EXPECT_EQ(w.WaitExit(), 0u);

    ExpectNothingLeft(kDefaultFolder);
    EXPECT_TRUE(FileExists("C:\\Program Files"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, TILO_PRODUCT_KEY));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Corvane"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"));
}
