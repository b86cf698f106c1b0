// The view keys and the control menu in this process, where the view globals and the
// pointer can be read directly. Each test runs in a process of its own.
#include <gtest/gtest.h>

#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "animation/view_keys.h"
#include "dialogs/module_buttons.h"
#include "support/background_task.h"
#include "support/process.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/settings_store.h"

namespace {

void Press(WPARAM vk, HWND window = nullptr) { HandleViewKey(window, WM_KEYDOWN, vk, 1); }

void LoadFresh(const ScratchKey& scratch)
{
    SelectKey(nullptr, scratch.path().c_str());
    LoadModuleParams();
}

// Closes the first dialog of that caption that appears, with the command given, and
// notes where the pointer was confined while it was open.
struct DialogCloser {
    RECT clip = {};
    bool found = false;
    BackgroundTask task;
    DialogCloser(const char* caption, WPARAM command)
        : task([this, caption, command] {
              HWND d = PollForWindow("#32770", caption, 5000);
              Sleep(100);
              GetClipCursor(&clip);
              if (d) PostMessageA(d, WM_COMMAND, command, 0);
              found = d != nullptr;
          })
    {
    }
    bool Join() { return task.Join() && found; }
};

int PointerCount()
{
    int n = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return n - 1;
}

}  // namespace

TEST(ViewKeys, HomeKeepsTheAngleAndEnterRestartsIt)
{
    ScratchKey scratch;
    LoadFresh(scratch);
    g_bSaverWindow = true;
    g_bFullScreen = true;
    Press(VK_PRIOR);
    Press(VK_F3);
    g_fSpin = 50.0f;
    Press(VK_HOME);
    EXPECT_FLOAT_EQ(g_fDepth, 41.0f);
    EXPECT_FLOAT_EQ(g_fXrot, 0.0f);
    EXPECT_FLOAT_EQ(g_fSpeed, 0.1f);
    EXPECT_FLOAT_EQ(g_fSpin, 50.0f);
    Press(VK_PRIOR);
    Press(VK_RETURN);  // only module 1 is active: it is selected again, from its stored view
    EXPECT_EQ(g_nCurModule, 1);
    EXPECT_FLOAT_EQ(g_fSpin, 0.0f);
    EXPECT_FLOAT_EQ(g_fDepth, 41.3f);  // Enter stored the view before reselecting
    EXPECT_FALSE(g_bStop);
}

TEST(ViewKeys, OtherKeysEndOnlyTheFullScreenSaver)
{
    ScratchKey scratch;
    LoadFresh(scratch);
    // In the configuration dialog a letter does nothing.
    g_bSaverWindow = false;
    Press('A');
    Press(VK_SPACE);
    EXPECT_FALSE(g_bStop);
    // In the preview inside another window nothing acts at all.
    g_bSaverWindow = true;
    g_bFullScreen = false;
    float depth = g_fDepth;
    Press(VK_PRIOR);
    Press(VK_ESCAPE);
    Press('A');
    EXPECT_FLOAT_EQ(g_fDepth, depth);
    EXPECT_FALSE(g_bStop);
    // Full screen: a key-up does nothing, a letter's key-down ends it.
    g_bFullScreen = true;
    HandleViewKey(nullptr, WM_KEYUP, 'A', 1);
    EXPECT_FALSE(g_bStop);
    Press('A');
    EXPECT_TRUE(g_bStop);
}

TEST(ViewKeys, FSixAddsAndFSevenSubtracts)
{
    ScratchKey scratch;
    LoadFresh(scratch);
    g_bSaverWindow = true;
    g_bFullScreen = true;
    Press(VK_F6);
    EXPECT_FLOAT_EQ(g_fZrot, 1.5f);
    Press(VK_F7);
    Press(VK_F7);
    EXPECT_FLOAT_EQ(g_fZrot, -1.5f);
    Press(VK_F4);
    EXPECT_FLOAT_EQ(g_fYrot, -1.5f);
    Press(VK_F2);
    EXPECT_FLOAT_EQ(g_fXrot, -1.5f);
}

TEST(ControlMenu, InTheSaverThePointerIsShownAndConfinedThenHiddenAndFreedAgain)
{
    g_hInstance =
        reinterpret_cast<HINSTANCE>(LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(g_hInstance);
    g_bSaverWindow = true;
    g_bFullScreen = true;
    ShowCursor(FALSE);  // the saver's pointer is hidden
    int before = PointerCount();
    DialogCloser closer("Control Menu", IDCANCEL);
    ShowControlMenu(nullptr);
    ASSERT_TRUE(closer.Join());
    EXPECT_LT(closer.clip.right - closer.clip.left, GetSystemMetrics(SM_CXSCREEN));  // confined
    EXPECT_EQ(PointerCount(), before);
    RECT clip;
    GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_FALSE(ControlMenuOpen());
}

TEST(ControlMenu, InTheConfigurationDialogThePointerIsLeftAlone)
{
    g_hInstance =
        reinterpret_cast<HINSTANCE>(LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(g_hInstance);
    g_bSaverWindow = false;
    int before = PointerCount();
    DialogCloser closer("Control Menu", IDOK);
    ShowControlMenu(nullptr);
    ASSERT_TRUE(closer.Join());
    EXPECT_EQ(closer.clip.right - closer.clip.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(PointerCount(), before);
}

TEST(ControlMenu, MarkModuleButtonWithNoModuleUnchecksThemAll)
{
    HWND dialog = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    for (int id = 1024; id <= 1033; ++id)
        CreateWindowA("BUTTON", "", WS_CHILD | BS_AUTORADIOBUTTON, 0, 0, 10, 10, dialog,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    MarkModuleButton(dialog, 3);
    for (int id = 1024; id <= 1033; ++id) EXPECT_EQ(IsDlgButtonChecked(dialog, id), id == 1026 ? 1u : 0u);
    MarkModuleButton(dialog, 0);
    for (int id = 1024; id <= 1033; ++id) EXPECT_EQ(IsDlgButtonChecked(dialog, id), 0u);
    MarkModuleButton(dialog, 11);
    for (int id = 1024; id <= 1033; ++id) EXPECT_EQ(IsDlgButtonChecked(dialog, id), 0u);
    DestroyWindow(dialog);
}
