// The keyboard view controls, the control menu (a dialog listing the keys) and the
// parameter box.
#ifndef TILO_ANIMATION_VIEW_KEYS_H
#define TILO_ANIMATION_VIEW_KEYS_H

#include <windows.h>

// Every key-down and key-up the pump takes; only key-downs act, auto-repeats included.
// In the saver window any key that is not a view key requests the stop; in the
// preview inside another window nothing acts. Returns 0.
LRESULT HandleViewKey(HWND window, UINT message, WPARAM key, LPARAM lParam);

// Opens the control menu owned by the window, unless it is open already.
void ShowControlMenu(HWND window);
INT_PTR CALLBACK ControlMenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
bool ControlMenuOpen();

// The parameter box's text for the current view.
void FormatViewParams(char* buffer, size_t capacity);

#endif
