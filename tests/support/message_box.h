// Reading a message box of another thread or process.
#ifndef TILO_TESTS_SUPPORT_MESSAGE_BOX_H
#define TILO_TESTS_SUPPORT_MESSAGE_BOX_H

#include <windows.h>

#include <string>

// The dialog box of a message box: its text.
std::string MessageBoxText(HWND box);

#endif
