// The settings dialog in this process, with the saver's resources: its module controls
// over a table of several modules, and the real dialog worked from a second thread
// where the outside cannot see (the spin's steps, whose keys are the edit's, the voice
// rotation). Each test runs in a process of its own.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "animation/frame_pump.h"
#include "animation/modules.h"
#include "dialogs/config_dialog.h"
#include "resources/resource.h"
#include "support/background_task.h"
#include "support/message_box.h"
#include "support/process.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/settings_store.h"

namespace {

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string EditText(HWND dialog)
{
    char text[32] = {};
    GetDlgItemTextA(dialog, IDC_CYCLE_EDIT, text, sizeof text);
    return text;
}

// Runs the settings dialog on this thread while `act` works it from another; the dialog
// is cancelled after `act` unless it closed it. The dialog's result.
INT_PTR WithSettings(const std::function<void(HWND)>& act)
{
    BackgroundTask driver([&] {
        HWND dialog = nullptr;
        for (DWORD start = GetTickCount(); !dialog && GetTickCount() - start < 10000; Sleep(10))
            dialog = FindDialogTitled("Tilo Settings");
        if (!dialog) return;
        act(dialog);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    return ShowConfigDialog(nullptr);
}

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseSaverResources()); }
    ProductKeyBackup key_;
};

}  // namespace

TEST_F(ConfigDialog, ModuleControlsWorkOverATableOfSeveralModules)
{
    ScratchKey scratch;
    SelectKey(nullptr, scratch.path().c_str());
    SetDword(HKEY_CURRENT_USER, scratch.path().c_str(), "mod2 depth", 2500);
    SetDword(HKEY_CURRENT_USER, scratch.path().c_str(), "mod3 active", 0);
    ModuleParams table[6], defaults[6];
    LoadModuleTable(table, defaults, 5);
    SelectKey(nullptr, TILO_PRODUCT_KEY);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    HWND d = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONFIG), nullptr, Inert, 0);
    ASSERT_TRUE(d);
    auto box = [&](int id) { return IsDlgButtonChecked(d, id) == BST_CHECKED; };
    auto tick = [&](int id, bool on) {
        CheckDlgButton(d, id, on ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_TRUE(ModuleCommand(d, id, table, 5));
    };

    ShowModuleFlags(d, table, 5);
    EXPECT_TRUE(box(IDC_ENABLE_ANIMATION) && box(IDC_MODULE2_BOX) && box(IDC_MODULE4_BOX) &&
                box(IDC_MODULE5_BOX));
    EXPECT_FALSE(box(IDC_MODULE3_BOX));

    // Module 2's button: module 1's adjusted view is kept, module 2's stored view shown.
    g_nCurModule = 1;
    SelectModuleIn(table, 5, 1);
    g_fDepth = 43.0f;
    g_fSpin = 7.0f;
    EXPECT_TRUE(ModuleCommand(d, IDC_MODULE1 + 1, table, 5));
    EXPECT_EQ(g_nCurModule, 2);
    EXPECT_EQ(table[1].depth, 43.0f);
    EXPECT_EQ(g_fDepth, 25.0f);
    EXPECT_EQ(g_fSpin, 0.0f);
    EXPECT_TRUE(table[2].active);

    tick(IDC_MODULE3_BOX, true);
    tick(IDC_MODULE4_BOX, false);
    EXPECT_TRUE(table[3].active);
    EXPECT_FALSE(table[4].active);
    EXPECT_TRUE(ModuleCommand(d, IDC_DISABLE_ALL, table, 5));
    for (int m = 1; m <= 5; ++m) EXPECT_FALSE(table[m].active) << m;
    EXPECT_FALSE(box(IDC_ENABLE_ANIMATION) || box(IDC_MODULE2_BOX) || box(IDC_MODULE5_BOX));
    EXPECT_EQ(g_nCurModule, 2);
    EXPECT_TRUE(ModuleCommand(d, IDC_ENABLE_ALL, table, 5));
    for (int m = 1; m <= 5; ++m) EXPECT_TRUE(table[m].active) << m;
    EXPECT_TRUE(box(IDC_MODULE3_BOX) && box(IDC_MODULE4_BOX));

    // Module 1's box shows module 1 from its stored view and switches it.
    g_fDepth = 99.0f;
    tick(IDC_ENABLE_ANIMATION, false);
    EXPECT_EQ(g_nCurModule, 1);
    EXPECT_EQ(g_fDepth, 43.0f);
    EXPECT_FALSE(table[1].active);

    // With this build's single module, the others' controls change nothing.
    const ModuleParams before = table[2];
    EXPECT_TRUE(ModuleCommand(d, IDC_MODULE1 + 1, table, 1));
    CheckDlgButton(d, IDC_MODULE2_BOX, BST_UNCHECKED);
    EXPECT_TRUE(ModuleCommand(d, IDC_MODULE2_BOX, table, 1));
    EXPECT_EQ(g_nCurModule, 1);
    EXPECT_EQ(memcmp(&before, &table[2], sizeof before), 0);
    ShowModuleFlags(d, table, 1);
    EXPECT_FALSE(box(IDC_MODULE2_BOX));
    EXPECT_FALSE(ModuleCommand(d, IDOK, table, 5));
    DestroyWindow(d);
}

TEST_F(ConfigDialog, TheSpinStepsOneAtATimeHoweverOftenItIsPressedAndItsEndsGiveTheLimits)
{
    std::string afterDowns, afterUps, top, bottom, still;
    WithSettings([&](HWND d) {
        HWND spin = GetDlgItem(d, IDC_CYCLE_SPIN);
        RECT rc = {};
        GetClientRect(spin, &rc);
        auto press = [&](int times, bool up) {
            const LPARAM at = MAKELPARAM(rc.right / 2, up ? rc.bottom / 4 : rc.bottom * 3 / 4);
            for (int i = 0; i < times; ++i) {
                SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
                SendMessageA(spin, WM_LBUTTONUP, 0, at);
            }
        };
        SetDlgItemTextA(d, IDC_CYCLE_EDIT, "500");
        press(130, false);
        afterDowns = EditText(d);
        press(3, true);
        afterUps = EditText(d);
        SendMessageA(d, WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(spin));
        top = EditText(d);
        SendMessageA(d, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(spin));
        bottom = EditText(d);
        SendMessageA(d, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 90), reinterpret_cast<LPARAM>(spin));
        SendMessageA(d, WM_VSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(spin));
        still = EditText(d);
    });
    EXPECT_EQ(afterDowns, "370");
    EXPECT_EQ(afterUps, "373");
    EXPECT_EQ(top, "9999");
    EXPECT_EQ(bottom, "1");
    EXPECT_EQ(still, "1");
    EXPECT_EQ(g_nCycleTime, 1);
}

TEST_F(ConfigDialog, KeysAreTheEditsOnlyWhileItHasTheFocusAndOkStoresACycleTimeItAccepts)
{
    bool whileFocused = false, afterLeaving = true;
    std::string clamped;
    INT_PTR result = WithSettings([&](HWND d) {
        HWND edit = GetDlgItem(d, IDC_CYCLE_EDIT);
        ShowWindow(edit, SW_SHOW);
        SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        SetWindowTextA(edit, "0");
        whileFocused = g_bKeysToEdit;
        SendMessageA(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(d, IDOK)), TRUE);
        afterLeaving = g_bKeysToEdit;
        clamped = EditText(d);
        // Written while the edit has not the focus, the text is not clamped until OK.
        SetWindowTextA(edit, "  12345x");
        PostMessageA(d, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(whileFocused);
    EXPECT_FALSE(afterLeaving);
    EXPECT_EQ(clamped, "1");
    EXPECT_EQ(StoredDword("cycle time"), 9999u);
}

TEST_F(ConfigDialog, TickingEnableSoundStartsTheChantAndTheNextVoiceFollowsOnlyAfterTheRotation)
{
    bool early = false, followed = false;
    WithSettings([&](HWND d) {
        // Long enough unticked for the rotation to be due.
        for (DWORD start = GetTickCount(); g_nFramesShown < 130 && GetTickCount() - start < 20000;) Sleep(20);
        SendMessageA(GetDlgItem(d, IDC_ENABLE_SOUND), BM_CLICK, 0, 0);
        const DWORD ticked = GetTickCount();
        for (; GetTickCount() - ticked < kMusicRotationMs - 700; Sleep(10)) early |= g_nMusicVoice != 0;
        for (; GetTickCount() - ticked < 3 * kMusicRotationMs && !followed; Sleep(10))
            followed = g_nMusicVoice == 1;
    });
    EXPECT_FALSE(early) << "a second voice started with the first";
    EXPECT_TRUE(followed);
    EXPECT_TRUE(g_bSoundOn);
}
