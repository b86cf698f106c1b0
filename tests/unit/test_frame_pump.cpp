// The saver window's own thread, run in this process, so that its frames can be counted
// and read back. Each test runs in a process of its own.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <imm.h>

#include <string.h>

#include <vector>

#include "animation/frame_monitor.h"
#include "animation/frame_pump.h"
#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "render/gl_context.h"
#include "shell/saver_window.h"
#include "support/background_task.h"
#include "support/recording_window.h"
#include "support/registry.h"
#include "support/settings_store.h"

namespace {

// Posts WM_CLOSE to the saver window once it has shown its first frame (which compiles
// the display lists: a second or more on a busy machine) and the time has passed.
std::function<void()> CloseSaverAfter(DWORD ms)
{
    return [ms] {
        HWND w = nullptr;
        for (int i = 0; i < 500 && !(w = g_hSaverWnd); ++i) Sleep(10);
        for (int i = 0; i < 2000 && g_nFramesShown == 0 && g_hSaverWnd; ++i) Sleep(10);
        Sleep(ms);
        PostMessageA(w, WM_CLOSE, 0, 0);
    };
}

// Reads the frame the pump last drew, on the window's thread, as each frame message is
// taken: the child window's frames never reach the screen under Wine.
struct FrameReader {
    static std::vector<std::vector<unsigned char>> frames;
    static int width, height;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NEXT_FRAME && g_hRC &&
            frames.size() < 200) {
            std::vector<unsigned char> px(static_cast<size_t>(width) * height * 4);
            glReadBuffer(GL_BACK);
            glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
            frames.push_back(std::move(px));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
std::vector<std::vector<unsigned char>> FrameReader::frames;
int FrameReader::width = 0;
int FrameReader::height = 0;

int Lit(const std::vector<unsigned char>& px)
{
    int n = 0;
    for (size_t i = 0; i < px.size(); i += 4)
        if (px[i] | px[i + 1] | px[i + 2]) ++n;
    return n;
}

}  // namespace

TEST(FramePump, FramesAreAtLeastThirtyMillisecondsApart)
{
    ProductKeyBackup key;
    DWORD start = GetTickCount();
    {
        BackgroundTask closer(CloseSaverAfter(2000));
        EXPECT_EQ(RunSaver(nullptr), 0);
    }
    DWORD elapsed = GetTickCount() - start;
    // Each drawn frame advances the angle by the speed (0.1 by default).
    int frames = static_cast<int>(g_fSpin / g_fSpeed + 0.5f);
    EXPECT_GE(frames, 10);
    EXPECT_LE(frames, static_cast<int>(elapsed / 30 * 1.1) + 2) << elapsed << " ms";
    EXPECT_TRUE(g_bClosing);
    EXPECT_EQ(g_hDC, nullptr);  // the context was released on close
}

TEST(FramePump, PreviewAnimatesInsideItsParent)
{
    ProductKeyBackup key;
    RecordingWindow parent("Display Properties", 320, 240);
    RECT rc;
    GetClientRect(parent.hwnd(), &rc);
    FrameReader::width = rc.right;
    FrameReader::height = rc.bottom;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, FrameReader::Hook, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    {
        // The parent ends the preview as the control panel would: by destroying it.
        HWND p = parent.hwnd();
        BackgroundTask destroyer([p] {
            Sleep(2000);
            PostMessageA(p, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(RunSaver(parent.hwnd()), 0);
    }
    UnhookWindowsHookEx(hook);

    EXPECT_FALSE(g_bFullScreen);
    ASSERT_GE(FrameReader::frames.size(), 10u);
    const auto& early = FrameReader::frames[3];
    const auto& late = FrameReader::frames.back();
    EXPECT_GT(Lit(early), 500);  // the assembly is drawn into the small window
    EXPECT_NE(early, late);      // and it turns
}

// Run by tests/probes/no_glx.sh on a display without GLX, where no context can be made.
TEST(FramePump, DISABLED_WithoutAContextTheWindowClosesAndNoFrameIsDrawn)
{
    ProductKeyBackup key;
    bool found = false;
    {
        BackgroundTask dismisser([&found] {
            HWND box = PollForWindow("#32770", TILO_CAPTION_SAVER_ERROR, 10000);
            if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
            found = box != nullptr;
        });
        EXPECT_EQ(RunSaver(nullptr), 0);
    }
    EXPECT_TRUE(found) << "the driver message was not shown";
    EXPECT_EQ(g_nFramesShown, 0u);
    EXPECT_TRUE(g_bClosing);
    EXPECT_EQ(g_hRC, nullptr);
}

namespace {

HIMC s_contextWhileRunning = reinterpret_cast<HIMC>(1);
bool s_sawFrame = false;

LRESULT CALLBACK ImeProbe(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NEXT_FRAME && !s_sawFrame) {
        s_sawFrame = true;
        s_contextWhileRunning = ImmGetContext(msg->hwnd);
        if (s_contextWhileRunning) ImmReleaseContext(msg->hwnd, s_contextWhileRunning);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(FramePump, InputMethodIsOffWhileTheSaverRuns)
{
    ProductKeyBackup key;
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, ImeProbe, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    {
        BackgroundTask closer(CloseSaverAfter(500));
        EXPECT_EQ(RunSaver(nullptr), 0);
    }
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(s_sawFrame);
    EXPECT_EQ(s_contextWhileRunning, nullptr);
}

namespace {

int s_framesTaken = 0;
int s_framesAfterQuit = -1;
HWND s_previewParent = nullptr;

// Posts a quit message as the fifth frame is taken, then counts the frames still drawn;
// a run that lost the quit is closed after twenty more.
LRESULT CALLBACK QuitProbe(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_NEXT_FRAME) {
        if (++s_framesTaken == 5) {
            PostQuitMessage(0);
            s_framesAfterQuit = 0;
        } else if (s_framesAfterQuit >= 0 && ++s_framesAfterQuit == 20) {
            PostMessageA(s_previewParent, WM_CLOSE, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

// The quit message that ends a run also answers a peek for the window's own messages:
// when the window is destroyed from outside while the pump drains its queue (a preview
// whose parent closes), the drain takes it. It must reach the main loop, and no frame
// may follow; once it went lost and the process stayed on without a window.
TEST(FramePump, AQuitMessageTakenWhileDrainingEndsTheRun)
{
    ProductKeyBackup key;
    RecordingWindow parent("Display Properties", 320, 240);
    s_previewParent = parent.hwnd();
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, QuitProbe, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    EXPECT_EQ(RunSaver(parent.hwnd()), 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(s_framesAfterQuit, 0);
    EXPECT_TRUE(g_bClosing);
}

namespace {

// A report of the displays' state as the system sends it: WM_POWERBROADCAST with
// PBT_POWERSETTINGCHANGE and a POWERBROADCAST_SETTING of the console display state
// (0 off, 1 on, 2 dimmed).
void ReportDisplay(HWND saver, DWORD state)
{
    struct {
        GUID setting;
        DWORD length;
        DWORD data;
    } report = {{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, sizeof(DWORD), state};
    SendMessageA(saver, WM_POWERBROADCAST, 0x8013, reinterpret_cast<LPARAM>(&report));
}

BOOL CALLBACK CloseDialogs(HWND window, LPARAM)
{
    char cls[8];
    if (GetClassNameA(window, cls, sizeof cls) && strcmp(cls, "#32770") == 0)
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

}  // namespace

// The displays go off while the first frames are measured, come on dimmed, go off again,
// and a key ends the saver: no frame is drawn while they are off, the animation goes on
// after, no warning of a slow machine follows from the pause, and the key is not lost.
TEST(FramePump, NoFrameWhileTheDisplaysAreOffAndThePauseIsNoSlowFrame)
{
    ProductKeyBackup key;
    SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "disable_frame_warn", 0);  // the first frames are timed
    unsigned whileOff = 0, afterOn = 0, whileOffAgain = 0;
    bool warned = false;
    {
        BackgroundTask driver([&] {
            HWND w = nullptr;
            for (int i = 0; i < 1000 && !(w = g_hSaverWnd); ++i) Sleep(10);
            for (int i = 0; i < 20000 && g_nFrameCount < 5 && !g_bRateMeasured; ++i) Sleep(1);
            ReportDisplay(w, 0);
            unsigned mark = g_nFramesShown;
            Sleep(1500);
            whileOff = g_nFramesShown - mark;
            ReportDisplay(w, 2);
            mark = g_nFramesShown;
            Sleep(1500);
            afterOn = g_nFramesShown - mark;
            // A slow verdict opens the warning over the saver; it is closed so the run ends.
            if ((warned = g_fFrameRate != 0.0f))
                EnumThreadWindows(GetWindowThreadProcessId(w, nullptr), CloseDialogs, 0);
            ReportDisplay(w, 0);
            mark = g_nFramesShown;
            Sleep(500);
            whileOffAgain = g_nFramesShown - mark;
            PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(RunSaver(nullptr), 0);
    }
    EXPECT_EQ(whileOff, 0u);
    EXPECT_EQ(whileOffAgain, 0u);
    EXPECT_GE(afterOn, 5u);
    EXPECT_FALSE(warned) << "the pause was taken for slow frames";
    EXPECT_TRUE(g_bClosing);
}
