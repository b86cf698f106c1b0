// The frame-rate monitor: its step runs first in every frame step. Full screen it
// measures steps 3 to 12 once per run: a fast machine is marked in the registry and
// never measured again, a slow one gets the frame-rate warning. In the settings dialog
// it shows the rate of every ten steps in the dialog's caption.
#ifndef TILO_ANIMATION_FRAME_MONITOR_H
#define TILO_ANIMATION_FRAME_MONITOR_H

#include <windows.h>

extern float g_fFrameRate;    // last measured rate, frames per second
extern bool g_bFrameWarnOff;  // "disable_frame_warn" equals 1: never measure full screen
extern bool g_bContinue;      // the warning's verdict: false once the user chose to close
extern bool g_bRateMeasured;  // the full-screen measurement of this run is done
extern int g_nFrameCount;     // frame steps counted in the current measuring window
extern DWORD g_dwRateStart;   // tick count at which the measuring window opened

// True when the monitor has ended the run; the frame step then returns at once.
bool FrameRateMonitorStep(HWND window);

#endif
