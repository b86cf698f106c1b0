// The removal loop for real: the installed saver on a slow machine warns about its frame
// rate, "Remove Tilo" is pressed, the restart runs the uninstaller that the warning
// registered, and the user takes it to the end. Run by CTest through own_prefix.sh on a
// large screen (see tests/CMakeLists.txt); the saver draws with Mesa's softpipe.
#include <gtest/gtest.h>

#include "dialogs/framerate_dialog.h"
#include "resources/resource.h"
#include "support/installation.h"
#include "support/message_box.h"
#include "support/registry.h"
#include "support/screenshot.h"
#include "support/setup_program.h"
#include "support/unix_command.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

class RemovalLoop : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(RemovalLoop, DISABLED_FromTheWarningOfTheSlowSaverToNothingLeft)
{
    const std::string folder = GetParam(), uninstaller = folder + "\\uninstal.exe";
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), "/S /D=" + folder), 0u);
    // Where the warning opens, so that holding the pointer in it moves nothing.
    MovePointer(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);

    SaverProcess saver;
    HWND warning = nullptr;
    {
        Step step("installed saver until its warning");
        ASSERT_TRUE(saver.Start("/s", {"GALLIUM_DRIVER=softpipe"}, folder + "\\Tilo.scr"));
        WaitUntil([&] { return (warning = FindDialogTitled("Possible framerate problem--")) != nullptr; },
                  90000);
        ASSERT_TRUE(warning);
        SyncWith(warning);
        SaveWindowPng(warning, TestName() + "-warning");
    }
    {
        Step step("Remove Tilo");
        ASSERT_TRUE(XdoClick(GetDlgItem(warning, IDC_REMOVE_TILO)));
        EXPECT_NE(
            AnswerMessageBox("Screen saver will be removed.", "removal").find("next time you start Windows"),
            std::string::npos);
    }
    // The request as Windows will run it: quoted when the path has blanks.
    std::string request;
    EXPECT_TRUE(GetString(HKEY_LOCAL_MACHINE, kRunOnceKey, TILO_REMOVAL_VALUE, &request));
    EXPECT_EQ(request, folder.find(' ') == std::string::npos ? uninstaller : "\"" + uninstaller + "\"");
    ASSERT_TRUE(XdoKeys(warning, "Escape"));  // "Close this Window" ends the saver
    EXPECT_EQ(saver.WaitExit(30000), 0u);

    {
        Step step("restart (wineboot -r)");
        ASSERT_EQ(RunUnix("wineboot -r"), 0);
    }
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, TILO_REMOVAL_VALUE));
    Step step("uninstaller from the restart, page by page");
    Wizard w;
    ASSERT_TRUE(w.Find(kUninstallCaption));
    ASSERT_EQ(w.Walk({{"Choose Components", nullptr, nullptr, "1-components", "Return"},
                      {"Uninstallation Complete", nullptr, nullptr, nullptr, "Return"},
                      {"Completing Tilo Uninstall", nullptr, nullptr, "2-finish", "Return"}}),
              "");
    EXPECT_EQ(w.WaitExit(), 0u);
    ExpectNothingLeft(folder);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"));
}

INSTANTIATE_TEST_SUITE_P(Folders, RemovalLoop, ::testing::Values("C:\\Apps\\Tilo", "C:\\Program Files\\Tilo"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "WithoutBlanks" : "WithBlanks");
                         });
