// Where each monitor lies in the drawing area of a window that spans several of them:
// plain values only, so that layouts of any shape can be tried without the platform.
#ifndef TILO_RENDER_MONITOR_MATH_H
#define TILO_RENDER_MONITOR_MATH_H

// Screen coordinates in pixels, right and bottom excluded; the origin may lie anywhere,
// also left of or above the primary monitor.
struct ScreenRect {
    int left, top, right, bottom;
};

// An OpenGL viewport in the window's pixels, counted from its bottom left corner.
struct Viewport {
    int x, y, width, height;
};

// The viewports of the client area (given in screen coordinates) in which each monitor
// shows its part of it, in the monitors' order: a monitor that shows none of the area
// is left out, and one that shows the same part as a monitor before it (a mirror) too,
// and one that lies wholly inside a larger monitor: the larger one's scene covers both.
// Writes at most `max`, and returns how many it wrote.
int MonitorViewports(const ScreenRect* monitors, int count, const ScreenRect& client, Viewport* out, int max);

// True when the viewports are one that fills the whole client area: a frame is then
// drawn as on a single screen.
bool FillsClientArea(const Viewport* viewports, int count, const ScreenRect& client);

#endif
