#include "dialogs/config_dialog.h"

#include <commctrl.h>
#include <stdio.h>

#include "animation/frame_monitor.h"
#include "animation/frame_pump.h"
#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "dialogs/about_dialog.h"
#include "render/gl_context.h"
#include "resources/resource.h"
#include "sound/music_player.h"
#include "support/center.h"
#include "support/process.h"
#include "support/settings_store.h"

namespace {

// Module m's on/off box is kModuleBoxes[m - 1].
const int kModuleBoxes[IDC_MODULE_SLOTS] = {
    IDC_ENABLE_ANIMATION, IDC_MODULE2_BOX, IDC_MODULE3_BOX, IDC_MODULE4_BOX, IDC_MODULE5_BOX,
    IDC_MODULE6_BOX,      IDC_MODULE7_BOX, IDC_MODULE8_BOX, IDC_MODULE9_BOX, IDC_MODULE10_BOX};

// The edit is read up to this many characters.
const int kCycleTextChars = 9;

// The spin control keeps its default range (100 down to 0: the up arrow lowers the
// position) and is put back here after each step, so that neither arrow ever meets the
// end of the range, where its position would stop changing and the step turn round.
const int kSpinRest = 50;
int s_nLastSpinPos = kSpinRest;  // the position the control reported last

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

int ModuleOfBox(int id)
{
    for (int m = 1; m <= IDC_MODULE_SLOTS; ++m)
        if (kModuleBoxes[m - 1] == id) return m;
    return 0;
}

// Shows module m from its stored view, its animation angle restarted; its active flag
// follows its box.
void ShowModule(HWND dialog, ModuleParams* table, int count, int m)
{
    g_nCurModule = m;
    SelectModuleIn(table, count, m);
    table[m].active = Checked(dialog, kModuleBoxes[m - 1]);
}

int ReadCycleTime(HWND dialog)
{
    char text[kCycleTextChars + 1] = {};
    GetDlgItemTextA(dialog, IDC_CYCLE_EDIT, text, sizeof text);
    return CycleTimeFromText(text);
}

void WriteCycleText(HWND dialog, int seconds)
{
    char text[16];
    snprintf(text, sizeof text, "%d", seconds);
    SetDlgItemTextA(dialog, IDC_CYCLE_EDIT, text);
}

void SetCycleTime(HWND dialog, int seconds)
{
    g_nCycleTime = ClampCycleTime(seconds);
    WriteCycleText(dialog, g_nCycleTime);
}

void RestSpin(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_CYCLE_SPIN, UDM_SETPOS, 0, MAKELPARAM(kSpinRest, 0));
    s_nLastSpinPos = kSpinRest;
}

void OnInitDialog(HWND dialog)
{
    g_bSaverWindow = false;
    SelectKey(dialog, TILO_PRODUCT_KEY);
    g_bFrameWarnOff = ReadUserInt("disable_frame_warn", 0) == 1;
    LoadModuleParams();
    SelectKey(dialog, TILO_PRODUCT_KEY);
    CenterOnDesktop(dialog);
    const bool drawing = CreateGLContext(GetDlgItem(dialog, IDC_PREVIEW_FRAME), 32);
    ShowModuleFlags(dialog, g_Modules, MODULE_COUNT);
    CheckDlgButton(dialog, IDC_ENABLE_SOUND, g_bSoundOn ? BST_CHECKED : BST_UNCHECKED);
    WriteCycleText(dialog, g_nCycleTime);
    RestSpin(dialog);
    if (!drawing) {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return;
    }
    g_bKeysToEdit = false;
    g_dwCycleStart = GetTickCount();
    PostNextFrame(dialog);
    StartMusic();
    if (g_bSoundOn) PlayVoice(dialog, 0);
}

// The close follows from the stop: the pump posts it when the command came through the
// pump's drain. A command that the dialog's own loop took (a posted one, Esc through
// the dialog manager) gets it here, since a stopped pump does nothing at all.
void Stop(HWND dialog)
{
    g_bStop = true;
    StopMusic();
    ShutdownMusic();
    if (!g_bInFramePump && !g_bClosing) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void OnCommand(HWND dialog, int id, int code)
{
    g_bKeysToEdit = false;
    if (ModuleCommand(dialog, id, g_Modules, MODULE_COUNT)) return;
    switch (id) {
    case IDOK:
        // Stored within the range the edit accepts, as if it had lost the focus.
        g_nCycleTime = ClampCycleTime(ReadCycleTime(dialog));
        StoreModule(g_nCurModule);
        SaveModuleParams();
        WriteUserInt("enable sound", g_bSoundOn ? 1 : 0);
        Stop(dialog);
        break;
    case IDCANCEL:
        Stop(dialog);
        break;
    case IDC_ABOUT_BUTTON: {
        // The animation pauses while About is open. A click that reaches the dialog's
        // own loop rather than the pump's drain leaves the next frame's request waiting
        // in the queue, where About's loop would run it: the pump is marked busy
        // meanwhile, and the one request of the chain is posted again afterwards.
        const bool inPump = g_bInFramePump;
        g_bInFramePump = true;
        ShowAboutDialog(dialog);
        g_bInFramePump = inPump;
        if (!g_bStop) RestartFrames(dialog);
        break;
    }
    case IDC_CYCLE_EDIT:
        // Keys are the edit's while it has the focus. Its own notifications of a text
        // written while it has not (the clamp below) leave them to the view.
        g_bKeysToEdit = code != EN_KILLFOCUS && GetFocus() == GetDlgItem(dialog, IDC_CYCLE_EDIT);
        if (code == EN_KILLFOCUS) SetCycleTime(dialog, ReadCycleTime(dialog));
        break;
    case IDC_ENABLE_SOUND:
        g_bSoundOn = Checked(dialog, IDC_ENABLE_SOUND);
        // From the start of a copy, so that two copies never begin together.
        if (g_bSoundOn)
            RestartMusicRotation(dialog);
        else
            StopMusic();
        break;
    default:
        break;
    }
}

void OnSpin(HWND dialog, int code, int position)
{
    int seconds = ReadCycleTime(dialog);
    switch (code) {
    case SB_THUMBPOSITION:
        seconds += position <= s_nLastSpinPos ? 1 : -1;
        RestSpin(dialog);
        break;
    case SB_TOP:
        seconds = kMaxCycleTime;
        break;
    case SB_BOTTOM:
        seconds = 0;
        break;
    case SB_THUMBTRACK:
    case SB_ENDSCROLL:
        return;
    default:
        break;
    }
    SetCycleTime(dialog, seconds);
}

void OnClose(HWND dialog)
{
    if (TearDownAnimation()) EndDialog(dialog, 1);
}

}  // namespace

int ShowConfigDialog(HWND owner)
{
    // The template's spin is a common control, whose class must exist before it.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    return static_cast<int>(
        DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigDialogProc, 0));
}

void ShowModuleFlags(HWND dialog, const ModuleParams* table, int count)
{
    for (int m = 1; m <= IDC_MODULE_SLOTS; ++m)
        CheckDlgButton(dialog, kModuleBoxes[m - 1],
                       m <= count && table[m].active ? BST_CHECKED : BST_UNCHECKED);
}

bool ModuleCommand(HWND dialog, int id, ModuleParams* table, int count)
{
    if (id == IDC_ENABLE_ALL || id == IDC_DISABLE_ALL) {
        for (int m = 1; m <= count; ++m) table[m].active = id == IDC_ENABLE_ALL;
        ShowModuleFlags(dialog, table, count);
        return true;
    }
    const int button = id - IDC_MODULE1 + 1;
    if (button >= 1 && button <= IDC_MODULE_SLOTS) {
        if (button <= count) {
            StoreModuleIn(table, count, g_nCurModule);
            ShowModule(dialog, table, count, button);
        }
        return true;
    }
    const int box = ModuleOfBox(id);
    if (box == 0) return false;
    // Module 1's box shows it afresh; the others only switch their module.
    if (box == 1 && count >= 1)
        ShowModule(dialog, table, count, 1);
    else if (box <= count)
        table[box].active = Checked(dialog, id);
    return true;
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        OnSpin(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        OnClose(dialog);
        return TRUE;
    case WM_NEXT_FRAME:
        PumpFrame(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}
