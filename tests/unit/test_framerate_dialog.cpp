// The frame-rate warning and the removal it schedules, opened in this process with the
// saver's resources and driven from a second thread, against Wine's registry and its
// RunOnce at `wineboot -r`. Each test runs in a process of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "dialogs/framerate_dialog.h"
#include "resources/resource.h"
#include "shell/saver_hooks.h"
#include "shell/saver_window.h"
#include "support/background_task.h"
#include "support/launch_record.h"
#include "support/message_box.h"
#include "support/recording_window.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/settings_store.h"
#include "support/waiting.h"
#include "support/web_page.h"

namespace {

const char kCaption[] = "Possible framerate problem-- current frame rate: 7.4 frames per second.";

// Opens the warning with a rate of 7.44 and answers it with `act` from a second thread;
// its result.
INT_PTR WithWarning(const std::function<void(HWND)>& act)
{
    bool answered = false;
    INT_PTR result = AnswerDialog(
        kCaption, [] { return ShowFrameRateWarning(nullptr, 7.44f); }, act, &answered);
    EXPECT_TRUE(answered) << "the dialog did not close";
    return result;
}

bool PointerConfinedTo(HWND window)
{
    RECT clip, rc;
    GetClipCursor(&clip);
    GetWindowRect(window, &rc);
    return EqualRect(&clip, &rc);
}

bool PointerFree()
{
    RECT clip;
    GetClipCursor(&clip);
    return clip.right - clip.left == GetSystemMetrics(SM_CXSCREEN);
}

class FrameRateWarning : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseSaverResources());
        RegDeleteKeyValueA(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "disable_frame_warn");
        g_bForgiveMouse = false;
    }
    ProductKeyBackup key_;
};

}  // namespace

TEST_F(FrameRateWarning, ShowsTheRateAndConfinesThePointerAndContinueWithTheBoxTurnsItOff)
{
    std::vector<std::string> texts;
    bool confined = false, focused = false, decorated = false;
    INT_PTR result = WithWarning([&](HWND d) {
        texts = DialogTexts(d);
        confined = PointerConfinedTo(d);
        focused = FocusOf(d) == GetDlgItem(d, IDOK);
        decorated = ImagesShown(d) == 3;
        SendDlgItemMessageA(d, IDC_DISABLE_WARNING, BM_CLICK, 0, 0);
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, kFrameWarningTurnedOff);
    EXPECT_TRUE(confined);
    EXPECT_TRUE(focused);
    EXPECT_TRUE(decorated);
    const std::vector<std::string> expected = {
        "",
        "Close this Window",
        "Download Velin",
        "#106",
        "If you wish, you can remove Tilo by clicking the button below.",
        "Remove Tilo",
        "If your computer is a laptop, you may wish to replace Tilo with my Velin screen saver which is "
        "less demanding.",
        "It appears that limitations in your video hardware may cause Tilo to run more slowly than usual "
        "on your computer.",
        "Otherwise you may prefer to upgrade your video card with one that has at least 64 MB of RAM, and "
        "that supports OpenGL.",
        "You can also click the Continue button below to continue. Be aware that the animation may appear "
        "slow or jerky.  If you do continue, you may wish to click the checkbox below to disable this "
        "warning in the future.",
        "In gratitude, joy, and love,\nthe makers of Tilo",
        "#104",
        "#104",
        "Continue",
        "Disable this warning"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(StoredDword("disable_frame_warn"), 1u);
    EXPECT_TRUE(g_bContinue);
    EXPECT_TRUE(g_bForgiveMouse);
    EXPECT_TRUE(PointerFree());
}

TEST_F(FrameRateWarning, ContinueWithoutTheBoxStoresNothingAndEscIsCloseThisWindow)
{
    EXPECT_EQ(WithWarning([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); }), 1);
    EXPECT_TRUE(g_bContinue);
    EXPECT_EQ(StoredDword("disable_frame_warn"), 0u);

    INT_PTR result = WithWarning([](HWND d) { PostMessageA(FocusOf(d), WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(g_bContinue);
    EXPECT_EQ(StoredDword("disable_frame_warn"), 0u);
    EXPECT_TRUE(PointerFree());
}

TEST_F(FrameRateWarning, DownloadVelinOpensItsPageFreesThePointerAndKeepsTheDialog)
{
    const std::string browser = "C:\\TiloTest\\Browser\\browser.exe";
    SavedValue command(HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY, "");
    ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY, "", browser + " \"%1\""));
    ASSERT_TRUE(InstallRecorder(browser));
    ForgetLaunches();
    bool started = false, free = false, open = false;
    WithWarning([&](HWND d) {
        PostMessageA(d, WM_COMMAND, IDC_DOWNLOAD_VELIN, 0);
        started = WaitForLaunches(1);
        free = PointerFree();
        open = IsWindow(d) && IsWindowVisible(d);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(started);
    EXPECT_TRUE(free);
    EXPECT_TRUE(open);
    std::vector<Launch> launches = Launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].arguments, "http://www.example.org/velin/");
    RemoveRecorder(browser);
    ForgetLaunches();
}

TEST_F(FrameRateWarning, RemoveTiloAnswersInABoxOverItAndKeepsItOpenWithThePointerHeld)
{
    SavedValue installDir(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir");
    bool owned = false, open = false, confined = false;
    WithWarning([&](HWND d) {
        PostMessageA(d, WM_COMMAND, IDC_REMOVE_TILO, 0);
        HWND box = nullptr;
        WaitUntil([&box] { return (box = FindDialogTitled("Screen saver will not be removed.")) != nullptr; },
                  5000);
        owned = box && GetWindow(box, GW_OWNER) == d;
        if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
        WaitWindowGone(box, 5000);
        open = IsWindowVisible(d);
        confined = PointerConfinedTo(d);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(owned);
    EXPECT_TRUE(open);
    EXPECT_TRUE(confined);
}

namespace {

const char kRemovedCaption[] = "Screen saver will be removed.";
const char kNotRemovedCaption[] = "Screen saver will not be removed.";

class Removal : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearRemovalValues();
        ForgetLaunches();
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir");
        SelectKey(nullptr, TILO_PRODUCT_KEY);
    }
    void TearDown() override
    {
        ClearRemovalValues();
        for (const std::string& p : installed_) RemoveRecorder(p);
        ForgetLaunches();
    }
    void Install(const std::string& path)
    {
        ASSERT_TRUE(InstallRecorder(path));
        installed_.push_back(path);
    }
    static std::string Name(int n) { return TILO_REMOVAL_VALUE + (n ? std::to_string(n) : ""); }
    static void ClearRemovalValues()
    {
        for (int n = 0; n < 10; ++n)
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, TILO_RUNONCE_KEY, Name(n).c_str());
    }
    // The removal values, "kill_saver" first, as far as they run without a gap.
    static std::vector<std::string> RemovalValues()
    {
        std::vector<std::string> values;
        for (std::string v; GetString(HKEY_LOCAL_MACHINE, TILO_RUNONCE_KEY, Name(values.size()).c_str(), &v);)
            values.push_back(v);
        return values;
    }
    // Presses Remove and answers the box it shows; the box's caption and text.
    std::pair<std::string, std::string> Remove(bool expectRegistered)
    {
        std::pair<std::string, std::string> box;
        BackgroundTask answer([&box] {
            HWND b = WaitForWindow("#32770", nullptr, 10000, GetCurrentProcessId());
            if (!b) return;
            char caption[128] = {};
            GetWindowTextA(b, caption, sizeof caption);
            box = {caption, MessageBoxText(b)};
            PostMessageA(b, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(ScheduleRemoval(owner_.hwnd()), expectRegistered);
        EXPECT_STREQ(CurrentKeyPath(), TILO_PRODUCT_KEY);
        return box;
    }
    // The next start of Windows, as far as RunOnce goes.
    static void Restart()
    {
        SaverProcess boot;
        ASSERT_TRUE(boot.Start("-r", {}, "C:\\windows\\system32\\wineboot.exe"));
        EXPECT_EQ(boot.WaitExit(30000), 0u);
    }

    SavedValue installDir_{HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir"};
    RecordingWindow owner_{"Possible framerate problem", 300, 200};
    std::vector<std::string> installed_;
};

}  // namespace

TEST_F(Removal, ThePressTakesTheNextFreeNameASecondOneSaysItIsScheduledAndTheNextStartRunsItOnce)
{
    Install("C:\\Apps\\Tilo\\uninstal.exe");
    SetString(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir", "C:\\Apps\\Tilo");
    // An earlier request too long for the removal's buffer is kept all the same.
    const std::string longer = "C:\\" + std::string(400, 'x') + "\\uninstal.exe";
    SetString(HKEY_LOCAL_MACHINE, TILO_RUNONCE_KEY, Name(0).c_str(), "earlier");
    SetString(HKEY_LOCAL_MACHINE, TILO_RUNONCE_KEY, Name(1).c_str(), longer);
    auto box = Remove(true);
    EXPECT_EQ(box.first, kRemovedCaption);
    EXPECT_EQ(box.second, "This Screen saver will be removed\nthe next time you start Windows.");
    // Pressed again, in this run or a later one: two runs of the uninstaller at the next
    // start would meet, and the second would say that the first is running.
    box = Remove(true);
    EXPECT_EQ(box.first, kRemovedCaption);
    EXPECT_EQ(
        box.second,
        "The removal of this screen saver is already scheduled:\nit will be removed the next time you start "
        "Windows.");
    const std::vector<std::string> expected = {"earlier", longer, "C:\\Apps\\Tilo\\uninstal.exe"};
    EXPECT_EQ(RemovalValues(), expected);

    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, TILO_RUNONCE_KEY, Name(0).c_str());
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, TILO_RUNONCE_KEY, Name(1).c_str());
    Restart();
    ASSERT_TRUE(WaitForLaunches(1));
    for (const Launch& l : Launches()) EXPECT_STRCASEEQ(l.module.c_str(), "C:\\Apps\\Tilo\\uninstal.exe");
    EXPECT_TRUE(RemovalValues().empty());  // each runs once
}

TEST_F(Removal, AFolderWithABlankIsRegisteredQuotedSoThatProgramExeDoesNotRunInstead)
{
    Install("C:\\Program Files\\Tilo\\uninstal.exe");
    Install("C:\\Program.exe");
    SetString(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir", "C:\\Program Files\\Tilo");
    Remove(true);
    EXPECT_EQ(RemovalValues(), std::vector<std::string>{"\"C:\\Program Files\\Tilo\\uninstal.exe\""});
    Restart();
    ASSERT_TRUE(WaitForLaunches(1));
    Sleep(500);
    std::vector<Launch> launches = Launches();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_STRCASEEQ(launches[0].module.c_str(), "C:\\Program Files\\Tilo\\uninstal.exe");
}

TEST_F(Removal, WithoutAFolderAnUninstallerOrARightNothingIsRegisteredAndTheUserIsToldWhy)
{
    // A program at the root of the drive, which a registered "\\uninstal.exe" would run.
    Install("C:\\uninstal.exe");
    const std::string noFolder =
        "The folder where Tilo was installed is not recorded, or is not a usable path.";
    auto box = Remove(false);
    EXPECT_EQ(box.first, kNotRemovedCaption);
    EXPECT_EQ(box.second.find(noFolder), 0u) << box.second;
    EXPECT_NE(box.second.find("To remove Tilo, run uninstal.exe in the folder where it was installed"),
              std::string::npos);
    for (const std::string& folder : {std::string("Tilo"), std::string(""), "C:\\" + std::string(340, 'x')}) {
        SetString(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir", folder);
        EXPECT_EQ(Remove(false).second.find(noFolder), 0u) << folder;
    }

    SetString(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir", "C:\\Apps\\Tilo");
    EXPECT_EQ(Remove(false).second.find("There is no uninstal.exe in the folder"), 0u);

    // As for an account that is not an administrator: the machine's product key and its
    // RunOnce key may be read, not changed. The folder is still read, and the box names
    // the right that was denied; without the right to read the product key, it says that
    // rather than that no folder is recorded.
    Install("C:\\Apps\\Tilo\\uninstal.exe");
    DeniedRights runOnce(HKEY_LOCAL_MACHINE, TILO_RUNONCE_KEY, kKeyWriteRights);
    ASSERT_TRUE(runOnce.inForce());
    const struct {
        REGSAM denied;
        const char* told;
    } rights[] = {
        {kKeyWriteRights,
         "Windows did not let Tilo register its removal: the right to write under the machine's RunOnce "
         "key (HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce) was denied; "
         "that needs an administrator's rights."},
        {KEY_QUERY_VALUE,
         "Windows did not let Tilo read where it was installed: the right to read the machine's Tilo key "
         "(HKEY_LOCAL_MACHINE\\Software\\Corvane\\Tilo), where the folder is recorded, was denied."},
    };
    for (const auto& r : rights) {
        DeniedRights product(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, r.denied);
        ASSERT_TRUE(product.inForce());
        box = Remove(false);
        EXPECT_EQ(box.first, kNotRemovedCaption);
        EXPECT_EQ(box.second.find(r.told), 0u) << box.second;
    }
    EXPECT_TRUE(RemovalValues().empty());
}
