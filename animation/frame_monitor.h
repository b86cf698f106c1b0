// The frame-rate monitor's step, run first in every frame step.
#ifndef TILO_ANIMATION_FRAME_MONITOR_H
#define TILO_ANIMATION_FRAME_MONITOR_H

#include <windows.h>

extern float g_fFrameRate;  // last measured rate, frames per second

// True when the monitor has ended the run; the frame step then returns at once.
bool FrameRateMonitorStep(HWND window);

#endif
