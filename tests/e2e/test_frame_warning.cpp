// The frame-rate monitor of the real saver on a slow machine (a large screen drawn by
// Mesa's softpipe) and a fast one (a small screen drawn by llvmpipe). These run through
// tests/probes/other_machine.sh, each machine with a display and wineserver of its own.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include "resources/resource.h"
#include "support/message_box.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/settings_store.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

const char kWarningPrefix[] = "Possible framerate problem-- current frame rate: ";

class Machine : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "disable_frame_warn", 0);
        // Where the warning will open: confining the pointer then moves it nowhere. (A
        // pointer outside is moved to the dialog's edge, and X may report that move
        // only after a test has moved the pointer on.)
        MovePointer(kCentre.x, kCentre.y);
    }
    void TearDown() override
    {
        if (saver.Running() && window) PostMessageA(window, WM_CLOSE, 0, 0);
        saver.WaitExit(10000);
    }
    void Start()
    {
        ASSERT_TRUE(saver.Start("/s"));
        window = WaitForSaverWindow(saver, 30000);
        ASSERT_TRUE(window);
    }
    // The warning of the running saver, once it is shown; null after the time.
    static HWND WaitForWarning(DWORD ms)
    {
        HWND found = nullptr;
        WaitUntil([&found] { return (found = FindDialogTitled(kWarningPrefix)) != nullptr; }, ms);
        return found;
    }
    static double RateIn(HWND warning)
    {
        char title[128] = {};
        GetWindowTextA(warning, title, sizeof title);
        printf("%s\n", title);
        return atof(title + sizeof kWarningPrefix - 1);
    }
    // Screenshots 1.5 s apart differ outside the rectangle (a dialog's): the animation
    // turns.
    static bool Turning(const RECT& except = RECT{})
    {
        Screenshot a, b;
        a.Capture();
        PumpFor(1500);
        b.Capture();
        for (int y = 0; y < a.height; y += 4)
            for (int x = 0; x < a.width; x += 4) {
                POINT p = {x, y};
                if (!PtInRect(&except, p) && a.at(x, y) != b.at(x, y)) return true;
            }
        return false;
    }

    const POINT kCentre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
    ProductKeyBackup key_;
    SaverProcess saver;
    HWND window = nullptr;
};

}  // namespace

TEST_F(Machine, DISABLED_SlowMachineWarnsConfinesThePointerAndContinueWithTheBoxGoesOnTurning)
{
    Start();
    HWND warning = WaitForWarning(60000);
    ASSERT_TRUE(warning);
    double rate = RateIn(warning);
    EXPECT_LT(rate, 10.0);
    EXPECT_GT(rate, 0.0);
    EXPECT_EQ(GetWindow(warning, GW_OWNER), window);
    RECT dialog;
    GetWindowRect(warning, &dialog);
    RECT clip;  // the pointer is held inside the dialog
    GetClipCursor(&clip);
    EXPECT_TRUE(EqualRect(&clip, &dialog));
    // While it is open no frame is drawn (the last one may still be on its way).
    PumpFor(500);
    EXPECT_FALSE(Turning(dialog));

    SendDlgItemMessageA(warning, IDC_DISABLE_WARNING, BM_CLICK, 0, 0);
    PostMessageA(warning, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitWindowGone(warning, 10000));
    EXPECT_EQ(StoredDword("disable_frame_warn"), 1u);
    EXPECT_TRUE(Turning());
    // The pointer moves freely again; the first drift after the dialog is forgiven, the
    // movement rule holds for the next.
    MovePointer(kCentre.x + 300, kCentre.y);
    PumpFor(1500);
    EXPECT_TRUE(saver.Running());
    MovePointer(kCentre.x, kCentre.y);
    EXPECT_EQ(saver.WaitExit(15000), 0u);
}

TEST_F(Machine, DISABLED_SlowMachineCloseThisWindowOrEscEndsTheSaver)
{
    for (bool esc : {false, true}) {
        Start();
        HWND warning = WaitForWarning(60000);
        ASSERT_TRUE(warning);
        if (esc) {
            // The X server's Esc, to the window that X gives the keyboard to: the warning's
            // (under a window manager, once it has let the warning have it).
            ASSERT_TRUE(WaitUntil([&] { return XKeyboardAt(warning); }, 10000)) << "the keys go elsewhere";
            ASSERT_TRUE(XInput("key Escape"));
        } else
            PostMessageA(warning, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(saver.WaitExit(15000), 0u) << (esc ? "Esc" : "Close this Window");
        EXPECT_EQ(StoredDword("disable_frame_warn"), 0u);
    }
}

TEST_F(Machine, DISABLED_SlowMachineWithTheMarkIsNeverMeasured)
{
    SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "disable_frame_warn", 1);
    Start();
    // Long enough for far more than twelve frames on this machine.
    EXPECT_FALSE(WaitForWarning(10000));
    EXPECT_TRUE(Turning());
    EXPECT_TRUE(saver.Running());
}

TEST_F(Machine, DISABLED_FastMachineIsMarkedOnItsFirstRunAndNotWarned)
{
    Start();
    EXPECT_TRUE(WaitUntil([] { return StoredDword("disable_frame_warn") == 1; }, 15000));
    EXPECT_FALSE(WaitForWarning(1000));
    EXPECT_TRUE(saver.Running());
}
