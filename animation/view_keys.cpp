#include "animation/view_keys.h"

#include <stdio.h>

#include "animation/frame_pump.h"
#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "animation/view_steps.h"
#include "dialogs/module_buttons.h"
#include "resources/resource.h"
#include "shell/saver_window.h"
#include "support/center.h"
#include "support/process.h"

namespace {

bool s_controlMenuOpen = false;

// The pointer was free while a dialog of the saver was open.
void AfterFreePointer()
{
    if (g_bSaverWindow) RestartMovementRule();
}

void StepModule(HWND window, int (*next)(int))
{
    StoreModule(g_nCurModule);
    g_nCurModule = next(g_nCurModule);
    SelectModule(g_nCurModule);
    g_dwCycleStart = GetTickCount();
    if (!g_bSaverWindow) MarkModuleButton(window, g_nCurModule);
}

void ShowViewParams(HWND window)
{
    char text[512];
    FormatViewParams(text, sizeof text);
    MessageBoxA(window, text, "Params", MB_OK);
    AfterFreePointer();
}

}  // namespace

void FormatViewParams(char* buffer, size_t capacity)
{
    snprintf(buffer, capacity,
             "g_fDepth %f\ng_fHorz  %f\ng_fVert  %f\ng_fXrot  %f\ng_fYrot  %f\ng_fZrot  %f\ng_fSpeed %f\n",
             static_cast<double>(g_fDepth), static_cast<double>(g_fHorz), static_cast<double>(g_fVert),
             static_cast<double>(g_fXrot), static_cast<double>(g_fYrot), static_cast<double>(g_fZrot),
             static_cast<double>(g_fSpeed));
}

LRESULT HandleViewKey(HWND window, UINT message, WPARAM key, LPARAM)
{
    if (g_bSaverWindow && !g_bFullScreen) return 0;
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return 0;

    switch (key) {
    case VK_BACK:
        StepModule(window, PrevActiveModule);
        break;
    case VK_RETURN:
        StepModule(window, NextActiveModule);
        break;
    case VK_ESCAPE:
        g_bStop = true;
        break;
    case VK_PRIOR:
    case VK_NUMPAD9:
        g_fDepth += DepthStep(g_fDepth);
        break;
    case VK_NEXT:
    case VK_NUMPAD3:
        g_fDepth -= DepthStep(g_fDepth);
        break;
    case VK_HOME:
        RestoreDefaultView(g_nCurModule);
        break;
    case VK_LEFT:
    case VK_NUMPAD4:
        g_fHorz -= PanStep(g_fDepth);
        break;
    case VK_UP:
    case VK_NUMPAD8:
        g_fVert += PanStep(g_fDepth);
        break;
    case VK_RIGHT:
    case VK_NUMPAD6:
        g_fHorz += PanStep(g_fDepth);
        break;
    case VK_DOWN:
    case VK_NUMPAD2:
        g_fVert -= PanStep(g_fDepth);
        break;
    case VK_F1:
        ShowControlMenu(window);
        break;
    case VK_F2:
        g_fXrot -= kRotationStep;
        break;
    case VK_F3:
        g_fXrot += kRotationStep;
        break;
    case VK_F4:
        g_fYrot -= kRotationStep;
        break;
    case VK_F5:
        g_fYrot += kRotationStep;
        break;
    case VK_F6:  // F6 adds and F7 subtracts, unlike the other pairs
        g_fZrot += kRotationStep;
        break;
    case VK_F7:
        g_fZrot -= kRotationStep;
        break;
    case VK_F8:
        g_fSpeed = SteppedSpeed(g_fSpeed, -kSpeedStep);
        break;
    case VK_F9:
        g_fSpeed = SteppedSpeed(g_fSpeed, kSpeedStep);
        break;
    case VK_F11:
        ShowViewParams(window);
        break;
    default:
        if (g_bSaverWindow) g_bStop = true;
        break;
    }
    return 0;
}

bool ControlMenuOpen() { return s_controlMenuOpen; }

void ShowControlMenu(HWND window)
{
    if (s_controlMenuOpen) return;
    s_controlMenuOpen = true;
    DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONTROLMENU), window, ControlMenuDialogProc, 0);
    s_controlMenuOpen = false;
    AfterFreePointer();
}

INT_PTR CALLBACK ControlMenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnDesktop(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        if (g_bSaverWindow) {
            ShowCursor(TRUE);
            RECT rc;
            GetWindowRect(dialog, &rc);
            ClipCursor(&rc);
        }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (g_bSaverWindow) {
                ShowCursor(FALSE);
                ClipCursor(nullptr);
            }
            EndDialog(dialog, 1);
        }
        return TRUE;
    default:
        return FALSE;
    }
}
