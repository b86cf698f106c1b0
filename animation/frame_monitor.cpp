#include "animation/frame_monitor.h"

float g_fFrameRate = 0.0f;
bool g_bFrameWarnOff = false;
bool g_bContinue = true;

// This build does not measure yet: the step never ends the run, so a slow machine
// simply draws slower frames.
bool FrameRateMonitorStep(HWND) { return false; }
