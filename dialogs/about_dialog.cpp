#include "dialogs/about_dialog.h"

#include <shellapi.h>

#include "resources/resource.h"
#include "support/center.h"
#include "support/links.h"
#include "support/process.h"
#include "support/web_page.h"

INT_PTR ShowAboutDialog(HWND owner)
{
    return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}

// Failures to start the browser or the mail program are not reported: the dialog
// stays open either way.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnDesktop(dialog);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 1);
            break;
        case IDC_SEND_MAIL:
            ShellExecuteA(nullptr, nullptr, TILO_MAIL_LINK, nullptr, nullptr, SW_SHOWMAXIMIZED);
            break;
        case IDC_VISIT_SITE:
            OpenWebPage(TILO_LINK_PRODUCT);
            break;
        case IDC_CAMPAIGN_FOR_TIBET:
            OpenWebPage(TILO_LINK_CAMPAIGN_FOR_TIBET);
            break;
        case IDC_TIBET_SOCIETY:
            OpenWebPage(TILO_LINK_TIBET_SOCIETY);
            break;
        default:
            break;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
