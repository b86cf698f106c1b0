#include "animation/frame_pump.h"

#include "animation/display_power.h"
#include "animation/frame_monitor.h"
#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "animation/view_keys.h"
#include "render/gl_context.h"
#include "render/monitors.h"
#include "render/scene.h"
#include "shell/saver_window.h"
#include "sound/music_player.h"

bool g_bInFramePump = false;
bool g_bKeysToEdit = false;
DWORD g_dwCycleStart = 0;
DWORD g_dwLastFrame = 0;
DWORD g_dwLastMusic = 0;
int g_nMusicVoice = 0;
DWORD g_dwFrameFloorMs = kFrameFloorMs;
unsigned g_nFramesShown = 0;

namespace {

bool s_firstStep = true;

void Drain(HWND window)
{
    MSG msg;
    while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
        // It comes here when the window is destroyed from outside while the pump runs
        // (a preview whose parent closes): no further frame is drawn.
        if (PutBackQuit(msg)) {
            g_bStop = true;
            break;
        }
        if (g_bStop) break;  // the message taken in this pass is dropped
        bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
        if (key && (g_bSaverWindow || !g_bKeysToEdit)) {
            HandleViewKey(window, msg.message, msg.wParam, msg.lParam);
        } else if (msg.message == WM_CLOSE) {
            // Teardown and the password check run from the normal loop, outside the pump.
            g_bStop = true;
        } else {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (g_bStop) break;
    }
}

// A visible window of another thread stands above the saver in the z-order: another
// program's window came up over it. The saver's own dialogs, on its own thread, may.
bool CoveredByAnotherWindow(HWND saver)
{
    DWORD self = GetCurrentThreadId();
    for (HWND w = GetWindow(saver, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) != self) return true;
    return false;
}

}  // namespace

bool PutBackQuit(const MSG& msg)
{
    if (msg.message != WM_QUIT) return false;
    PostQuitMessage(static_cast<int>(msg.wParam));
    return true;
}

void PostNextFrame(HWND window)
{
    PostMessageA(window, WM_NEXT_FRAME, static_cast<WPARAM>(-1), static_cast<LPARAM>(-1));
}

void RestartFrames(HWND window)
{
    g_bStop = false;
    if (g_bInFramePump) return;  // the pump under way posts the next frame itself
    MSG pending;
    bool quit = false;
    while (!quit && PeekMessageA(&pending, window, WM_NEXT_FRAME, WM_NEXT_FRAME, PM_REMOVE))
        quit = PutBackQuit(pending);
    if (!quit) PostNextFrame(window);
}

void RestartMusicRotation(HWND window)
{
    g_nMusicVoice = 0;
    g_dwLastMusic = GetTickCount();
    PlayVoice(window, 0);
}

int DrawForModule(int index)
{
    switch (index) {
    case 1:
        return DrawOnMonitors(DrawModule1);
    case 2:
        return DrawOnMonitors(DrawModule2);
    default:
        return DrawOnMonitors(DrawBlank);
    }
}

void PumpFrame(HWND window)
{
    if (g_bInFramePump || g_bStop) return;
    g_bInFramePump = true;
    Drain(window);
    if (g_bStop && !g_bClosing) PostMessageA(window, WM_CLOSE, 0, 0);
    // With the displays off no frame is drawn and none is asked for: the chain of frames
    // rests until the displays come on again (SaverProc restarts it).
    if (!g_bStop && !g_bDisplayOff) FrameStep(window);
    if (!g_bStop && !g_bDisplayOff) {
        // Full screen only: a preview is a child of another program's window, which has
        // no topmost layer (Wine marks the child topmost all the same), and each move of
        // it waits on that program's thread. The move itself costs about a millisecond
        // under Wine, so it is made only when another window has come above the saver.
        if (g_bSaverWindow && !g_bPreview && CoveredByAnotherWindow(g_hSaverWnd))
            SetWindowPos(g_hSaverWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        PostNextFrame(window);
    }
    g_bInFramePump = false;
}

void FrameStep(HWND window)
{
    DWORD now = GetTickCount();
    if (s_firstStep) {
        s_firstStep = false;
        g_dwLastMusic = now;
    }

    if (FrameRateMonitorStep(window)) return;

    now = GetTickCount();
    if (g_bSoundOn) {
        if (now - g_dwLastMusic >= kMusicRotationMs) {
            g_dwLastMusic = now;
            g_nMusicVoice = (g_nMusicVoice + 1) % 3;
            PlayVoice(window, g_nMusicVoice);
        }
    } else {
        StopMusic();
    }

    if (g_bSaverWindow && CountActiveModules() > 1 &&
        now - g_dwCycleStart > static_cast<DWORD>(g_nCycleTime) * 1000u) {
        g_dwCycleStart = now;
        StoreModule(g_nCurModule);
        g_nCurModule = NextActiveModule(g_nCurModule);
        SelectModule(g_nCurModule);
    }

    // The distance to the last frame as a signed 32-bit difference, made positive.
    long long d = static_cast<int>(now - g_dwLastFrame);
    if (d < 0) d = -d;
    if (d < static_cast<long long>(g_dwFrameFloorMs)) {
        Sleep(g_dwFrameFloorMs - static_cast<DWORD>(d));
        if (g_bStop) return;
    }
    g_dwLastFrame = GetTickCount();

    if (DrawForModule(g_nCurModule) && !g_bStop) {
        ShowFrame();
        ++g_nFramesShown;
    }
}
