// The setup program as users run it: silently and page by page, into folders with and
// without blanks, and over an earlier release. Each test has a Wine prefix of its own.
#include <gtest/gtest.h>

#include "dialogs/framerate_dialog.h"
#include "resources/version.h"
#include "support/background_task.h"
#include "support/installation.h"
#include "support/registry.h"
#include "support/settings_store.h"
#include "support/setup_program.h"
#include "support/waiting.h"

namespace {

struct FolderCase {
    const char* name;
    const char* folder;  // given with /D=; null: the default
};

class SilentSetup : public ::testing::TestWithParam<FolderCase> {};

std::string ImageOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (process) QueryFullProcessImageNameA(process, 0, path, &size), CloseHandle(process);
    return LongPath(path);
}

struct LimitCase {
    const char* name;
    std::string folder;  // UTF-8
    bool accepted;
};

class FolderLimits : public ::testing::TestWithParam<LimitCase> {};

}  // namespace

TEST_P(SilentSetup, WritesEveryFileAndValueAndTheSaverRunsFromTheFolder)
{
    const FolderCase& c = GetParam();
    const std::string folder = c.folder ? c.folder : kDefaultFolder;
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), c.folder ? std::string("/S /D=") + c.folder : "/S"),
              0u);
    ExpectInstalled({folder, true, Current::kSystemCopy, TILO_VERSION_TEXT});
    Step step("saver from the installed folder");
    ExpectSaverRunsFrom(folder + "\\Tilo.scr");
}

INSTANTIATE_TEST_SUITE_P(Folders, SilentSetup,
                         ::testing::Values(FolderCase{"ProgramFiles", nullptr},
                                           FolderCase{"WithoutBlanks", "C:\\Apps\\Tilo"},
                                           FolderCase{"BlanksOnTheCommandLine", "C:\\My Savers\\Tilo"}),
                         [](const ::testing::TestParamInfo<FolderCase>& info) { return info.param.name; });

TEST(InteractiveSetup, EveryPageByKeysIntoAFolderWithBlanks)
{
    const std::string folder = "C:\\My Savers\\Tilo";
    Step step("interactive install");
    Wizard w;
    ASSERT_TRUE(w.Open(SetupPath(), "", SetupCaption(TILO_VERSION_TEXT)));
    // The list has the focus on its first entry: down to the system-folder copy, untick it.
    ASSERT_EQ(w.Walk({{"Choose Components", "Down space", nullptr, "1-components", "alt+n"}}), "");
    ASSERT_TRUE(w.WaitForText("Choose Install Location"));
    EXPECT_EQ(w.PageControlText(1019), kDefaultFolder);  // the folder field, its text selected
    ASSERT_EQ(w.Walk({{"Choose Install Location", nullptr, folder.c_str(), "2-folder", "Return"},
                      {"Installation Complete", nullptr, nullptr, "3-progress", "Return"},
                      // Ticks "Open Tilo's settings", then Finish.
                      {"Completing Tilo Setup", "space", nullptr, "4-finish", "Return"}}),
              "");
    EXPECT_EQ(w.WaitExit(), 0u);

    HWND settings = WaitForWindow("#32770", "Tilo Settings", 15000);
    ASSERT_TRUE(settings);
    EXPECT_STRCASEEQ(ImageOf(settings).c_str(), (folder + "\\Tilo.scr").c_str());
    PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitWindowGone(settings, 10000));

    ExpectInstalled({folder, false, Current::kFolderCopy, TILO_VERSION_TEXT});
    // As the system starts it: the short name that SCRNSAVE.EXE holds, unquoted.
    std::string current;
    ASSERT_TRUE(GetString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", &current));
    ExpectSaverRunsFrom(current);
}

TEST(SetupOverAnEarlierRelease, UpdatesItInItsFolderAsTheUserLeftIt)
{
    const std::string folder = "C:\\Apps\\Tilo", otherSaver = "C:\\windows\\system32\\other.scr";
    ASSERT_EQ(RunToEnd("install of the earlier release", OlderSetupPath(), "/S /D=" + folder), 0u);
    std::string text;
    ASSERT_TRUE(GetString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", &text));
    ASSERT_EQ(text, kOlderVersion);
    // Since then the user has changed a setting and chosen another saver.
    ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "cycle time", 7));
    ASSERT_TRUE(WriteTextFile(otherSaver, "another saver"));
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", otherSaver));

    // The components come as the earlier installation left them: the system-folder copy
    // ticked, Tilo as the current saver not. The user drops the copy; the folder page is
    // left out, and a folder asked for yields to the installation's own.
    Step step("interactive update");
    Wizard w;
    ASSERT_TRUE(w.Open(SetupPath(), "/D=C:\\Elsewhere\\Tilo", SetupCaption(TILO_VERSION_TEXT)));
    EXPECT_TRUE(w.WaitForText("Tilo is installed in " + folder +
                              ", and is updated there. Untick what you no longer want, then click Install."));
    ASSERT_EQ(w.Walk({{"Choose Components", "Down space", nullptr, "1-components", "alt+i"},
                      {"Installation Complete", nullptr, nullptr, nullptr, "Return"},
                      {"Completing Tilo Setup", nullptr, nullptr, nullptr, "Return"}}),
              "");
    EXPECT_EQ(w.WaitExit(), 0u);
    ExpectInstalled({folder, false, Current::kUnchanged, TILO_VERSION_TEXT});
    EXPECT_FALSE(FileExists("C:\\Elsewhere"));
    EXPECT_FALSE(FileExists(kDefaultFolder));
    DWORD cycle = 0;
    EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "cycle time", &cycle));
    EXPECT_EQ(cycle, 7u);
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", &text));
    EXPECT_EQ(text, otherSaver);
    EXPECT_TRUE(FileExists(otherSaver));

    // The updated installation still knows the folders its first setup made.
    ASSERT_EQ(RunToEnd("uninstall after the update", folder + "\\uninstal.exe", "/S"), 0u);
    ExpectNothingLeft(folder);
    EXPECT_FALSE(FileExists("C:\\Apps"));
    EXPECT_TRUE(FileExists(otherSaver));
}

// Every folder the setup takes is one from which the saver's "Remove Tilo" schedules the
// uninstaller, and that removes everything; a folder too long for Windows to start the
// uninstaller from is refused whole.
TEST_P(FolderLimits, TheSaverCanScheduleTheRemovalFromEveryFolderTheSetupTakes)
{
    const LimitCase& c = GetParam();
    DWORD code = RunToEnd("silent install", SetupPath(), "/S /D=" + c.folder);
    if (!c.accepted) {
        EXPECT_EQ(code, 2u);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(FileExists(c.folder.substr(0, c.folder.rfind('\\'))));
        return;
    }
    ASSERT_EQ(code, 0u);
    // "Remove Tilo" as the saver does it, under the product key that it selects at start.
    SelectKey(nullptr, TILO_PRODUCT_KEY);
    std::string caption;
    {
        BackgroundTask answer([&caption] {
            HWND box = WaitForWindow("#32770", nullptr, 10000, GetCurrentProcessId());
            caption = TextOf(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_TRUE(ScheduleRemoval(nullptr));
    }
    EXPECT_EQ(caption, "Screen saver will be removed.");
    ASSERT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, TILO_REMOVAL_VALUE));
    EXPECT_EQ(RunToEnd("the scheduled uninstaller, silent", c.folder + "\\uninstal.exe", "/S"), 0u);
    ExpectNothingLeft(c.folder);
    // The uninstaller removes the requests that start it, and only those.
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, TILO_REMOVAL_VALUE));
}

// Devanagari has no ANSI code page: the ANSI interface reads it as question marks. 245
// characters with a blank make the quoted RunOnce command 260 characters long, the
// longest Windows runs.
INSTANTIATE_TEST_SUITE_P(
    Folders, FolderLimits,
    ::testing::Values(LimitCase{"NameOutsideTheAnsiCodePage", u8"C:\\Apps\\\u091F\u093E\u0907\u0932 Tilo",
                                true},
                      LimitCase{"Longest", "C:\\My Apps\\" + std::string(234, 'x'), true},
                      LimitCase{"OneLonger", "C:\\My Apps\\" + std::string(235, 'x'), false}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return info.param.name; });
