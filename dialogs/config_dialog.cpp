#include "dialogs/config_dialog.h"

#include "resources/resource.h"
#include "support/center.h"
#include "support/process.h"

int ShowConfigDialog(HWND owner)
{
    return static_cast<int>(
        DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONFIG), owner, ConfigDialogProc, 0));
}

// The dialog's result is 1 whichever way it is left; only OK will store settings.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnDesktop(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 1);
        return TRUE;
    default:
        return FALSE;
    }
}
