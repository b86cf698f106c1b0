// The full-screen saver on machines with several monitors. Each layout runs through
// tests/probes/other_machine.sh on an X screen split into the same monitors
// (tests/CMakeLists.txt gives them in the X screen's pixels).
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
    // The virtual screen starts left of the primary monitor, at x = -1024.
    {"PrimaryBetweenTwo", {{0, 0, 1280, 1024}, {-1024, 0, 0, 768}, {1280, 0, 2080, 600}}},
};

// What stands for the desktop and the windows open on it: a colour the assembly never
// shows, whatever its lights do.
const COLORREF kDesktopColour = RGB(255, 0, 255);
bool IsDesktopPixel(DWORD p)
{
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r > 200 && b > 200 && g < 60;
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list)
{
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}

HWND OpenDesktopWindow(const RECT& r)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = CreateSolidBrush(kDesktopColour);
        wc.lpszClassName = "TiloTestDesktop";
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, "TiloTestDesktop", "desktop", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// What one monitor shows of a screenshot, on a grid of every 5th pixel. Sizes and
// places are in units of the monitor's height: a scene drawn at the monitor's own
// aspect has the same ones on every monitor.
struct MonitorView {
    int samples = 0, lit = 0, changed = 0, desktop = 0;
    bool red = false, green = false, blue = false, white = false;
    double width = 0, height = 0, fromCentreX = 0, fromTop = 0;  // of the lit pixels' box
};

MonitorView Look(const Screenshot& a, const Screenshot& b, const RECT& m, POINT origin)
{
    MonitorView v;
    LONG left = m.right, right = m.left, top = m.bottom, bottom = m.top;
    for (LONG y = m.top; y < m.bottom; y += 5)
        for (LONG x = m.left; x < m.right; x += 5) {
            const DWORD p = a.at(x - origin.x, y - origin.y) & 0xFFFFFF;
            ++v.samples;
            if (p != (b.at(x - origin.x, y - origin.y) & 0xFFFFFF)) ++v.changed;
            if (!p) continue;
            ++v.lit;
            v.desktop += IsDesktopPixel(p);
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, bl = p & 0xFF;
            v.red |= r > 120 && g < 60 && bl < 60;
            v.green |= g > 90 && r < 60 && bl < 60;
            v.blue |= bl > 120 && r < 60 && g < 60;
            v.white |= r > 150 && g > 150 && bl > 150;
        }
    const double h = static_cast<double>(m.bottom - m.top);
    v.width = (right - left) / h;
    v.height = (bottom - top) / h;
    v.fromCentreX = ((left + right) / 2.0 - (m.left + m.right) / 2.0) / h;
    v.fromTop = ((top + bottom) / 2.0 - m.top) / h;
    return v;
}

class Monitors : public ::testing::TestWithParam<Layout> {
protected:
    void TearDown() override
    {
        if (saver.Running()) PostMessageA(WaitForSaverWindow(saver, 1000), WM_CLOSE, 0, 0);
        saver.WaitExit(10000);
        for (HWND w : desktop) DestroyWindow(w);
    }
    SaverProcess saver;
    std::vector<HWND> desktop;
};

}  // namespace

TEST_P(Monitors, DISABLED_EveryMonitorShowsTheTurningAssemblyAndNothingOfTheDesktop)
{
    const Layout& layout = GetParam();
    const std::string name = std::string("monitors-") + layout.name;
    // The machine has the layout's monitors, and its X screen is their virtual screen.
    std::vector<RECT> seen;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&seen));
    ASSERT_EQ(seen.size(), layout.monitors.size());
    for (const RECT& m : layout.monitors) {
        bool found = false;
        for (const RECT& s : seen) found |= EqualRect(&m, &s) != 0;
        ASSERT_TRUE(found) << "no monitor at " << m.left << "," << m.top;
    }
    const RECT& primary = layout.monitors[0];
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), primary.right - primary.left);
    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const POINT origin = {screen.left, screen.top};

    // A window open on every monitor, which the saver has to hide.
    for (const RECT& m : layout.monitors) {
        desktop.push_back(OpenDesktopWindow(m));
        ASSERT_TRUE(desktop.back());
    }
    Screenshot shot;
    auto everyMonitorShowsTheDesktop = [&] {
        if (!shot.CaptureXScreen()) return false;
        for (const RECT& m : layout.monitors)
            if (!IsDesktopPixel(shot.at((m.left + m.right) / 2 - origin.x, (m.top + m.bottom) / 2 - origin.y)))
                return false;
        return true;
    };
    ASSERT_TRUE(WaitUntil(everyMonitorShowsTheDesktop, 5000));
    ASSERT_EQ(shot.width, screen.right - screen.left);
    ASSERT_EQ(shot.height, screen.bottom - screen.top);

    MovePointer((primary.left + primary.right) / 2, (primary.top + primary.bottom) / 2);
    ASSERT_TRUE(saver.Start("/s"));
    HWND window = WaitForSaverWindow(saver);
    ASSERT_TRUE(window);
    RECT covered;
    GetWindowRect(window, &covered);
    EXPECT_TRUE(EqualRect(&covered, &screen));

    // Once every monitor shows the scene instead of the desktop (the first frame
    // compiles the lists: seconds on a busy machine), and a second later.
    Screenshot a, b;
    auto everyMonitorShowsTheScene = [&] {
        if (!a.CaptureXScreen()) return false;
        for (const RECT& m : layout.monitors) {
            const MonitorView v = Look(a, a, m, origin);
            if (v.lit == 0 || v.desktop > 0) return false;
        }
        return true;
    };
    ASSERT_TRUE(WaitUntil(everyMonitorShowsTheScene, 20000)) << "a monitor stays dark or shows the desktop";
    PumpFor(1000);
    ASSERT_TRUE(b.CaptureXScreen(name));

    // Nothing of the desktop anywhere; outside every monitor, black.
    int desktopPixels = 0, litOutside = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            for (const Screenshot* s : {&a, &b}) desktopPixels += IsDesktopPixel(s->at(x, y));
            POINT p = {x + origin.x, y + origin.y};
            bool inside = false;
            for (const RECT& m : layout.monitors) inside |= PtInRect(&m, p) != 0;
            if (!inside) litOutside += ((a.at(x, y) | b.at(x, y)) & 0xFFFFFF) != 0;
        }
    EXPECT_EQ(desktopPixels, 0);
    EXPECT_EQ(litOutside, 0);

    // A lit, turning assembly in each monitor, the same scene at each one's aspect.
    const MonitorView first = Look(a, b, primary, origin);
    for (const RECT& m : layout.monitors) {
        SCOPED_TRACE("monitor at " + std::to_string(m.left) + "," + std::to_string(m.top));
        const MonitorView v = Look(a, b, m, origin);
        printf("monitor %ld,%ld: %d of %d lit, %d changed; box %.3f x %.3f, centre %+.3f, %.3f\n", m.left, m.top,
               v.lit, v.samples, v.changed, v.width, v.height, v.fromCentreX, v.fromTop);
        EXPECT_GT(v.lit, v.samples / 20);
        EXPECT_GT(v.changed, v.samples / 200);
        EXPECT_TRUE(v.red || v.green);
        EXPECT_TRUE(v.blue);
        EXPECT_TRUE(v.white);
        EXPECT_NEAR(v.height, first.height, 0.05);
        EXPECT_NEAR(v.width, first.width, 0.05);
        EXPECT_NEAR(v.fromCentreX, first.fromCentreX, 0.05);
        EXPECT_NEAR(v.fromTop, first.fromTop, 0.05);
    }

    PressKey(VK_ESCAPE);
    EXPECT_EQ(saver.WaitExit(10000), 0u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, Monitors, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) { return info.param.name; });
