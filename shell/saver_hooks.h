// What the shell asks of the saver built on it. The shell calls these; the saver
// defines them (the animation and the dialogs), so the shell includes none of their
// headers.
#ifndef TILO_SHELL_SAVER_HOOKS_H
#define TILO_SHELL_SAVER_HOOKS_H

#include <windows.h>

// The saver's own procedure for the saver window: ShellWindowProc hands it every
// message it passes on, and it ends by returning DefaultSaverProc's result.
LRESULT SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the configuration dialog owned by the window (or none) and returns its result.
int ShowConfigDialog(HWND owner);

// The frame-rate warning's verdict: false once the user chose to close. While it is
// set, a forgiven mouse movement does not end the saver.
extern bool g_bContinue;

#endif
