// The full-screen window and the rules that dismiss it, seen from outside.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "shell/saver_window.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/unix_command.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

class FullScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        MovePointer(400, 300);
        ASSERT_TRUE(saver.Start("/s"));
        window = WaitForSaverWindow(saver);
        ASSERT_TRUE(window);
        SyncWith(window);
        PumpFor(200);
    }
    void TearDown() override
    {
        if (saver.Running()) PostMessageA(window, WM_CLOSE, 0, 0);
        saver.WaitExit(5000);
    }
    bool EndsWithin(DWORD ms, DWORD* code = nullptr)
    {
        DWORD c = saver.WaitExit(ms);
        if (code) *code = c;
        return c != static_cast<DWORD>(STILL_ACTIVE);
    }
    SaverProcess saver;
    HWND window = nullptr;
};

}  // namespace

TEST_F(FullScreen, CoversTheScreenTopmostWithTheSaverClassAndStyles)
{
    char cls[64] = {}, title[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(cls, "WindowsScreenSaverClass");
    EXPECT_STREQ(title, "Screen Saver");
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE), CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
    RECT rc;
    GetWindowRect(window, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(FullScreen, KeepsTheCursorHidden)
{
    MovePointer(420, 310);  // small moves keep it running and hidden
    SyncWith(window);
    CURSORINFO ci{};
    ci.cbSize = sizeof ci;
    ASSERT_TRUE(GetCursorInfo(&ci));
    EXPECT_EQ(ci.hCursor, nullptr);
    EXPECT_TRUE(saver.Running());
}

TEST_F(FullScreen, ShowsTheTurningLitAssembly)
{
    // The first frame compiles the display lists: a second or more on a busy machine.
    ASSERT_GT(WatchScreen(0).lit, 0) << "nothing drawn";
    Screenshot a, b;
    ASSERT_TRUE(a.Capture());
    PumpFor(1000);
    ASSERT_TRUE(b.Capture());
    int lit = 0, changed = 0;
    bool red = false, green = false, blue = false, white = false;
    for (int y = 0; y < a.height; y += 7)
        for (int x = 0; x < a.width; x += 7) {
            DWORD p = a.at(x, y) & 0xFFFFFF;
            if (p) ++lit;
            if (p != (b.at(x, y) & 0xFFFFFF)) ++changed;
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, bl = p & 0xFF;
            if (r > 120 && g < 60 && bl < 60) red = true;
            if (g > 90 && r < 60 && bl < 60) green = true;
            if (bl > 120 && r < 60 && g < 60) blue = true;
            if (r > 150 && g > 150 && bl > 150) white = true;
        }
    EXPECT_GT(lit, 2000);       // the assembly fills a good part of the screen
    EXPECT_GT(changed, 100);    // and it turns
    EXPECT_TRUE(red || green);  // each of these sits on the side facing the viewer or near it
    EXPECT_TRUE(blue);
    EXPECT_TRUE(white);
}

TEST_F(FullScreen, SmallMovementsAddUpAndPastOneHundredPixelsClose)
{
    MovePointer(460, 300);  // 60 right
    SyncWith(window);
    PumpFor(200);
    EXPECT_TRUE(saver.Running());
    MovePointer(460, 350);  // then 50 down: 110 from where it started
    DWORD code = 0;
    EXPECT_TRUE(EndsWithin(5000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(FullScreen, ExactlyOneHundredPixelsDoesNotClose)
{
    MovePointer(460, 300);
    MovePointer(460, 340);  // 60 + 40 = 100
    SyncWith(window);
    PumpFor(300);
    EXPECT_TRUE(saver.Running());
    MovePointer(461, 340);  // 101
    EXPECT_TRUE(EndsWithin(5000));
}

TEST_F(FullScreen, ClicksWithoutMovementAndLossOfActivationDoNotClose)
{
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(400, 300));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(400, 300));
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(400, 300));
    PostMessageA(window, WM_ACTIVATEAPP, FALSE, 0);
    SyncWith(window);
    PumpFor(300);
    EXPECT_TRUE(saver.Running());
}

TEST_F(FullScreen, TitleCannotBeChanged)
{
    SetWindowTextA(window, "Something else");
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other"));
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
}

TEST_F(FullScreen, SwitchingAndScreenSaveCommandsAreRefused)
{
    for (WPARAM cmd : {static_cast<WPARAM>(SC_NEXTWINDOW), static_cast<WPARAM>(SC_PREVWINDOW),
                       static_cast<WPARAM>(SC_SCREENSAVE)})
        PostMessageA(window, WM_SYSCOMMAND, cmd, 0);
    PostMessageA(window, WM_TIMER, 1, 0);
    SyncWith(window);
    PumpFor(300);
    EXPECT_TRUE(saver.Running());
    // Other system commands get the default handling: a close command closes.
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 1;
    EXPECT_TRUE(EndsWithin(5000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(FullScreen, HelpRequestsAreNotForwardedInFullScreen)
{
    HELPINFO info{};
    info.cbSize = sizeof info;
    LRESULT r = SendMessageA(window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(r, 1);  // the default handling, not the preview's forwarding answer
    EXPECT_TRUE(saver.Running());
}

// Another program's window raised over the saver is covered again within a frame or
// two, each time it comes up.
TEST_F(FullScreen, AWindowRaisedOverItIsCoveredAgain)
{
    HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other program", WS_POPUP | WS_VISIBLE, 100, 100,
                                 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    auto saverAbove = [&] {
        for (HWND w = GetWindow(other, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
            if (w == window) return true;
        return false;
    };
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        // The saver raises itself at the next frame that finds it covered, so on a busy
        // host it may do so between the raise and the look; raise again until the
        // window is seen on top.
        bool cameUp = false;
        DWORD raised = 0;
        for (int attempt = 0; attempt < 20 && !cameUp; ++attempt) {
            SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            raised = GetTickCount();
            cameUp = !saverAbove();
        }
        ASSERT_TRUE(cameUp) << "the window did not come up over the saver";
        // A frame takes 30 to 100 ms here; a second is ample and still catches a saver
        // that stays covered.
        EXPECT_TRUE(WaitUntil(saverAbove, 1000)) << "still covered";
        printf("covered again after %lu ms\n", GetTickCount() - raised);
    }
    DestroyWindow(other);
    EXPECT_TRUE(saver.Running());
}

// Another program's window has the keyboard when the saver starts (Wine's notepad,
// started anew each time): the saver takes the keyboard, and the X server's own Esc,
// which goes to the window that X gives the keyboard to, ends it; so does its pointer.
TEST(FullScreenOverAnotherWindow, TheXServersEscOrPointerMoveEndsIt)
{
    if (RunUnix("command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "no xdotool here (the Wine 10 root has none)";
    char notepadPath[MAX_PATH] = {};
    GetSystemDirectoryA(notepadPath, MAX_PATH);
    strcat(notepadPath, "\\notepad.exe");
    for (const char* input : {"key Escape", "mousemove --sync 700 400"}) {
        SCOPED_TRACE(input);
        MovePointer(400, 300);
        SaverProcess notepad;
        ASSERT_TRUE(notepad.StartRaw("notepad.exe", notepadPath));
        HWND other = WaitForWindow("Notepad", nullptr, 15000, notepad.pid());
        ASSERT_TRUE(other);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other && XKeyboardAt(other); }, 5000))
            << "the other program did not take the keyboard";
        SaverProcess saver;
        ASSERT_TRUE(saver.Start("/s"));
        HWND window = WaitForSaverWindow(saver);
        ASSERT_TRUE(window);
        // Within its start-up: seconds on a busy machine.
        EXPECT_TRUE(WaitUntil([&] { return XKeyboardAt(window); }, 15000))
            << "the X keyboard stays with the other program";
        ASSERT_TRUE(XInput(input));
        EXPECT_EQ(saver.WaitExit(10000), 0u);
        if (saver.Running()) PostMessageA(window, WM_CLOSE, 0, 0);
        saver.WaitExit(5000);
    }
}
