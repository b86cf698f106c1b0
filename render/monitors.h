// The full-screen window spans every monitor (the virtual screen). Each monitor shows a
// scene of its own, in a viewport of its own at its own aspect, rather than one scene
// stretched across the seams; what lies outside every monitor stays black.
#ifndef TILO_RENDER_MONITORS_H
#define TILO_RENDER_MONITORS_H

#include <windows.h>

#include "render/monitor_math.h"

// Takes the monitors that the window's client area covers as the viewports of the
// frames that follow. With null, or when there is one monitor and it shows the whole
// client area, frames fill the client area as CreateGLContext set it up.
void UseMonitorViewports(HWND window);
// Draws the frames that follow in these viewports of the current window (at most 16);
// with none, over the client area.
void UseViewports(const Viewport* viewports, int count);
// How many viewports a frame is drawn in; 0 when it fills the client area.
int MonitorViewportCount();
// The viewport of pass `index`, 0 to MonitorViewportCount() - 1.
Viewport MonitorViewportAt(int index);

typedef int (*DrawRoutine)();
// One frame by the draw routine, in the current context: once over the client area, or
// once in each monitor's viewport (the whole window cleared once before) with the scene's
// animation put back before every pass after the first, so that it advances once per
// frame however many monitors show it. Nonzero when every pass was good to show.
int DrawOnMonitors(DrawRoutine draw);

#endif
