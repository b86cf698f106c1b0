#include "render/scene_math.h"

#include <math.h>

float RadToDeg(float radians) { return radians * 360.0f / kTwoPi; }

float ReduceSpin(float spin) { return spin > kSpinLimit ? spin - kSpinLimit : spin; }

float AdvanceSpin(float spin, float speed)
{
    // A single-precision angle that only ever grows loses the speed to rounding: from
    // 1,048,576 degrees on each step of 0.1 is rounded to 0.125 (25% fast), and from
    // 2,097,152 on it rounds to nothing and the assembly stops (about a week of frames
    // at 33 per second). Removing whole turns draws the same picture and keeps the
    // angle where a step is exact to about 3e-5 degrees.
    float next = fmodf(fmodf(spin, 360.0f) + speed, 360.0f);
    if (next < 0.0f) next += 360.0f;
    if (next >= 360.0f) next = 0.0f;  // -tiny + 360 rounds up to a whole turn
    return next;
}

float AdvanceOrbitSpin(float orbitSpin, float speed)
{
    // The same loss of the step as module 1's spin, short of a stall: between the
    // reductions every 500,000 frames the angle reaches up to 5,000,000 degrees; past
    // 4,194,304 steps round to multiples of 0.5 (a speed of 9.3 runs as 9.5), and by
    // 50,000 degrees a speed of 0.1 runs as 0.1015625. Removing whole turns draws the
    // same picture and keeps every step exact to about 3e-5 degrees.
    return fmodf(fmodf(orbitSpin, 360.0f) - speed, 360.0f);
}

float ReduceOrbitSpin(float orbitSpin) { return fmodf(truncf(orbitSpin), 360.0f); }

void CountOrbitFrame(int* frames, float* orbitSpin)
{
    if (++*frames >= kOrbitReduceFrames) {
        *orbitSpin = ReduceOrbitSpin(*orbitSpin);
        *frames = 0;
    }
}

float OrbitSpeedFor(float speed, bool saverWindow) { return saverWindow ? speed : speed / 2.0f; }

float InitialPhase(int follower) { return static_cast<float>(follower) * kTwoPi / 7.0f; }

float StepPhase(float phase, float orbitSpeed)
{
    phase -= 0.05f * orbitSpeed * 0.1f;
    return phase < 0.0f ? kTwoPi : phase;
}

PathPoint PathAt(float phase)
{
    double e = phase;
    PathPoint p;
    p.x = static_cast<float>(15.0 * cos(e) + 2.0 * cos(3.0 * e));
    p.z = static_cast<float>(6.5 * sin(2.0 * e));
    return p;
}

float PathHeading(float phase)
{
    double e = phase;
    float dx = static_cast<float>(-15.0 * sin(e) - 6.0 * sin(3.0 * e));
    double dz = 13.0 * cos(2.0 * e);
    float a = RadToDeg(static_cast<float>(asin(dz / sqrt(static_cast<double>(dx) * dx + dz * dz))));
    if (dx > 0.0f) a = 180.0f - a;
    return a;
}
