#include <gtest/gtest.h>

#include <math.h>

#include "render/scene_math.h"

TEST(SceneMath, RadToDegUsesTheStoredTurn)
{
    EXPECT_FLOAT_EQ(RadToDeg(kTwoPi), 360.0f);
    EXPECT_FLOAT_EQ(RadToDeg(kTwoPi / 4.0f), 90.0f);
    EXPECT_FLOAT_EQ(RadToDeg(-1.0f), -57.2957802f);
}

TEST(SceneMath, SpinAboveTheLimitDropsByFiveMillion)
{
    EXPECT_EQ(ReduceSpin(5000000.5f), 0.5f);
    EXPECT_EQ(ReduceSpin(5000000.0f), 5000000.0f);  // only above it
    EXPECT_EQ(ReduceSpin(359.0f), 359.0f);
    EXPECT_FLOAT_EQ(AdvanceSpin(ReduceSpin(5000000.5f), 5.0f), 5.5f);
}

TEST(SceneMath, SpinStepsByTheSpeedAndWrapsWholeTurns)
{
    EXPECT_FLOAT_EQ(AdvanceSpin(0.0f, 5.0f), 5.0f);
    EXPECT_FLOAT_EQ(AdvanceSpin(358.0f, 5.0f), 3.0f);
    EXPECT_EQ(AdvanceSpin(355.0f, 5.0f), 0.0f);
    EXPECT_FLOAT_EQ(AdvanceSpin(720.25f, 0.5f), 0.75f);
}

TEST(SceneMath, SpinKeepsTurningAfterVeryManyFrames)
{
    // A plain float sum stalls here: 2,100,000 + 0.1 rounds back to 2,100,000.
    EXPECT_NEAR(AdvanceSpin(2100000.0f, 0.1f), fmodf(2100000.0f, 360.0f) + 0.1f, 1e-4f);
    // Over 25,000,000 frames (2,500,000 degrees, past the stall of a plain sum) every
    // step stays the speed, neither lost nor rounded to a coarser step.
    float spin = 0.0f;
    double smallest = 1.0, largest = 0.0;
    for (long i = 0; i < 25000000; ++i) {
        const float next = AdvanceSpin(spin, 0.1f);
        ASSERT_GE(next, 0.0f);
        ASSERT_LT(next, 360.0f);
        const double step = next >= spin ? next - spin : next + 360.0 - spin;
        if (step < smallest) smallest = step;
        if (step > largest) largest = step;
        spin = next;
    }
    EXPECT_NEAR(smallest, 0.1, 1e-4);
    EXPECT_NEAR(largest, 0.1, 1e-4);
}

TEST(SceneMath, OrbitSpinKeepsItsStepBetweenReductions)
{
    float spin = 0.0f;
    // A plain float difference reaches -4,650,000 here, where steps come in halves.
    double smallest = 360.0, largest = 0.0;
    for (int i = 0; i < kOrbitReduceFrames - 1; ++i) {
        const float next = AdvanceOrbitSpin(spin, 9.3f);
        ASSERT_GT(next, -360.0f);
        const double step = spin - next >= 0.0f ? spin - next : spin - next + 360.0;
        if (step < smallest) smallest = step;
        if (step > largest) largest = step;
        spin = next;
    }
    EXPECT_NEAR(smallest, 9.3, 1e-4);
    EXPECT_NEAR(largest, 9.3, 1e-4);
    EXPECT_NEAR(AdvanceOrbitSpin(-4650000.0f, 9.3f), fmodf(-4650000.0f, 360.0f) - 9.3f, 1e-4f);
}

TEST(SceneMath, OrbitReductionKeepsWholeDegreesWithTheSignOfTheAngle)
{
    EXPECT_EQ(ReduceOrbitSpin(-734.7f), -14.0f);
    EXPECT_EQ(ReduceOrbitSpin(-1000000.5f), -280.0f);
    EXPECT_EQ(ReduceOrbitSpin(734.7f), 14.0f);
    EXPECT_EQ(ReduceOrbitSpin(-359.9f), -359.0f);
    EXPECT_EQ(ReduceOrbitSpin(-0.5f), 0.0f);
}

TEST(SceneMath, OrbitSpinIsReducedOnTheFiveHundredThousandthFrame)
{
    int frames = kOrbitReduceFrames - 2;
    float spin = -1000000.5f;
    CountOrbitFrame(&frames, &spin);
    EXPECT_EQ(frames, kOrbitReduceFrames - 1);
    EXPECT_EQ(spin, -1000000.5f);
    CountOrbitFrame(&frames, &spin);
    EXPECT_EQ(frames, 0);
    EXPECT_EQ(spin, -280.0f);
    CountOrbitFrame(&frames, &spin);
    EXPECT_EQ(frames, 1);
}

TEST(SceneMath, PreviewTravelsAtHalfSpeed)
{
    EXPECT_EQ(OrbitSpeedFor(5.0f, true), 5.0f);
    EXPECT_EQ(OrbitSpeedFor(5.0f, false), 2.5f);
}

TEST(SceneMath, FirstPhasesAreASeventhOfTheTurnApart)
{
    const float expected[kFollowerCount] = {0.0f, 0.8976f, 1.7952f, 2.6928f, 3.5904f, 4.4880f, 5.3856f};
    for (int i = 0; i < kFollowerCount; ++i) EXPECT_NEAR(InitialPhase(i), expected[i], 5e-5f) << i;
    EXPECT_LT(InitialPhase(kFollowerCount - 1), kTwoPi);
}

TEST(SceneMath, PhaseBelowZeroStartsAgainAtAFullTurn)
{
    const float step = 0.05f * OrbitSpeedFor(0.5f, true) * 0.1f;
    EXPECT_FLOAT_EQ(step, 0.0025f);
    EXPECT_EQ(StepPhase(0.002f, 0.5f), 6.283185f);  // not 6.282685
    EXPECT_FLOAT_EQ(StepPhase(1.0f, 0.5f), 0.9975f);
    EXPECT_EQ(StepPhase(step, 0.5f), 0.0f);  // exactly zero is not below it
    EXPECT_FLOAT_EQ(StepPhase(1.0f, OrbitSpeedFor(0.5f, false)), 0.99875f);
}

TEST(SceneMath, PathIsAFigureOfEightThroughTheOrigin)
{
    PathPoint start = PathAt(0.0f);
    EXPECT_FLOAT_EQ(start.x, 17.0f);
    EXPECT_FLOAT_EQ(start.z, 0.0f);
    PathPoint half = PathAt(kTwoPi / 2.0f);
    EXPECT_NEAR(half.x, -17.0f, 1e-4f);
    PathPoint cross = PathAt(kTwoPi / 4.0f);  // 15 cos e + 2 cos 3e = 0 at e = pi/2
    EXPECT_NEAR(cross.x, 0.0f, 1e-4f);
    EXPECT_NEAR(cross.z, 0.0f, 1e-4f);
    PathPoint lobe = PathAt(kTwoPi / 8.0f);
    EXPECT_NEAR(lobe.z, 6.5f, 1e-4f);
    EXPECT_NEAR(lobe.x, 15.0f * cosf(kTwoPi / 8.0f) + 2.0f * cosf(3.0f * kTwoPi / 8.0f), 1e-4f);
}

TEST(SceneMath, HeadingTurnsMinusZAlongTheWayOfIncreasingPhase)
{
    // Rotating by h degrees about y takes (0, 0, -1) to (-sin h, 0, -cos h).
    for (int k = 0; k < 64; ++k) {
        const float e = kTwoPi * static_cast<float>(k) / 64.0f;
        const float h = (PathHeading(e) + 90.0f) * 3.14159265f / 180.0f;
        const float ax = -sinf(h), az = -cosf(h);
        // The path's own direction, by finite difference.
        const PathPoint a = PathAt(e - 1e-3f), b = PathAt(e + 1e-3f);
        float tx = b.x - a.x, tz = b.z - a.z;
        const float len = sqrtf(tx * tx + tz * tz);
        tx /= len;
        tz /= len;
        EXPECT_NEAR(ax, tx, 2e-3f) << "phase " << e;
        EXPECT_NEAR(az, tz, 2e-3f) << "phase " << e;
    }
}
