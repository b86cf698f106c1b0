// The configuration dialog, resource 2003.
#ifndef TILO_DIALOGS_CONFIG_DIALOG_H
#define TILO_DIALOGS_CONFIG_DIALOG_H

#include <windows.h>

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
