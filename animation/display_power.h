// The displays' power as the system reports it to the full-screen saver: while they are
// off nothing is drawn, and the saver costs no processor time until they come on again
// (on or dimmed), when the animation goes on where it stood.
#ifndef TILO_ANIMATION_DISPLAY_POWER_H
#define TILO_ANIMATION_DISPLAY_POWER_H

#include <windows.h>

extern bool g_bDisplayOff;  // the last report said the displays are off

// Asks the system to report the displays' state to the window: the console display
// state (Windows 8 and later) and the monitor power state (Vista and 7). Systems without
// power reports (before Vista) never pause.
void WatchDisplayPower(HWND window);
// Withdraws what WatchDisplayPower registered; safe when nothing is registered, repeated.
void StopWatchingDisplayPower();
// The state that a WM_POWERBROADCAST carries, when it is a report of the displays'
// state (PBT_POWERSETTINGCHANGE with one of the two settings above): g_bDisplayOff is
// set from it and true is returned. Anything else is left alone.
bool TakeDisplayPowerReport(WPARAM wParam, LPARAM lParam);

#endif
