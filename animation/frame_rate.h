// The frame-rate monitor's arithmetic and verdict, free of the platform. Times are
// 32-bit millisecond tick counts, which wrap: differences are taken unsigned.
#ifndef TILO_ANIMATION_FRAME_RATE_H
#define TILO_ANIMATION_FRAME_RATE_H

#include <stddef.h>
#include <stdint.h>

// Frames per second: at or above kFastFrameRate the machine is marked and never measured
// again; below kSlowFrameRate the warning opens.
constexpr float kFastFrameRate = 20.0f;
constexpr float kSlowFrameRate = 10.0f;

enum class FrameRateVerdict { Fast, Middling, Slow };

// 1000 / (elapsed / frames), as a 32-bit float. No time at all is an infinite rate.
float FramesPerSecond(uint32_t elapsedMs, int frames);
FrameRateVerdict JudgeFrameRate(float framesPerSecond);

// A measuring window: frame steps counted so far and the tick count where it opened.
struct FrameWindow {
    int count = 0;
    uint32_t start = 0;
};

// One full-screen frame step at `now`. The window opens at the third step and closes at
// the twelfth: then true, with the rate over those ten steps (nine intervals divided by
// ten, as the saver has always reckoned it). The caller stops counting after that.
bool CountFullScreenStep(FrameWindow* window, uint32_t now, float* framesPerSecond);

// One frame step of the settings dialog's rolling window: every tenth step after the
// first gives true, with the rate over the last ten steps, and opens the next window.
bool CountRollingStep(FrameWindow* window, uint32_t now, float* framesPerSecond);

// "Tilo Settings ~ (animation frames per second: %.1f)"; cut to the capacity.
void FormatSettingsCaption(char* buffer, size_t capacity, float framesPerSecond);

#endif
