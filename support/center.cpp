#include "support/center.h"

void CenterOnDesktop(HWND window)
{
    RECT d = {}, w = {};
    GetWindowRect(GetDesktopWindow(), &d);
    GetWindowRect(window, &w);
    int x = (d.right - (w.right - w.left)) / 2;
    int y = (d.bottom - (w.bottom - w.top)) / 2;
    SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}
