// The screen as the X server shows it.
#ifndef TILO_TESTS_SUPPORT_SCREENSHOT_H
#define TILO_TESTS_SUPPORT_SCREENSHOT_H

#include <windows.h>

#include <string>
#include <vector>

// The colours the assembly's meshes show under the lights, and black around them.
enum class Hue { Black, White, Red, Orange, Green, LightBlue, DarkBlue, Other };
const char* Name(Hue h);
// The hue of a 32-bit BGRX pixel.
Hue Classify(DWORD bgrx);

// 32-bit BGRX rows, top first.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Capture();
    bool SaveBmp(const std::string& path) const;
};

#endif
