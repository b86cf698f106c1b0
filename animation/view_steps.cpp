#include "animation/view_steps.h"

#include "animation/module_math.h"

namespace {

// Depths beyond the integer range still give a defined, large step.
long long WholeFiftieths(float depth)
{
    if (!(depth == depth)) return 0;  // NaN
    if (depth >= 9.0e18f) return static_cast<long long>(9.0e18f) / 50;
    if (depth <= -9.0e18f) return 0;
    return static_cast<long long>(depth) / 50;
}

}  // namespace

float DepthStep(float depth)
{
    long long q = WholeFiftieths(depth);
    return q >= 1 ? static_cast<float>(q) : 0.3f;
}

float PanStep(float depth)
{
    long long q = WholeFiftieths(depth);
    return q >= 1 ? static_cast<float>(q) : 0.1f;
}

float SteppedSpeed(float speed, float delta) { return ClampSpeed(speed + delta); }
