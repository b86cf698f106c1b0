// The screen as the X server shows it.
#ifndef TILO_TESTS_SUPPORT_SCREENSHOT_H
#define TILO_TESTS_SUPPORT_SCREENSHOT_H

#include <windows.h>

#include <string>
#include <vector>

// 32-bit BGRX rows, top first.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Capture();
    bool SaveBmp(const std::string& path) const;
};

// Saves the part of the screen under the window as TILO_BUILD_DIR/screenshots/NAME.png,
// for a person to look at; false when it could not.
bool SaveWindowPng(HWND window, const std::string& name);

#endif
