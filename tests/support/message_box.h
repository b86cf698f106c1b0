// Reading a message box or a dialog of another thread or process.
#ifndef TILO_TESTS_SUPPORT_MESSAGE_BOX_H
#define TILO_TESTS_SUPPORT_MESSAGE_BOX_H

#include <windows.h>

#include <string>
#include <vector>

// The dialog box of a message box: its text.
std::string MessageBoxText(HWND box);

// A shown dialog whose title starts with the text; null when there is none.
HWND FindDialogTitled(const char* prefix);

// The texts of a dialog's controls, in template order.
std::vector<std::string> DialogTexts(HWND dialog);

// Image controls (icons, bitmaps) of the dialog that hold their image.
int ImagesShown(HWND dialog);

// The control that has the keyboard focus on the dialog's thread, else the dialog.
HWND FocusOf(HWND dialog);

#endif
