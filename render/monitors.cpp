#include "render/monitors.h"

#include <GL/gl.h>

#include "render/gl_context.h"
#include "render/scene.h"

namespace {

// More monitors than this are drawn as far as this many go.
const int kMaxMonitors = 16;

Viewport s_viewports[kMaxMonitors];
int s_viewportCount = 0;

struct MonitorList {
    ScreenRect rects[kMaxMonitors];
    int count;
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list)
{
    MonitorList* monitors = reinterpret_cast<MonitorList*>(list);
    if (monitors->count == kMaxMonitors) return FALSE;
    monitors->rects[monitors->count++] = ScreenRect{static_cast<int>(rect->left), static_cast<int>(rect->top),
                                                    static_cast<int>(rect->right), static_cast<int>(rect->bottom)};
    return TRUE;
}

}  // namespace

void UseMonitorViewports(HWND window)
{
    s_viewportCount = 0;
    if (!window) return;
    RECT rc = {};
    POINT origin = {0, 0};
    if (!GetClientRect(window, &rc) || !ClientToScreen(window, &origin)) return;
    const ScreenRect client = {static_cast<int>(origin.x), static_cast<int>(origin.y),
                               static_cast<int>(origin.x + rc.right), static_cast<int>(origin.y + rc.bottom)};
    MonitorList monitors = {};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    Viewport viewports[kMaxMonitors];
    const int count = MonitorViewports(monitors.rects, monitors.count, client, viewports, kMaxMonitors);
    // No monitor found (the query failed) or one showing it all: the client area as set up.
    if (!FillsClientArea(viewports, count, client)) UseViewports(viewports, count);
}

void UseViewports(const Viewport* viewports, int count)
{
    s_viewportCount = 0;
    for (int i = 0; i < count && i < kMaxMonitors; ++i) s_viewports[s_viewportCount++] = viewports[i];
}

int MonitorViewportCount() { return s_viewportCount; }

Viewport MonitorViewportAt(int index) { return s_viewports[index]; }

int DrawOnMonitors(DrawRoutine draw)
{
    if (s_viewportCount == 0) return draw();
    const SceneAnimation before = SaveSceneAnimation();
    // One clear of the whole window, colour and depth, for every monitor and for what
    // lies between and beside them (a smaller monitor beside a taller one), which stays
    // black; the passes draw without clearing. A clear held to one monitor by the
    // scissor would cost llvmpipe a drawn rectangle over the monitor; the whole window's
    // clear only sets each tile's clear value.
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    SetSceneClears(false);
    int good = 1;
    for (int i = 0; i < s_viewportCount; ++i) {
        if (i > 0) RestoreSceneAnimation(before);
        const Viewport& v = s_viewports[i];
        glScissor(v.x, v.y, v.width, v.height);
        SetProjection(v.width, v.height, v.x, v.y);
        if (!draw()) good = 0;
    }
    SetSceneClears(true);
    glDisable(GL_SCISSOR_TEST);
    return good;
}
