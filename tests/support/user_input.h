// Input as a user's keyboard and mouse give it, to the foreground window.
#ifndef TILO_TESTS_SUPPORT_USER_INPUT_H
#define TILO_TESTS_SUPPORT_USER_INPUT_H

#include <windows.h>

// Presses and releases a key; with alt, while Alt is held.
void PressKey(WORD vk, bool alt = false);

// Moves the pointer with absolute positions, as a user's mouse would.
void MovePointer(int x, int y);

// Clicks the left button at the point, or in the middle of a window of any process.
void ClickAt(int x, int y);
void Click(HWND window);

#endif
