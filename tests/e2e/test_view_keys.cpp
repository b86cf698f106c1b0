// The view keys of the running full-screen saver, seen through what it stores on close,
// what it shows, and the dialogs it opens.
#include <gtest/gtest.h>

#include <string>

#include "support/message_box.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/settings_store.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

class SaverKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = std::make_unique<ProductKeyBackup>();
        MovePointer(400, 300);
    }
    void TearDown() override
    {
        if (saver.Running() && window) PostMessageA(window, WM_CLOSE, 0, 0);
        saver.WaitExit(5000);
        saver.Kill();
        saved_.reset();
    }
    void Start()
    {
        ASSERT_TRUE(saver.Start("/s"));
        window = WaitForSaverWindow(saver);
        ASSERT_TRUE(window);
        SyncWith(window);
        PumpFor(300);
    }
    // Real keyboard input: it reaches the saver behind the frame messages, through the
    // pump, as a user's keys do.
    void Key(WORD vk, bool alt = false) { PressKey(vk, alt); }
    int Stored(const char* name)
    {
        DWORD v = 0xDEADBEEF;
        GetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, name, &v);
        return static_cast<int>(v);
    }
    void Store(const char* name, int value) { SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, name, value); }
    DWORD EndCode(DWORD ms = 5000) { return saver.WaitExit(ms); }

    SaverProcess saver;
    HWND window = nullptr;

private:
    std::unique_ptr<ProductKeyBackup> saved_;
};

}  // namespace

TEST_F(SaverKeys, PageUpStepsByTheDepthAndEscSavesTheView)
{
    Store("mod1 depth", 12050);
    Start();
    Key(VK_PRIOR);
    Key(VK_ESCAPE);
    EXPECT_EQ(EndCode(), 0u);
    EXPECT_EQ(Stored("mod1 depth"), 12250);  // a step of 2 at depth 120.5
}

TEST_F(SaverKeys, SpeedIsClampedAtTen)
{
    Store("mod1 speed", 995);
    Start();
    Key(VK_F9);
    Key(VK_F9);
    Key(VK_ESCAPE);
    EXPECT_EQ(EndCode(), 0u);
    EXPECT_EQ(Stored("mod1 speed"), 1000);
}

TEST_F(SaverKeys, EveryViewKeyActsAndHomeRestoresTheDefaults)
{
    Start();
    // At depth 41: pan 0.1, zoom 0.3; numeric-pad codes act like the arrows.
    for (WORD vk : {VK_LEFT, VK_NUMPAD4, VK_UP, VK_F2, VK_F5, VK_F6, VK_F6, VK_F8, VK_NEXT, VK_NUMPAD3})
        Key(vk);
    Key(VK_ESCAPE);
    EXPECT_EQ(EndCode(), 0u);
    EXPECT_EQ(Stored("mod1 horz"), -20);
    EXPECT_EQ(Stored("mod1 vert"), 10);
    EXPECT_EQ(Stored("mod1 xrot"), -150);
    EXPECT_EQ(Stored("mod1 yrot"), 150);
    EXPECT_EQ(Stored("mod1 zrot"), 300);
    EXPECT_EQ(Stored("mod1 speed"), 6);  // 0.1 - 0.125 is clamped to 0.0625
    EXPECT_EQ(Stored("mod1 depth"), 4040);

    Start();
    Key(VK_HOME);
    Key(VK_ESCAPE);
    EXPECT_EQ(EndCode(), 0u);
    EXPECT_EQ(Stored("mod1 depth"), 4100);
    EXPECT_EQ(Stored("mod1 horz"), 0);
    EXPECT_EQ(Stored("mod1 xrot"), 0);
    EXPECT_EQ(Stored("mod1 speed"), 10);
}

TEST_F(SaverKeys, ALetterOrTheSpaceBarEndsTheSaverAndSavesTheView)
{
    for (WORD vk : {static_cast<WORD>('A'), static_cast<WORD>(VK_SPACE)}) {
        Store("mod1 depth", 5000);
        Start();
        Key(VK_PRIOR);  // depth 50: a step of 1
        Key(vk);
        EXPECT_EQ(EndCode(), 0u) << vk;
        EXPECT_EQ(Stored("mod1 depth"), 5100) << vk;
    }
}

// The window can be found as soon as it exists, while its set-up still runs; a key
// pressed from then on ends the saver.
TEST_F(SaverKeys, AKeyInTheFirstMomentEndsTheSaver)
{
    const struct {
        DWORD afterMs;
        WORD key;
    } cases[] = {{30, VK_ESCAPE}, {120, 'A'}, {250, VK_ESCAPE}};
    for (const auto& c : cases) {
        ASSERT_TRUE(saver.Start("/s"));
        window = WaitForSaverWindow(saver);
        ASSERT_TRUE(window);
        Sleep(c.afterMs);
        Key(c.key);
        EXPECT_EQ(EndCode(), 0u) << "key " << c.key << " at " << c.afterMs << " ms";
        saver.Kill();
    }
}

TEST_F(SaverKeys, SystemKeysDoNotEndTheSaver)
{
    Start();
    Key(VK_F10);
    Key('Q', true);  // Alt+Q
    SyncWith(window);
    PumpFor(300);
    EXPECT_TRUE(saver.Running());
}

TEST_F(SaverKeys, F1OpensOneControlMenuThatPausesTheAnimation)
{
    Start();
    Key(VK_F1);
    HWND menu = WaitForWindow("#32770", "Control Menu", 5000, saver.pid());
    ASSERT_TRUE(menu);
    Key(VK_F1);
    PumpFor(300);
    int menus = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", "Control Menu")) != nullptr;) ++menus;
    EXPECT_EQ(menus, 1);

    char text[512] = {};
    GetWindowTextA(FindWindowExA(menu, nullptr, "Static", nullptr), text, sizeof text);
    EXPECT_EQ(std::string(text),
              "F1 - This Control Menu\nEsc - Quit\n\nPage Up - Zoom Out\nPage Down - Zoom In\n"
              "Arrow Keys - Up Down Right Left\nF2,F3 - Rotate Fwd/Bkwd\nF4,F5 - Rotate Vertical\n"
              "F6,F7 - Rotate Left/Right\nF8,F9 - Speed Up/Down\nHome - Restore Default Position");
    RECT mr, clip;
    GetWindowRect(menu, &mr);
    GetClipCursor(&clip);
    EXPECT_EQ(clip.left, mr.left);
    EXPECT_EQ(clip.right, mr.right);
    EXPECT_EQ(clip.bottom, mr.bottom);

    // While it is open no frame is drawn: the screen outside the dialog stands still.
    Screenshot a, b;
    ASSERT_TRUE(a.Capture());
    PumpFor(600);
    ASSERT_TRUE(b.Capture());
    EXPECT_EQ(a.pixels, b.pixels);

    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);  // Esc closes it like OK
    EXPECT_TRUE(WaitWindowGone(menu, 5000));
    GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXSCREEN));
    PumpFor(300);
    EXPECT_TRUE(saver.Running());
    EXPECT_GT(WatchScreen(500).changed, 0) << "the animation stays paused";

    Key(VK_F1);
    menu = WaitForWindow("#32770", "Control Menu", 5000, saver.pid());
    ASSERT_TRUE(menu);
    PostMessageA(menu, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitWindowGone(menu, 5000));
}

TEST_F(SaverKeys, F11ShowsTheSevenViewValues)
{
    Store("mod1 depth", 4250);
    Start();
    Key(VK_F11);
    HWND box = WaitForWindow("#32770", "Params", 5000, saver.pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box),
              "g_fDepth 42.500000\ng_fHorz  0.000000\ng_fVert  0.000000\ng_fXrot  0.000000\n"
              "g_fYrot  0.000000\ng_fZrot  0.000000\ng_fSpeed 0.100000\n");
    EXPECT_TRUE(GetDlgItem(box, IDOK));
    EXPECT_FALSE(GetDlgItem(box, IDCANCEL));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitWindowGone(box, 5000));
    PumpFor(200);
    EXPECT_TRUE(saver.Running());
}
