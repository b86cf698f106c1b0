#include "animation/saver_proc.h"

#include <GL/gl.h>

#include "render/gl_context.h"
#include "shell/saver_window.h"
#include "support/settings_store.h"

bool g_bSaverWindow = false;
bool g_bFullScreen = false;
bool g_bStop = false;
bool g_bClosing = false;
bool g_bFrameWarnOff = false;

namespace {

bool ClientWidthIsDesktopWidth(HWND window)
{
    RECT client = {}, desktop = {};
    GetClientRect(window, &client);
    GetClientRect(GetDesktopWindow(), &desktop);
    return client.right - client.left == desktop.right - desktop.left;
}

void OnCreate(HWND window)
{
    g_bSaverWindow = true;
    SelectKey(window, TILO_PRODUCT_KEY);
    g_bFrameWarnOff = ReadUserInt("disable_frame_warn", 0) == 1;
    g_bFullScreen = ClientWidthIsDesktopWidth(window);
    if (CreateGLContext(window, 32)) {
        // Until frames are drawn the window shows one cleared, black frame.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SwapBuffers(g_hDC);
    } else {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

void OnClose()
{
    if (g_bClosing) return;
    g_bClosing = true;
    g_bStop = true;
    DestroyGLContext();
}

} // namespace

LRESULT SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_CLOSE:
        OnClose();
        break;
    default:
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
