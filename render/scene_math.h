// Arithmetic of the animation that needs nothing of the platform: the spin angles and
// their reductions, and module 2's figure-of-eight path. Angles in degrees unless
// named radians.
#ifndef TILO_RENDER_SCENE_MATH_H
#define TILO_RENDER_SCENE_MATH_H

constexpr float kTwoPi = 6.283185f;  // the path's full turn, radians, as stored
constexpr int kFollowerCount = 7;
constexpr float kSpinLimit = 5000000.0f;    // degrees; module 1's spin drops by this above it
constexpr int kOrbitReduceFrames = 500000;  // module 2's spin is cut back this often

// x * 360 / 6.283185 in single precision.
float RadToDeg(float radians);

// Module 1's spin before a frame: above kSpinLimit it drops by kSpinLimit.
float ReduceSpin(float spin);
// Module 1's spin after a frame at this speed, within [0, 360).
float AdvanceSpin(float spin, float speed);

// Module 2's spin after a frame at this speed, within (-360, 360).
float AdvanceOrbitSpin(float orbitSpin, float speed);
// The whole degrees of the angle modulo 360, with the sign of the angle.
float ReduceOrbitSpin(float orbitSpin);
// Counts one drawn frame of module 2; on the kOrbitReduceFrames-th the spin is reduced
// and the count starts again from 0.
void CountOrbitFrame(int* frames, float* orbitSpin);

// The path speed of module 2: the configuration dialog's preview travels at half.
float OrbitSpeedFor(float speed, bool saverWindow);
// Follower i's phase before its first frame, radians: a seventh of the path apart.
float InitialPhase(int follower);
// A phase after one frame at the path speed: it decreases, and below 0 it starts again
// at kTwoPi exactly (not at the phase plus a turn).
float StepPhase(float phase, float orbitSpeed);

// Module 2's path at phase e (radians), in model units before the factor 5.0 that
// places it: X = 15 cos e + 2 cos 3e, Z = 6.5 sin 2e.
struct PathPoint {
    float x;
    float z;
};
PathPoint PathAt(float phase);
// The angle A about y that, rotated by A + 90, turns a copy's -z axis along the path
// towards increasing phase.
float PathHeading(float phase);

#endif
