// The full-screen saver on machines with several monitors: each layout runs through
// tests/probes/other_machine.sh on an X screen split into the same monitors, given in
// the X screen's pixels in tests/CMakeLists.txt.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

struct Layout {
    const char* name;
    std::vector<RECT> monitors;  // Windows screen coordinates, the primary first
};
const Layout kLayouts[] = {
    {"PrimaryWithOneToItsRight", {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}}},
    {"PrimaryBetweenTwo", {{0, 0, 1280, 1024}, {-1024, 0, 0, 768}, {1280, 0, 2080, 600}}},  // origin x -1024
};

// The desktop and the windows open on it: magenta, which the assembly never shows.
bool IsDesktop(DWORD p) { return (p >> 16 & 0xFF) > 200 && (p & 0xFF) > 200 && (p >> 8 & 0xFF) < 60; }

// A monitor's part of two screenshots, every 5th pixel, and the box around its lit
// pixels (width, height, centre from the monitor's centre and from its top) in units of
// the monitor's height: alike on every monitor when each shows the scene at its aspect.
struct View {
    int samples = 0, lit = 0, changed = 0, desktop = 0;
    double box[4] = {};
};
View Look(const Screenshot& a, const Screenshot& b, const RECT& m, POINT origin)
{
    View v;
    LONG l = m.right, r = m.left, t = m.bottom, bt = m.top;
    for (LONG y = m.top; y < m.bottom; y += 5)
        for (LONG x = m.left; x < m.right; x += 5) {
            const DWORD p = a.at(x - origin.x, y - origin.y) & 0xFFFFFF;
            ++v.samples;
            v.changed += p != (b.at(x - origin.x, y - origin.y) & 0xFFFFFF);
            if (!p) continue;
            ++v.lit, v.desktop += IsDesktop(p);
            l = std::min(l, x), r = std::max(r, x), t = std::min(t, y), bt = std::max(bt, y);
        }
    const double h = m.bottom - m.top;
    v.box[0] = (r - l) / h, v.box[1] = (bt - t) / h;
    v.box[2] = ((l + r) - (m.left + m.right)) / 2.0 / h, v.box[3] = ((t + bt) / 2.0 - m.top) / h;
    return v;
}

using Monitors = ::testing::TestWithParam<Layout>;

}  // namespace

TEST_P(Monitors, DISABLED_EveryMonitorShowsTheTurningAssemblyAndNothingOfTheDesktop)
{
    const std::vector<RECT>& monitors = GetParam().monitors;
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), static_cast<int>(monitors.size()));
    const POINT origin = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
    wc.lpszClassName = "TiloTestDesktop";
    RegisterClassA(&wc);
    for (const RECT& m : monitors)  // a window open on every monitor
        ASSERT_TRUE(CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, m.left, m.top, m.right - m.left,
                                    m.bottom - m.top, nullptr, nullptr, wc.hInstance, nullptr));
    Screenshot a, b;
    auto everyMonitor = [&](bool saverOn) {
        if (!a.CaptureXScreen()) return false;
        for (const RECT& m : monitors) {
            const View v = Look(a, a, m, origin);
            if (saverOn ? v.lit == 0 || v.desktop > 0 : v.desktop < v.samples) return false;
        }
        return true;
    };
    ASSERT_TRUE(WaitUntil([&] { return everyMonitor(false); }, 5000)) << "the desktop does not show";
    MovePointer(640, 512);
    SaverProcess saver;
    ASSERT_TRUE(saver.Start("/s"));
    // The first frame compiles the lists: seconds on a busy machine.
    ASSERT_TRUE(WaitUntil([&] { return everyMonitor(true); }, 20000)) << "a monitor stays dark or shows the desktop";
    PumpFor(1000);
    ASSERT_TRUE(b.CaptureXScreen(std::string("monitors-") + GetParam().name));

    int desktop = 0, litOutside = 0;  // every pixel of the X screen
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            desktop += IsDesktop(a.at(x, y)) + IsDesktop(b.at(x, y));
            const POINT p = {x + origin.x, y + origin.y};
            if (std::none_of(monitors.begin(), monitors.end(), [&](const RECT& m) { return PtInRect(&m, p); }))
                litOutside += ((a.at(x, y) | b.at(x, y)) & 0xFFFFFF) != 0;
        }
    EXPECT_EQ(desktop, 0);
    EXPECT_EQ(litOutside, 0);
    const View primary = Look(a, b, monitors[0], origin);
    for (const RECT& m : monitors) {
        const View v = Look(a, b, m, origin);
        printf("monitor at %ld,%ld: %d of %d lit, %d changed; box %.3f x %.3f at %+.3f, %.3f\n", m.left, m.top, v.lit,
               v.samples, v.changed, v.box[0], v.box[1], v.box[2], v.box[3]);
        EXPECT_GT(v.lit, v.samples / 20);
        EXPECT_GT(v.changed, v.samples / 200);  // turning
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(v.box[k], primary.box[k], 0.05) << "monitor at " << m.left;
    }
    PressKey(VK_ESCAPE);
    EXPECT_EQ(saver.WaitExit(10000), 0u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, Monitors, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) { return info.param.name; });

// The system changes the display under the running saver: in a Wine virtual desktop of
// 800x600 (tests/CMakeLists.txt), which grows when a program sets another display mode,
// the mode goes to 1024x768. Within a few frames the saver covers the grown desktop and
// its scene sits where it sat, in units of the screen's height (the stale viewport would
// leave it in the bottom left 800x600 and the desktop showing beside it).
TEST(DisplayChange, DISABLED_TheSaverCoversTheGrownScreenWithItsSceneInPlace)
{
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    const RECT before = {0, 0, 800, 600}, after = {0, 0, 1024, 768};
    const POINT origin = {0, 0};
    MovePointer(400, 300);
    SaverProcess saver;
    ASSERT_TRUE(saver.Start("/s"));
    Screenshot a, b;
    auto covered = [&](const RECT& screen) {
        if (!a.CaptureXScreen()) return false;
        const View v = Look(a, a, screen, origin);
        return v.lit > 0 && v.desktop == 0;
    };
    ASSERT_TRUE(WaitUntil([&] { return covered(before); }, 20000)) << "the saver does not show";
    const View small = Look(a, a, before, origin);

    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = 1024;
    mode.dmPelsHeight = 768;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(ChangeDisplaySettingsExA(nullptr, &mode, nullptr, 0, nullptr), DISP_CHANGE_SUCCESSFUL);
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_TRUE(WaitUntil([&] { return covered(after); }, 3000)) << "the desktop shows beside the saver";
    PumpFor(500);
    ASSERT_TRUE(b.CaptureXScreen("display-change"));
    const View grown = Look(a, b, after, origin);
    printf("before: box %.3f x %.3f at %+.3f, %.3f; after: %.3f x %.3f at %+.3f, %.3f; %d changed\n", small.box[0],
           small.box[1], small.box[2], small.box[3], grown.box[0], grown.box[1], grown.box[2], grown.box[3],
           grown.changed);
    EXPECT_EQ(Look(b, b, after, origin).desktop, 0);
    EXPECT_GT(grown.changed, grown.samples / 200);  // still turning
    // The assembly turns about its vertical axis meanwhile: its box's centre stays put.
    EXPECT_NEAR(grown.box[2], small.box[2], 0.06);
    EXPECT_NEAR(grown.box[3], small.box[3], 0.06);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(saver.WaitExit(10000), 0u);
}
