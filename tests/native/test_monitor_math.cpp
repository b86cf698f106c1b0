#include <gtest/gtest.h>

#include <vector>

#include "render/monitor_math.h"

namespace {

struct MonitorCase {
    const char* what;
    ScreenRect client;
    std::vector<ScreenRect> monitors;
    std::vector<Viewport> expected;
    bool fills;
};

const MonitorCase kCases[] = {
    {"one monitor", {0, 0, 1920, 1080}, {{0, 0, 1920, 1080}}, {{0, 0, 1920, 1080}}, true},
    // A shorter monitor to the right: its viewport sits at the top of the window,
    // which OpenGL counts from the bottom.
    {"one to the right",
     {0, 0, 2304, 1024},
     {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}},
     {{0, 0, 1280, 1024}, {1280, 256, 1024, 768}},
     false},
    {"primary between two, origin left of it",
     {-1024, 0, 2080, 1024},
     {{0, 0, 1280, 1024}, {-1024, 0, 0, 768}, {1280, 0, 2080, 600}},
     {{1024, 0, 1280, 1024}, {0, 256, 1024, 768}, {2304, 424, 800, 600}},
     false},
    {"one above", {0, -1080, 1920, 1080}, {{0, 0, 1920, 1080}, {0, -1080, 1920, 0}},
     {{0, 0, 1920, 1080}, {0, 1080, 1920, 1080}}, false},
    // A window over part of the screen: what each monitor shows of it.
    {"a window across a seam", {1000, 100, 1500, 500}, {{0, 0, 1280, 1024}, {1280, 0, 2304, 768}},
     {{0, 0, 280, 400}, {280, 0, 220, 400}}, false},
    {"a mirror and a monitor elsewhere",
     {0, 0, 1280, 1024},
     {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, {5000, 0, 6024, 768}},
     {{0, 0, 1280, 1024}},
     true},
    {"no monitor", {0, 0, 640, 480}, {}, {}, false},
};

}  // namespace

TEST(MonitorMath, EachMonitorGetsTheViewportOfItsPartOfTheWindow)
{
    for (const MonitorCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Viewport out[4] = {};
        const int n = MonitorViewports(c.monitors.data(), static_cast<int>(c.monitors.size()), c.client, out, 4);
        ASSERT_EQ(n, static_cast<int>(c.expected.size()));
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(out[i].x, c.expected[i].x) << i;
            EXPECT_EQ(out[i].y, c.expected[i].y) << i;
            EXPECT_EQ(out[i].width, c.expected[i].width) << i;
            EXPECT_EQ(out[i].height, c.expected[i].height) << i;
        }
        EXPECT_EQ(FillsClientArea(out, n, c.client), c.fills);
    }
}

TEST(MonitorMath, NoMoreViewportsThanRoomForThem)
{
    const ScreenRect monitors[3] = {{0, 0, 100, 100}, {100, 0, 200, 100}, {200, 0, 300, 100}};
    Viewport out[2] = {};
    EXPECT_EQ(MonitorViewports(monitors, 3, ScreenRect{0, 0, 300, 100}, out, 2), 2);
    EXPECT_EQ(out[1].x, 100);
}
