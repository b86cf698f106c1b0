// Input as a user's keyboard and mouse give it, to the foreground window.
#ifndef TILO_TESTS_SUPPORT_USER_INPUT_H
#define TILO_TESTS_SUPPORT_USER_INPUT_H

#include <windows.h>

#include <string>

// Presses and releases a key; with alt, while Alt is held.
void PressKey(WORD vk, bool alt = false);

// Moves the pointer with absolute positions, as a user's mouse would.
void MovePointer(int x, int y);

// Input from the X server's own keyboard (xdotool), to a window of any process: the
// window is brought to the front first. Keys in xdotool's names ("alt+n Return"); text
// typed as it is. False when the window did not come to the front or xdotool failed.
bool XdoKeys(HWND window, const std::string& keys);
bool XdoType(HWND window, const std::string& text);
// Input from the X server's own keyboard or pointer in xdotool's words ("key Escape",
// "mousemove --sync 700 400"), to whichever window X gives it: nothing is brought to the
// front first. False when xdotool failed.
bool XInput(const std::string& xdotoolCommand);
// Whether X gives its keyboard to the window (a top-level one of any process), told by
// its title.
bool XKeyboardAt(HWND window);
// A click of the X server's pointer on the middle of a control.
bool XdoClick(HWND control);
// Clicks the left button at the point, or in the middle of a window of any process.
void ClickAt(int x, int y);
void Click(HWND window);

#endif
