// Every row of the exit-code table, through the real Tilo.scr.
#include <gtest/gtest.h>

#include "fakes/fake_record.h"
#include "shell/saver_window.h"
#include "support/password_fakes.h"
#include "support/recording_window.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/settings_store.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

int RunToExit(const std::string& args, DWORD ms = 10000)
{
    SaverProcess p;
    EXPECT_TRUE(p.Start(args));
    DWORD code = p.WaitExit(ms);
    EXPECT_NE(code, static_cast<DWORD>(STILL_ACTIVE)) << "still running: " << args;
    return static_cast<int>(code);
}

}  // namespace

TEST(ExitCodes, BadSwitchesEndWithMinusOne)
{
    for (const char* args :
         {"/x", "x", "/1", "-?", "/\xe9", "\xff\xfe", "/p:1234", "/p", "/p 0", "/l:5", "/p 4294967296"})
        EXPECT_EQ(RunToExit(args), -1) << args;
}

// The desktop window is a window, but it never destroys a child of its own: a preview
// in it could not end.
TEST(ExitCodes, PreviewParentThatIsNoWindowOrTheDesktopEndsAtOnceWithoutOpeningAnything)
{
    for (const std::string& parent : {std::string("1234567"), std::string(300, '7'),
                                      std::to_string(reinterpret_cast<UINT_PTR>(GetDesktopWindow()))}) {
        SaverProcess p;
        ASSERT_TRUE(p.Start("/p " + parent));
        EXPECT_EQ(static_cast<int>(p.WaitExit(5000)), -1) << parent;
        EXPECT_EQ(FindWindowA(TILO_SAVER_CLASS, nullptr), nullptr) << parent;
    }
}

TEST(ExitCodes, ChangePasswordOutsideTheOlderFamilyEndsWithMinusOne)
{
    ResetFakes();
    Win98Mode fakesOnly("Tilo.scr", false);
    SaverProcess p;
    ASSERT_TRUE(p.Start("/a 1234", {}, SaverBesideFakes()));
    EXPECT_EQ(static_cast<int>(p.WaitExit(10000)), -1);
    EXPECT_EQ(FakeGet("change calls", 0), 0u);
}

TEST(ExitCodes, ChangePasswordOnTheOlderFamilyEndsWithZero)
{
    ResetFakes();
    Win98Mode win98("Tilo.scr");
    RecordingWindow owner("owner", 200, 100);
    SaverProcess p;
    ASSERT_TRUE(
        p.Start("/a " + std::to_string(reinterpret_cast<UINT_PTR>(owner.hwnd())), {}, SaverBesideFakes()));
    EXPECT_EQ(static_cast<int>(p.WaitExit(10000)), 0);
    EXPECT_EQ(FakeGet("change calls", 0), 1u);
}

TEST(ExitCodes, FaultInsideTheRunEndsWithMinusOne)
{
    ResetFakes();
    FakeSet("change fault", 1);
    Win98Mode win98("Tilo.scr");
    SaverProcess p;
    ASSERT_TRUE(p.Start("/a 1", {}, SaverBesideFakes()));
    EXPECT_EQ(static_cast<int>(p.WaitExit(20000)), -1);
    EXPECT_EQ(FakeGet("change calls", 0), 1u);  // the fault came from inside the request
    ResetFakes();
}

TEST(ExitCodes, SaverClosedByWmCloseEndsWithZero)
{
    SaverProcess p;
    ASSERT_TRUE(p.Start("/s"));
    HWND w = WaitForSaverWindow(p);
    ASSERT_TRUE(w);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(10000), 0u);
}

TEST(ExitCodes, SecondFullScreenStartEndsWithZeroAndRaisesTheFirst)
{
    SaverProcess first;
    ASSERT_TRUE(first.Start("/s"));
    HWND w = WaitForSaverWindow(first);
    ASSERT_TRUE(w);
    RecordingWindow other("in front", 300, 200);
    SetForegroundWindow(other.hwnd());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.hwnd(); }, 3000));
    PumpFor(300);

    SaverProcess second;
    ASSERT_TRUE(second.Start("-S"));
    EXPECT_EQ(second.WaitExit(10000), 0u);
    // The X server confirms the change asynchronously.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == w; }, 3000));
    EXPECT_TRUE(first.Running());
    HWND again = WaitForWindow(TILO_SAVER_CLASS, TILO_TITLE_SAVER, 100, second.pid());
    EXPECT_EQ(again, nullptr);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.WaitExit(10000), 0u);
}

TEST(ExitCodes, ConfigurationRunEndsWithTheDialogsResult)
{
    SaverProcess p;
    ASSERT_TRUE(p.Start("/c"));
    HWND dialog = WaitForConfigDialog(p);
    ASSERT_TRUE(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(p.WaitExit(10000), 1u);
}

// Started with no gap between them, as often as a race needs to show: one saver runs,
// the other start brings it to the front and ends with 0.
TEST(ExitCodes, FullScreenStartsAtTheSameMomentLeaveOneSaver)
{
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        SaverProcess a, b;
        ASSERT_TRUE(a.Start("/s"));
        ASSERT_TRUE(b.Start("/s"));
        ASSERT_TRUE(WaitUntil([&] { return !a.Running() || !b.Running(); }, 10000)) << "two savers run";
        SaverProcess& left = a.Running() ? a : b;
        EXPECT_EQ((a.Running() ? b : a).WaitExit(0), 0u);
        HWND w = WaitForSaverWindow(left, 5000);
        ASSERT_TRUE(w);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == w; }, 3000));
        PostMessageA(w, WM_CLOSE, 0, 0);
        EXPECT_EQ(left.WaitExit(10000), 0u);
    }
}

TEST(ConfigurationMode, NoArgumentsOrAnUnclosedQuoteOpenItWithoutOwner)
{
    RecordingWindow front("front", 200, 100);
    SetForegroundWindow(front.hwnd());
    for (const char* args : {"", "   "}) {
        SaverProcess p;
        ASSERT_TRUE(p.Start(args));
        HWND dialog = WaitForConfigDialog(p);
        ASSERT_TRUE(dialog) << "[" << args << "]";
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(p.WaitExit(10000), 1u);
    }
}

TEST(ConfigurationMode, LetterCIsOwnedByTheForegroundWindowAndIgnoresWhatFollows)
{
    ProductKeyBackup key;  // its OK stores the settings
    RecordingWindow front("front", 200, 100);
    SetForegroundWindow(front.hwnd());
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == front.hwnd(); }, 3000));
    SaverProcess p;
    ASSERT_TRUE(p.Start("/c:1234"));
    HWND dialog = WaitForConfigDialog(p);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), front.hwnd());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    // The owner's thread must answer while the dialog closes.
    DWORD code = STILL_ACTIVE;
    for (int i = 0; i < 200 && code == STILL_ACTIVE; ++i) {
        PumpFor(50);
        code = p.WaitExit(0);
    }
    EXPECT_EQ(code, 1u);
}

// Settings started over a running full-screen saver: the saver closes as on input and
// stores its view, and the dialog, owned by no saver window, shows in front and takes
// the keys. Also when the foreground is the saver's own control menu.
TEST(ConfigurationMode, OverARunningSaverTheSaverClosesAndTheSettingsShowInFront)
{
    for (bool menu : {false, true}) {
        SCOPED_TRACE(menu ? "control menu in front" : "saver in front");
        ProductKeyBackup key;
        SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "mod1 depth", 5000);
        MovePointer(400, 300);
        SaverProcess saver;
        ASSERT_TRUE(saver.Start("/s"));
        HWND w = WaitForSaverWindow(saver);
        ASSERT_TRUE(w);
        PumpFor(300);
        PressKey(VK_PRIOR);  // depth 50: a step of 1
        if (menu) {
            PressKey(VK_F1);
            ASSERT_TRUE(WaitForWindow("#32770", "Control Menu", 5000, saver.pid()));
        }
        PumpFor(1500);

        SaverProcess settings;
        ASSERT_TRUE(settings.Start("/c"));
        HWND dialog = WaitForConfigDialog(settings);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(saver.WaitExit(5000), 0u);
        DWORD depth = 0;
        EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "mod1 depth", &depth));
        EXPECT_EQ(depth, 5100u);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));
        // On the screen: a point of the dialog's face, below its title and right of its
        // preview frame, shows the face's colour.
        RECT r;
        GetWindowRect(dialog, &r);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        const DWORD faceBgrx = DWORD(GetRValue(face)) << 16 | DWORD(GetGValue(face)) << 8 | GetBValue(face);
        Screenshot shot;
        EXPECT_TRUE(WaitUntil(
            [&] { return shot.Capture() && (shot.at(r.right - 20, r.top + 60) & 0xFFFFFF) == faceBgrx; },
            3000));
        PressKey(VK_ESCAPE);
        EXPECT_EQ(settings.WaitExit(5000), 1u);
    }
}

TEST(ConfigurationMode, UnclosedQuoteAroundTheProgramConsumesTheWholeLine)
{
    SaverProcess p;
    ASSERT_TRUE(p.StartRaw("\"" + SaverPath() + " /s"));
    HWND dialog = WaitForConfigDialog(p);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_EQ(FindWindowA(TILO_SAVER_CLASS, nullptr), nullptr);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(10000), 1u);
}

TEST(ExitCodes, QuotedProgramPathWithBlanksIsSkippedWhole)
{
    std::string dir = FakesDir() + "/dir with blanks";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string exe = dir + "/Tilo.scr";
    ASSERT_TRUE(CopyFileA(SaverPath().c_str(), exe.c_str(), FALSE));
    SaverProcess p;
    ASSERT_TRUE(p.StartRaw("\"" + exe + "\"/x", exe));
    EXPECT_EQ(static_cast<int>(p.WaitExit(10000)), -1);
    ASSERT_TRUE(p.StartRaw("\"" + exe + "\"   /s", exe));
    HWND w = WaitForSaverWindow(p);
    ASSERT_TRUE(w);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(10000), 0u);
}
