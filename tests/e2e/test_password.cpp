// The Windows 95/98/Me password hooks, under Wine's win98 version setting, against
// test-only PASSWORD.CPL and MPR.DLL that record their calls.
#include <gtest/gtest.h>

#include "fakes/fake_record.h"
#include "shell/saver_window.h"
#include "sound/music_player.h"
#include "support/password_fakes.h"
#include "support/recording_window.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

const char* kDesktop = "Control Panel\\Desktop";

class PasswordHooks : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFakes();
        hadValue = GetDword(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword", &oldValue);
        exe = SaverBesideFakes();
        MovePointer(400, 300);
    }
    void TearDown() override
    {
        if (saver.Running() && window) {
            FakeSet("verdict", 1);
            PostMessageA(window, WM_CLOSE, 0, 0);
            saver.WaitExit(5000);
        }
        saver.Kill();
        if (hadValue)
            SetDword(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword", oldValue);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword");
        ResetFakes();
    }
    void StartSaver(DWORD usePassword)
    {
        SetDword(HKEY_CURRENT_USER, kDesktop, "ScreenSaveUsePassword", usePassword);
        ASSERT_TRUE(saver.Start("/s", {}, exe));
        window = WaitForSaverWindow(saver);
        ASSERT_TRUE(window);
        SyncWith(window);
    }
    DWORD Prompts() { return FakeGet("verify calls", 0); }

    bool hadValue = false;
    DWORD oldValue = 0;
    std::string exe;
    SaverProcess saver;
    HWND window = nullptr;
};

// Whether the system has been told that a screen saver runs, asked by a fresh process.
bool SaverRunningNotice()
{
    SaverProcess probe;
    if (!probe.StartRaw("saver_running_notice", NoticeToolPath())) return false;
    return probe.WaitExit(10000) == 1;
}

}  // namespace

TEST_F(PasswordHooks, WrongEntryKeepsTheSaverAndRequestsWithin200msAreIgnored)
{
    Win98Mode win98("Tilo.scr");
    StartSaver(1);
    EXPECT_EQ(FakeGet("password loads", 0), 1u);
    EXPECT_TRUE(SaverRunningNotice());
    FakeSet("verdict", 0);

    // Two requests back to back: the second arrives within 200 ms of the prompt's end.
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Prompts() >= 1; }, 5000));
    PumpFor(100);
    EXPECT_EQ(Prompts(), 1u);
    EXPECT_EQ(FakeGet("verify window", 0), static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));
    EXPECT_TRUE(saver.Running());

    PumpFor(300);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Prompts() >= 2; }, 5000));
    EXPECT_EQ(Prompts(), 2u);
    EXPECT_TRUE(saver.Running());

    // A refused prompt makes the movement rule start again from where the pointer is.
    PumpFor(300);
    FakeSet("verdict", 1);
    MovePointer(520, 300);
    EXPECT_EQ(saver.WaitExit(5000), 0u);
    EXPECT_EQ(Prompts(), 3u);
    EXPECT_EQ(FakeGet("password frees", 0), 1u);
    EXPECT_FALSE(SaverRunningNotice());
}

// One prompt per close request, whatever reaches the window while it is up: another close
// request, a WM_APP posted by any program, the voices' end-of-play notice.
TEST_F(PasswordHooks, OnePromptWhateverArrivesWhileItIsUp)
{
    Win98Mode win98("Tilo.scr");
    StartSaver(1);
    FakeSet("verdict", 0);
    FakeSet("verify hold", 1);
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return Prompts() >= 1; }, 5000));
    PostMessageA(window, WM_APP, 0, 0);
    PostMessageA(window, WM_VOICE_DONE, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    FakeSet("verify hold", 0);
    EXPECT_TRUE(WaitUntil([&] { return FakeGet("verify returns", 0) >= Prompts(); }, 5000));
    PumpFor(300);
    EXPECT_EQ(Prompts(), 1u);
    EXPECT_TRUE(saver.Running());
}

// After a refused password the animation goes on, and a key asks again.
TEST_F(PasswordHooks, AKeyAfterARefusalAsksAgain)
{
    Win98Mode win98("Tilo.scr");
    StartSaver(1);
    FakeSet("verdict", 0);
    PressKey('A');
    ASSERT_TRUE(WaitUntil([&] { return Prompts() >= 1; }, 5000));
    EXPECT_GT(WatchScreen(500).changed, 0) << "the animation stopped";
    PressKey('B');  // the prompt ended more than 200 ms ago
    EXPECT_TRUE(WaitUntil([&] { return Prompts() >= 2; }, 5000));
    PumpFor(300);
    FakeSet("verdict", 1);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(saver.WaitExit(5000), 0u);
    EXPECT_EQ(Prompts(), 3u);
}

TEST_F(PasswordHooks, NoPasswordInForceLoadsNothingAndClosesAtOnce)
{
    Win98Mode win98("Tilo.scr");
    StartSaver(0);
    EXPECT_EQ(FakeGet("password loads", 0), 0u);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitExit(5000), 0u);
    EXPECT_EQ(Prompts(), 0u);
}

TEST_F(PasswordHooks, InertOutsideTheOlderFamily)
{
    StartSaver(1);
    EXPECT_EQ(FakeGet("password loads", 0), 0u);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitExit(5000), 0u);
    EXPECT_EQ(Prompts(), 0u);
}

TEST_F(PasswordHooks, ChangePasswordAsksTheProviderWithTheOwnerOrTheForegroundWindow)
{
    Win98Mode win98("Tilo.scr");
    RecordingWindow owner("owner", 200, 100);
    SetForegroundWindow(owner.hwnd());
    PumpFor(100);
    ASSERT_TRUE(saver.Start("/a 1234", {}, exe));  // 1234 is no window: the foreground one owns
    EXPECT_EQ(saver.WaitExit(10000), 0u);
    EXPECT_EQ(FakeGet("change calls", 0), 1u);
    std::string provider;
    ASSERT_TRUE(GetString(HKEY_CURRENT_USER, TILO_FAKES_KEY, "change provider", &provider));
    EXPECT_EQ(provider, "SCRSAVE");
    EXPECT_EQ(FakeGet("change owner", 0), static_cast<DWORD>(reinterpret_cast<UINT_PTR>(owner.hwnd())));
    EXPECT_EQ(FakeGet("change extra", 1), 0u);
}
