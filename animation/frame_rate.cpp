#include "animation/frame_rate.h"

#include <math.h>
#include <stdio.h>

namespace {

constexpr int kFullScreenOpen = 2;    // steps counted before the window opens
constexpr int kFullScreenClose = 12;  // the step that closes it
constexpr int kRollingSteps = 10;

}  // namespace

float FramesPerSecond(uint32_t elapsedMs, int frames)
{
    if (elapsedMs == 0) return INFINITY;
    return static_cast<float>(1000.0 / (static_cast<double>(elapsedMs) / frames));
}

FrameRateVerdict JudgeFrameRate(float framesPerSecond)
{
    if (framesPerSecond >= kFastFrameRate) return FrameRateVerdict::Fast;
    if (framesPerSecond < kSlowFrameRate) return FrameRateVerdict::Slow;
    return FrameRateVerdict::Middling;
}

bool CountFullScreenStep(FrameWindow* window, uint32_t now, float* framesPerSecond)
{
    if (window->count == kFullScreenOpen) window->start = now;
    if (++window->count < kFullScreenClose) return false;
    *framesPerSecond = FramesPerSecond(now - window->start, kFullScreenClose - kFullScreenOpen);
    return true;
}

bool CountRollingStep(FrameWindow* window, uint32_t now, float* framesPerSecond)
{
    bool measured = false;
    if (window->count == 0) window->start = now;
    if (window->count >= kRollingSteps) {
        *framesPerSecond = FramesPerSecond(now - window->start, window->count);
        window->count = 0;
        window->start = now;
        measured = true;
    }
    ++window->count;
    return measured;
}

void FormatSettingsCaption(char* buffer, size_t capacity, float framesPerSecond)
{
    if (capacity == 0) return;
    snprintf(buffer, capacity, "Tilo Settings ~ (animation frames per second: %.1f)",
             static_cast<double>(framesPerSecond));
}
