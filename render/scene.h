// One frame of the animation per call, one routine per module index. Each returns
// nonzero when the frame is good to show (no OpenGL error pending at its end).
#ifndef TILO_RENDER_SCENE_H
#define TILO_RENDER_SCENE_H

#include "render/scene_math.h"

struct Follower {
    float fPhase;  // path parameter, radians, 0 to kTwoPi
};

extern float g_fOrbitSpin;   // module 2's spin, degrees; never reset
extern int g_nOrbitFrames;   // module 2's frames since its spin was last reduced
extern float g_fOrbitSpeed;  // module 2's path speed for the current frame
extern Follower g_Followers[kFollowerCount];
extern bool g_bFollowersUnset;  // the phases have not been spread yet

// Everything the draw routines advance as they draw: module 1's spin and module 2's
// state. A frame drawn in several passes (one per monitor) puts it back before each
// pass after the first, so that the animation advances once per frame.
struct SceneAnimation {
    float spin;
    float orbitSpin;
    int orbitFrames;
    float orbitSpeed;
    Follower followers[kFollowerCount];
    bool followersUnset;
};
SceneAnimation SaveSceneAnimation();
void RestoreSceneAnimation(const SceneAnimation& saved);

// Whether the draw routines first clear what they draw over (colour and depth): they
// do, except while a frame drawn in passes has cleared the whole window once for all.
void SetSceneClears(bool clears);

// Index 0 and any index without a routine of its own: a cleared, black frame.
int DrawBlank();
// Module 1: the assembly turning in place about its own axis.
int DrawModule1();
// Module 2: seven copies of the assembly travelling along a figure of eight.
int DrawModule2();
// Module 2's frame from the point where its entry is found active. This build's table
// has no entry for module 2, so DrawModule2 shows black frames; the tests reach the
// drawing through here.
int DrawModule2Active();

#endif
