// The frame-rate monitor: its step runs first in every frame step.
#ifndef TILO_ANIMATION_FRAME_MONITOR_H
#define TILO_ANIMATION_FRAME_MONITOR_H

#include <windows.h>

extern float g_fFrameRate;    // last measured rate, frames per second
extern bool g_bFrameWarnOff;  // "disable_frame_warn" equals 1: never measure full screen
extern bool g_bContinue;      // the warning's verdict: false once the user chose to close

// True when the monitor has ended the run; the frame step then returns at once.
bool FrameRateMonitorStep(HWND window);

#endif
