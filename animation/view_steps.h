// Step sizes of the view keys; plain arithmetic, free of the platform.
#ifndef TILO_ANIMATION_VIEW_STEPS_H
#define TILO_ANIMATION_VIEW_STEPS_H

constexpr float kRotationStep = 1.5f;  // degrees per key press
constexpr float kSpeedStep = 0.125f;

// Zoom step: whole fiftieths of the depth (truncated toward zero) when at least one,
// else 0.3; the pan step is the same count, else 0.1. Both grow with the distance.
float DepthStep(float depth);
float PanStep(float depth);
// The speed after one F8 (delta < 0) or F9 press, clamped to the speed range.
float SteppedSpeed(float speed, float delta);

#endif
