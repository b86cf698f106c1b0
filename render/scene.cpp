#include "render/scene.h"

#include <windows.h>

#include <GL/gl.h>

#include "render/mesh_lists.h"
#include "render/view.h"

float g_fOrbitSpin = 0.0f;
int g_nOrbitFrames = 0;
float g_fOrbitSpeed = 0.0f;
Follower g_Followers[kFollowerCount] = {};
bool g_bFollowersUnset = true;

namespace {

bool s_clears = true;

void ClearFrame()
{
    if (s_clears) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int FrameResult() { return glGetError() == GL_NO_ERROR ? 1 : 0; }

void PlaceView()
{
    glLoadIdentity();
    glTranslatef(g_fHorz, g_fVert, -g_fDepth);
}

}  // namespace

void SetSceneClears(bool clears) { s_clears = clears; }

SceneAnimation SaveSceneAnimation()
{
    SceneAnimation s;
    s.spin = g_fSpin;
    s.orbitSpin = g_fOrbitSpin;
    s.orbitFrames = g_nOrbitFrames;
    s.orbitSpeed = g_fOrbitSpeed;
    for (int i = 0; i < kFollowerCount; ++i) s.followers[i] = g_Followers[i];
    s.followersUnset = g_bFollowersUnset;
    return s;
}

void RestoreSceneAnimation(const SceneAnimation& saved)
{
    g_fSpin = saved.spin;
    g_fOrbitSpin = saved.orbitSpin;
    g_nOrbitFrames = saved.orbitFrames;
    g_fOrbitSpeed = saved.orbitSpeed;
    for (int i = 0; i < kFollowerCount; ++i) g_Followers[i] = saved.followers[i];
    g_bFollowersUnset = saved.followersUnset;
}

int DrawBlank()
{
    ClearFrame();
    return FrameResult();
}

int DrawModule1()
{
    ClearFrame();
    if (!IsModuleActive(1)) return 1;
    g_fSpin = ReduceSpin(g_fSpin);
    PlaceView();
    glRotatef(g_fZrot, 0.0f, 0.0f, 1.0f);
    glRotatef(g_fXrot, 1.0f, 0.0f, 0.0f);
    glRotatef(g_fYrot, 0.0f, 1.0f, 0.0f);
    glRotatef(-g_fSpin, 0.0f, 1.0f, 0.0f);
    DrawAllMeshes();
    g_fSpin = AdvanceSpin(g_fSpin, g_fSpeed * 1.0f);
    return FrameResult();
}

int DrawModule2()
{
    if (!IsModuleActive(2)) {
        ClearFrame();
        return 1;
    }
    return DrawModule2Active();
}

int DrawModule2Active()
{
    ClearFrame();
    CountOrbitFrame(&g_nOrbitFrames, &g_fOrbitSpin);
    g_fOrbitSpeed = OrbitSpeedFor(g_fSpeed, g_bSaverWindow);
    if (g_bFollowersUnset) {
        g_bFollowersUnset = false;
        for (int i = 0; i < kFollowerCount; ++i) g_Followers[i].fPhase = InitialPhase(i);
    }
    for (int i = 0; i < kFollowerCount; ++i) {
        const float e = g_Followers[i].fPhase;
        PlaceView();
        // z, then y, then x: not module 1's order.
        glRotatef(g_fZrot, 0.0f, 0.0f, 1.0f);
        glRotatef(g_fYrot, 0.0f, 1.0f, 0.0f);
        glRotatef(g_fXrot, 1.0f, 0.0f, 0.0f);
        const PathPoint p = PathAt(e);
        glTranslatef(5.0f * p.x, 0.0f, 5.0f * p.z);
        glRotatef(PathHeading(e) + 90.0f, 0.0f, 1.0f, 0.0f);
        glRotatef(static_cast<float>(i) * 150.0f + g_fOrbitSpin, 0.0f, 1.0f, 0.0f);
        DrawAllMeshes();
        g_Followers[i].fPhase = StepPhase(e, g_fOrbitSpeed);
    }
    g_fOrbitSpin = AdvanceOrbitSpin(g_fOrbitSpin, g_fSpeed * 1.0f);
    return FrameResult();
}
