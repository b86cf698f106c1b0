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

// Two screenshots `apartMs` apart, compared on a grid of every 7th pixel: how many grid
// pixels of the first are lit, and how many differ in the second. A turning scene has
// both; a frozen one changes nothing, a blank one lights nothing.
struct ScreenMotion {
    int lit = 0;
    int changed = 0;
};
ScreenMotion WatchScreen(DWORD apartMs);

#endif
