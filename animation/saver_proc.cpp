#include "animation/saver_proc.h"

#include "animation/display_power.h"
#include "animation/frame_monitor.h"
#include "animation/frame_pump.h"
#include "animation/modules.h"
#include "animation/view_keys.h"
#include "render/gl_context.h"
#include "render/monitors.h"
#include "shell/password.h"
#include "shell/saver_window.h"
#include "sound/music_player.h"
#include "support/settings_store.h"

bool g_bSaverWindow = false;
bool g_bFullScreen = false;
bool g_bStop = false;
bool g_bClosing = false;

namespace {

// The window spans the screen: its client area is as wide as the desktop window's (one
// monitor; under Wine the desktop window may also span every monitor) or as the virtual
// screen (several monitors, where the desktop window is the primary monitor alone).
bool ClientSpansTheScreen(HWND window)
{
    RECT client = {}, desktop = {};
    GetClientRect(window, &client);
    GetClientRect(GetDesktopWindow(), &desktop);
    const LONG width = client.right - client.left;
    const int virtualWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);  // 0 where unknown
    return width == desktop.right - desktop.left || (virtualWidth > 0 && width == virtualWidth);
}

void OnCreate(HWND window)
{
    g_bSaverWindow = true;
    SelectKey(window, TILO_PRODUCT_KEY);
    g_bFrameWarnOff = ReadUserInt("disable_frame_warn", 0) == 1;
    LoadModuleParams();
    g_bFullScreen = ClientSpansTheScreen(window);
    if (!CreateGLContext(window, 32)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    UseMonitorViewports(g_bFullScreen ? window : nullptr);
    if (g_bFullScreen) WatchDisplayPower(window);
    g_bKeysToEdit = false;
    g_dwCycleStart = GetTickCount();
    PostNextFrame(window);
    if (g_bFullScreen && g_bSoundOn) {
        StartMusic();
        PlayVoice(window, 0);
    }
}

}  // namespace

bool TearDownAnimation()
{
    if (g_bClosing) return false;
    g_bClosing = true;
    g_bStop = true;
    StopWatchingDisplayPower();
    DestroyGLContext();
    UseMonitorViewports(nullptr);
    StopMusic();
    ShutdownMusic();
    return true;
}

namespace {

// False when the close is refused and the saver stays. On the Windows 95/98/Me family
// the password is asked before anything is released, with the frames and the chant
// halted meanwhile: a refusal then leaves the animation whole, and it goes on, so that
// the next key, like the next movement, asks again. Once allowed, the release runs in
// its usual order: OpenGL, the music, then the view is saved.
bool OnClose(HWND window)
{
    if (g_bClosing) return true;
    g_bStop = true;
    StopMusic();
    if (!PasswordAllowsClose(window)) {
        // A request made while the prompt is up is refused by it; the prompt decides.
        if (!g_bInPasswordCheck) {
            // The prompt's pause would pass for slow frames: a measurement under way
            // starts again.
            if (!g_bRateMeasured) g_nFrameCount = 0;
            RestartFrames(window);
            if (g_bFullScreen && g_bSoundOn) RestartMusicRotation(window);
        }
        return false;
    }
    TearDownAnimation();
    StoreModule(g_nCurModule);
    SaveModuleParams();
    return true;
}

// The displays went off: the pump stops asking for frames (PumpFrame), so nothing is
// drawn or swapped. On again (or dimmed): one frame request restarts the chain, and the
// measurement of the first frames under way starts again, since the pause is no slow
// frame. The chant's rotation runs with the frames, so it rests meanwhile too.
bool OnPowerBroadcast(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!g_bFullScreen) return false;
    const bool wasOff = g_bDisplayOff;
    if (!TakeDisplayPowerReport(wParam, lParam)) return false;
    if (wasOff && !g_bDisplayOff && !g_bStop) {
        if (!g_bRateMeasured) g_nFrameCount = 0;
        RestartFrames(window);
    }
    return true;
}

// Without frames no drain takes the keys: they are handled here, as the drain would.
bool OnKeyWhileDisplayOff(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!g_bDisplayOff || g_bStop || g_bInFramePump) return false;
    HandleViewKey(window, message, wParam, lParam);
    if (g_bStop && !g_bClosing) PostMessageA(window, WM_CLOSE, 0, 0);
    return true;
}

// The screen changed under the saver (a monitor added or removed, another resolution):
// the shell has moved the window over the new virtual screen, and each monitor now gets
// a viewport of its new place and aspect.
void OnDisplayChange(HWND window)
{
    if (!g_bFullScreen || g_bClosing || !g_hRC) return;
    RECT rc = {};
    GetClientRect(window, &rc);
    SetProjection(rc.right - rc.left, rc.bottom - rc.top);
    UseMonitorViewports(window);
}

// A preview ends when its parent destroys it, without a close request: the rendering
// context and the voices are released while the window still exists. The view is not
// stored, since no key can change it there.
void OnDestroy() { TearDownAnimation(); }

}  // namespace

LRESULT SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        break;
    case WM_CLOSE:
        // A refused close has had its answer; passed on, it would be asked again.
        if (!OnClose(window)) return 0;
        break;
    case WM_NEXT_FRAME:
        PumpFrame(window);
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_POWERBROADCAST:
        if (OnPowerBroadcast(window, wParam, lParam)) return TRUE;
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (OnKeyWhileDisplayOff(window, message, wParam, lParam)) return 0;
        break;
    case WM_DISPLAYCHANGE:
        OnDisplayChange(window);
        break;
    default:
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
