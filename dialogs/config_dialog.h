// The configuration dialog, resource 2003: the second host of the animation, beside
// the saver window. Opened by the shell through ShowConfigDialog (shell/saver_hooks.h).
#ifndef TILO_DIALOGS_CONFIG_DIALOG_H
#define TILO_DIALOGS_CONFIG_DIALOG_H

#include <windows.h>

#include "shell/saver_hooks.h"

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
