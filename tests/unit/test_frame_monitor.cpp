// The frame-rate monitor in the saver run in this process, with the frame floor set to
// make frames middling or slow (blank frames, module 1 off), and in a dialog host of
// the test's own; the slow and the fast machine themselves are in
// tests/e2e/test_frame_warning.cpp. Each test runs in a process of its own; the
// full-screen ones (DISABLED_) on a small screen (tests/probes/other_machine.sh), where
// a frame costs next to nothing even on a busy machine.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "animation/frame_monitor.h"
#include "animation/frame_pump.h"
#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "render/gl_context.h"
#include "resources/resource.h"
#include "shell/saver_window.h"
#include "support/background_task.h"
#include "support/message_box.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/process.h"
#include "support/settings_store.h"

namespace {

const char kWarningPrefix[] = "Possible framerate problem-- current frame rate: ";

struct SaverRun {
    int result = -1;
    int warnings = 0;
    unsigned framesAtWarning = 0;  // frames shown when it opened
};

// Runs the saver full screen at `floorMs` a frame for about `ms`, answering each
// warning with the command `answer`; the saver is closed by a close request once no
// warning is open.
SaverRun RunSaverFor(DWORD floorMs, DWORD ms, WPARAM answer)
{
    g_dwFrameFloorMs = floorMs;
    SaverRun run;
    BackgroundTask driver([&run, ms, answer] {
        for (int i = 0; i < 500 && !g_hSaverWnd; ++i) Sleep(10);
        for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20)) {
            HWND warning = FindDialogTitled(kWarningPrefix);
            if (!warning) continue;
            if (run.warnings++ == 0) run.framesAtWarning = g_nFramesShown;
            PostMessageA(warning, WM_COMMAND, answer, 0);
            while (IsWindow(warning)) Sleep(10);
        }
        PostMessageA(g_hSaverWnd, WM_CLOSE, 0, 0);
    });
    run.result = RunSaver(nullptr);
    return run;
}

class FrameMonitor : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseSaverResources());
        SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "disable_frame_warn", 0);
        SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "mod1 active", 0);
    }
    ProductKeyBackup key_;
};

}  // namespace

TEST_F(FrameMonitor, DISABLED_MiddlingFramesStoreNothingAndAreMeasuredOnce)
{
    SaverRun run = RunSaverFor(80, 2500, IDOK);
    EXPECT_EQ(run.warnings, 0);
    EXPECT_EQ(StoredDword("disable_frame_warn"), 0u);
    EXPECT_TRUE(g_bRateMeasured);
    EXPECT_EQ(g_nFrameCount, 12);  // no counting after the twelfth step
    EXPECT_GT(g_nFramesShown, 16u);
}

TEST_F(FrameMonitor, DISABLED_CloseThisWindowEndsTheRunWithoutAnotherFrame)
{
    SaverRun run = RunSaverFor(150, 4000, IDCANCEL);
    EXPECT_EQ(run.warnings, 1);
    EXPECT_EQ(g_nFramesShown, run.framesAtWarning);
    EXPECT_TRUE(g_bClosing);
    EXPECT_FALSE(g_bContinue);
    EXPECT_EQ(run.result, 0);
}

namespace {

int s_steps = 0;
std::vector<std::pair<int, std::string>> s_captions;  // the step at which each was set

INT_PTR CALLBACK HostProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_NEXT_FRAME) {
        ++s_steps;
        PumpFrame(dialog);
        return TRUE;
    }
    if (message == WM_SETTEXT) s_captions.emplace_back(s_steps, reinterpret_cast<const char*>(lParam));
    return FALSE;
}

}  // namespace

TEST_F(FrameMonitor, ADialogHostShowsTheRateOfEveryTenStepsInItsCaption)
{
    // The pump's dialog form on the settings dialog's template, with a procedure of ours.
    g_bSaverWindow = false;
    g_nCurModule = 0;
    g_dwFrameFloorMs = 50;
    HWND dialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONFIG), nullptr, HostProc, 0);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(CreateGLContext(dialog, 32));
    PostNextFrame(dialog);
    MSG msg;
    while (s_steps < 35 && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyGLContext();
    DestroyWindow(dialog);

    ASSERT_EQ(s_captions.size(), 3u);
    for (size_t i = 0; i < s_captions.size(); ++i) {
        EXPECT_EQ(s_captions[i].first, 11 + 10 * static_cast<int>(i));
        const std::string& c = s_captions[i].second;
        const std::string prefix = "Tilo Settings ~ (animation frames per second: ";
        ASSERT_EQ(c.compare(0, prefix.size(), prefix), 0) << c;
        EXPECT_EQ(c.back(), ')') << c;
        double rate = atof(c.c_str() + prefix.size());
        EXPECT_GT(rate, 5.0) << c;
        // Ten steps 50 ms apart; the tick count the pump paces by lags up to 16 ms.
        EXPECT_LE(rate, 30.0) << c;
    }
}
