#ifndef TILO_SUPPORT_CENTER_H
#define TILO_SUPPORT_CENTER_H

#include <windows.h>

// Centres the window on the desktop (signed division, so a window wider than the
// desktop gets a negative x), brings it to the top and shows it; size unchanged.
void CenterOnDesktop(HWND window);

#endif
