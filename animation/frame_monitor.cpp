#include "animation/frame_monitor.h"

#include "animation/frame_rate.h"
#include "animation/saver_proc.h"
#include "dialogs/framerate_dialog.h"
#include "shell/saver_window.h"
#include "support/settings_store.h"

float g_fFrameRate = 0.0f;
bool g_bFrameWarnOff = false;
bool g_bContinue = true;
bool g_bRateMeasured = false;
int g_nFrameCount = 0;
DWORD g_dwRateStart = 0;

namespace {

FrameWindow CurrentWindow() { return FrameWindow{g_nFrameCount, g_dwRateStart}; }

void Keep(const FrameWindow& window)
{
    g_nFrameCount = window.count;
    g_dwRateStart = window.start;
}

// True when the user closed the saver from the warning.
bool MeasureFullScreen(HWND window)
{
    FrameWindow counted = CurrentWindow();
    float rate = 0.0f;
    bool done = CountFullScreenStep(&counted, GetTickCount(), &rate);
    Keep(counted);
    if (!done) return false;
    // Once a run: also when the user chose to close, since a refused password lets the
    // run go on.
    g_bRateMeasured = true;

    switch (JudgeFrameRate(rate)) {
    case FrameRateVerdict::Fast:
        SelectKey(window, TILO_PRODUCT_KEY);
        WriteUserInt("disable_frame_warn", 1);
        g_bFrameWarnOff = true;
        break;
    case FrameRateVerdict::Slow:
        g_fFrameRate = rate;
        if (ShowFrameRateWarning(window, rate) == kFrameWarningTurnedOff) g_bFrameWarnOff = true;
        // The pointer moved freely over the dialog: the movement rule starts again here.
        RestartMovementRule();
        if (!g_bContinue) {
            g_bStop = true;
            PostMessageA(window, WM_CLOSE, 0, 0);
            return true;
        }
        break;
    case FrameRateVerdict::Middling:
        break;
    }
    return false;
}

void ShowRateInCaption(HWND dialog)
{
    FrameWindow counted = CurrentWindow();
    float rate = 0.0f;
    bool measured = CountRollingStep(&counted, GetTickCount(), &rate);
    Keep(counted);
    if (!measured) return;
    g_fFrameRate = rate;
    char caption[96];
    FormatSettingsCaption(caption, sizeof caption, rate);
    SetWindowTextA(dialog, caption);
}

}  // namespace

bool FrameRateMonitorStep(HWND window)
{
    if (!g_bSaverWindow) {
        ShowRateInCaption(window);
        return false;
    }
    if (!g_bFullScreen || g_bFrameWarnOff || g_bRateMeasured) return false;
    return MeasureFullScreen(window);
}
