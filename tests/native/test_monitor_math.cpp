#include <gtest/gtest.h>

#include "render/monitor_math.h"

// A projector cloned at the primary's origin, the primary between two monitors, the
// virtual screen starting left of it, then a mirror of the primary and a monitor away
// from the window: OpenGL counts rows from the bottom, and the projector (inside the
// primary) and the last two get no viewport of their own.
TEST(MonitorMath, EachMonitorGetsTheViewportOfItsPartOfTheWindow)
{
    const ScreenRect client = {-1024, 0, 2080, 1024};
    const ScreenRect monitors[6] = {{0, 0, 800, 600},         {0, 0, 1280, 1024}, {-1024, 0, 0, 768},
                                    {1280, 0, 2080, 600},     {0, 0, 1280, 1024}, {5000, 0, 6024, 768}};
    const int expected[3][4] = {{1024, 0, 1280, 1024}, {0, 256, 1024, 768}, {2304, 424, 800, 600}};
    Viewport v[6] = {};
    ASSERT_EQ(MonitorViewports(monitors, 6, client, v, 6), 3);
    for (int i = 0; i < 3; ++i) {
        const int got[4] = {v[i].x, v[i].y, v[i].width, v[i].height};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(got[k], expected[i][k]) << i;
    }
    EXPECT_FALSE(FillsClientArea(v, 3, client));
    EXPECT_EQ(MonitorViewports(monitors + 1, 1, monitors[1], v, 6), 1);
    EXPECT_TRUE(FillsClientArea(v, 1, monitors[1]));
}
