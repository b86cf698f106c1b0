// The About dialog, template 100: the product, its maker and the link buttons.
#ifndef TILO_DIALOGS_ABOUT_DIALOG_H
#define TILO_DIALOGS_ABOUT_DIALOG_H

#include <windows.h>

// Opens it modally, owned by the window.
INT_PTR ShowAboutDialog(HWND owner);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
