#include <gtest/gtest.h>

#include <math.h>

#include <string>

#include "animation/frame_rate.h"

namespace {

// Counts full-screen steps `apart` ms apart from `first` until the measurement closes;
// the step at which it closed and the rate.
int MeasureFullScreen(uint32_t first, uint32_t apart, float* rate)
{
    FrameWindow window;
    for (int step = 1; step <= 50; ++step)
        if (CountFullScreenStep(&window, first + (step - 1) * apart, rate)) return step;
    return -1;
}

}  // namespace

TEST(FrameRate, FullScreenMeasuresStepsThreeToTwelveAndJudges)
{
    const struct {
        uint32_t apart;
        float rate;
        FrameRateVerdict verdict;
    } cases[] = {
        {30, 1000.0f / 27.0f, FrameRateVerdict::Fast},       // 270 ms over ten steps: 37.0
        {50, 1000.0f / 45.0f, FrameRateVerdict::Fast},       // 22.2
        {100, 1000.0f / 90.0f, FrameRateVerdict::Middling},  // 11.1: measured again next run
        {150, 1000.0f / 135.0f, FrameRateVerdict::Slow},     // 7.4: the warning
        {0, INFINITY, FrameRateVerdict::Fast},               // no time at all counts as fast
    };
    for (const auto& c : cases) {
        float rate = -1.0f;
        EXPECT_EQ(MeasureFullScreen(1000, c.apart, &rate), 12) << c.apart;
        EXPECT_FLOAT_EQ(rate, c.rate) << c.apart;
        EXPECT_EQ(JudgeFrameRate(rate), c.verdict) << c.apart;
    }
    // The tick count wraps during the measurement.
    float rate = 0.0f;
    EXPECT_EQ(MeasureFullScreen(0xFFFFFF00u, 150, &rate), 12);
    EXPECT_FLOAT_EQ(rate, 1000.0f / 135.0f);
}

TEST(FrameRate, ThresholdsAreTwentyAndTen)
{
    EXPECT_EQ(JudgeFrameRate(20.0f), FrameRateVerdict::Fast);
    EXPECT_EQ(JudgeFrameRate(19.99f), FrameRateVerdict::Middling);
    EXPECT_EQ(JudgeFrameRate(10.0f), FrameRateVerdict::Middling);
    EXPECT_EQ(JudgeFrameRate(9.99f), FrameRateVerdict::Slow);
    EXPECT_FLOAT_EQ(FramesPerSecond(1000, 10), 10.0f);
}

TEST(FrameRate, RollingWindowGivesTheRateOfEveryTenStepsForTheCaption)
{
    FrameWindow window;
    float rate = 0.0f;
    int measured = 0;
    for (int step = 0; step < 31; ++step) {
        if (CountRollingStep(&window, 5000 + step * 50, &rate)) {
            ++measured;
            EXPECT_EQ(step % 10, 0) << step;  // steps 10, 20, 30
            EXPECT_FLOAT_EQ(rate, 20.0f);
        }
    }
    EXPECT_EQ(measured, 3);
    char caption[96];
    FormatSettingsCaption(caption, sizeof caption, rate);
    EXPECT_EQ(std::string(caption), "Tilo Settings ~ (animation frames per second: 20.0)");
    char small[8];
    FormatSettingsCaption(small, sizeof small, 123456.0f);
    EXPECT_EQ(std::string(small), "Tilo Se");
}
