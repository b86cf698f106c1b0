#include <gtest/gtest.h>

#include "animation/view_steps.h"

TEST(ViewSteps, ZoomAndPanStepsGrowWithTheDistance)
{
    EXPECT_FLOAT_EQ(DepthStep(41.0f), 0.3f);
    EXPECT_FLOAT_EQ(DepthStep(49.99f), 0.3f);
    EXPECT_FLOAT_EQ(DepthStep(50.0f), 1.0f);
    EXPECT_FLOAT_EQ(DepthStep(120.5f), 2.0f);
    EXPECT_FLOAT_EQ(DepthStep(-10.0f), 0.3f);
    EXPECT_FLOAT_EQ(DepthStep(-120.0f), 0.3f);  // a negative count is no step
    EXPECT_FLOAT_EQ(PanStep(41.0f), 0.1f);
    EXPECT_FLOAT_EQ(PanStep(75.0f), 1.0f);
    EXPECT_FLOAT_EQ(PanStep(-75.0f), 0.1f);
}

TEST(ViewSteps, DepthsBeyondTheIntegerRangeGiveDefinedSteps)
{
    // Held Page Up for long enough, or a stored value near the limits, must not make
    // the conversion undefined.
    EXPECT_GT(DepthStep(3.0e9f), 1.0e7f);
    EXPECT_GT(DepthStep(1.0e30f), 1.0e15f);
    EXPECT_FLOAT_EQ(DepthStep(-1.0e30f), 0.3f);
    EXPECT_FLOAT_EQ(DepthStep(__builtin_nanf("")), 0.3f);
}

TEST(ViewSteps, SpeedKeysClampToTheRange)
{
    EXPECT_FLOAT_EQ(SteppedSpeed(9.95f, kSpeedStep), 10.0f);
    EXPECT_FLOAT_EQ(SteppedSpeed(0.1f, -kSpeedStep), 0.0625f);
    EXPECT_FLOAT_EQ(SteppedSpeed(5.0f, kSpeedStep), 5.125f);
    EXPECT_FLOAT_EQ(SteppedSpeed(0.0625f, -kSpeedStep), 0.0625f);
}
