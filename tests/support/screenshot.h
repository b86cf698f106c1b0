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
    // The whole X screen as the X server holds it, every monitor and what lies beside
    // them, read by ImageMagick's import; its top left is the virtual screen's. With a
    // name it is also kept as TILO_BUILD_DIR/screenshots/NAME.png for a person to see.
    bool CaptureXScreen(const std::string& keepAs = "");
    bool SaveBmp(const std::string& path) const;
};

// Saves the part of the screen under the window as TILO_BUILD_DIR/screenshots/NAME.png,
// for a person to look at; false when it could not.
bool SaveWindowPng(HWND window, const std::string& name);

// The screen as a running animation shows it: the first screenshot that is lit and
// differs from the screen as it was at the call (which may still hold what an earlier
// window left there), waited for up to `lightWithinMs` since the first frame can take a
// second or more on a busy machine; and a second one `apartMs` later, compared with it
// on a grid of every 7th pixel. A turning scene is lit and changes; a frozen one
// changes nothing, a blank one lights nothing. With `area` (screen coordinates) only the
// pixels inside it count.
struct ScreenMotion {
    int lit = 0;      // grid pixels of the first screenshot that are not black
    int changed = 0;  // grid pixels that differ in the second
};
ScreenMotion WatchScreen(DWORD apartMs, DWORD lightWithinMs = 10000, const RECT* area = nullptr);

#endif
