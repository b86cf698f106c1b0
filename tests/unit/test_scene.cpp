#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>

#include <array>

#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "render/monitors.h"
#include "render/scene.h"
#include "support/gl_test_window.h"
#include "support/view_state.h"

namespace {

// Column-major 4x4 matrices, as OpenGL keeps them, worked out here independently of
// the code under test.
using Mat = std::array<double, 16>;

Mat Identity()
{
    Mat m = {};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

Mat Mul(const Mat& a, const Mat& b)
{
    Mat r = {};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k) r[c * 4 + row] += a[k * 4 + row] * b[c * 4 + k];
    return r;
}

Mat Translate(double x, double y, double z)
{
    Mat m = Identity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

// Rotation by degrees about axis 0 (x), 1 (y) or 2 (z), counter-clockwise looking
// down the axis towards the origin.
Mat Rotate(double degrees, int axis)
{
    const double a = degrees * 3.14159265358979 / 180.0, c = cos(a), s = sin(a);
    Mat m = Identity();
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    m[i * 4 + i] = c;
    m[j * 4 + j] = c;
    m[i * 4 + j] = s;
    m[j * 4 + i] = -s;
    return m;
}

void ExpectModelView(const Mat& expected)
{
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 2e-4) << "element " << i;
}

// Module 1 on show with the given view and spin, over a window with a real context.
class SceneDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(gl.ok());
        g_Modules[1].active = true;
        g_bSaverWindow = true;
        SetView(41.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 5.0f);
        g_fSpin = 0.0f;
        g_fOrbitSpin = 0.0f;
        g_nOrbitFrames = 0;
        g_bFollowersUnset = true;
        while (glGetError() != GL_NO_ERROR) {}
    }
    void TearDown() override { g_bSaverWindow = false; }
    GLTestWindow gl{320, 200};
};

}  // namespace

TEST_F(SceneDraw, BlankFrameIsClearedAndShown)
{
    ASSERT_EQ(DrawModule1(), 1);
    ASSERT_GT(LitPixels(gl.ReadBack()), 0);
    EXPECT_EQ(DrawBlank(), 1);
    EXPECT_EQ(LitPixels(gl.ReadBack()), 0);
}

TEST_F(SceneDraw, ModuleOneDrawsTheAssemblyAndTurnsItBySpeed)
{
    SetView(41.0f, 1.0f, -2.0f, 20.0f, 30.0f, 10.0f, 5.0f);
    g_fSpin = 40.0f;
    EXPECT_EQ(DrawModule1(), 1);
    // Placed by the translation, then z, x and y of the view, then the spin about the
    // band's own axis; the mesh lists leave the matrix as it was.
    Mat expected =
        Mul(Mul(Mul(Mul(Translate(1.0, -2.0, -41.0), Rotate(10.0, 2)), Rotate(20.0, 0)), Rotate(30.0, 1)),
            Rotate(-40.0, 1));
    ExpectModelView(expected);
    EXPECT_EQ(g_fSpin, 45.0f);
    const int lit = LitPixels(gl.ReadBack());
    EXPECT_GT(lit, 320 * 200 / 20);  // the band fills a good part of the view
    EXPECT_LT(lit, 320 * 200);
    EXPECT_EQ(DrawModule1(), 1);
    EXPECT_EQ(g_fSpin, 50.0f);
}

TEST_F(SceneDraw, InactiveModuleOneShowsBlackAndKeepsItsSpin)
{
    g_Modules[1].active = false;
    g_fSpin = 12.5f;
    EXPECT_EQ(DrawModule1(), 1);
    EXPECT_EQ(g_fSpin, 12.5f);
    EXPECT_EQ(LitPixels(gl.ReadBack()), 0);
}

TEST_F(SceneDraw, PendingErrorWithholdsTheFrameOnce)
{
    glEnable(0x7FFF);  // not a capability: GL_INVALID_ENUM stays pending
    EXPECT_EQ(DrawModule1(), 0);
    EXPECT_EQ(DrawModule1(), 1);
    glEnable(0x7FFF);
    EXPECT_EQ(DrawBlank(), 0);
    EXPECT_EQ(DrawBlank(), 1);
    glEnable(0x7FFF);
    EXPECT_EQ(DrawModule2Active(), 0);
    EXPECT_EQ(DrawModule2Active(), 1);
}

TEST_F(SceneDraw, SpinPastFiveMillionDropsBeforeTheFrame)
{
    g_fSpin = 5000000.5f;
    EXPECT_EQ(DrawModule1(), 1);
    ExpectModelView(Mul(Translate(0.0, 0.0, -41.0), Rotate(-0.5, 1)));
    EXPECT_EQ(g_fSpin, 5.5f);
}

TEST_F(SceneDraw, SpinStillAdvancesBySpeedAfterVeryManyFrames)
{
    // Where a float that only grows stops: 2,100,000 + 0.1 rounds to 2,100,000.
    SetView(41.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.1f);
    g_fSpin = 2100000.0f;
    ASSERT_EQ(DrawModule1(), 1);
    const float first = g_fSpin;
    ASSERT_EQ(DrawModule1(), 1);
    EXPECT_NEAR(g_fSpin - first, 0.1f, 1e-4f);
    ExpectModelView(Mul(Translate(0.0, 0.0, -41.0), Rotate(-first, 1)));
    // The same picture as the unreduced angle would give.
    EXPECT_NEAR(first, fmod(2100000.0, 360.0) + 0.1, 1e-4);
}

TEST_F(SceneDraw, ModuleTwoHasNoEntryInThisBuildAndShowsBlack)
{
    ASSERT_EQ(MODULE_COUNT, 1);
    EXPECT_EQ(DrawModule2(), 1);
    EXPECT_TRUE(g_bFollowersUnset);
    EXPECT_EQ(g_nOrbitFrames, 0);
    EXPECT_EQ(g_fOrbitSpin, 0.0f);
    EXPECT_EQ(LitPixels(gl.ReadBack()), 0);
}

TEST_F(SceneDraw, ModuleTwoSpreadsItsCopiesOnceThenStepsThem)
{
    SetView(150.0f, 0.0f, 0.0f, 30.0f, 0.0f, 0.0f, 0.5f);
    ASSERT_EQ(DrawModule2Active(), 1);
    EXPECT_GT(LitPixels(gl.ReadBack()), 0);
    EXPECT_FALSE(g_bFollowersUnset);
    EXPECT_EQ(g_nOrbitFrames, 1);
    EXPECT_EQ(g_fOrbitSpeed, 0.5f);
    EXPECT_EQ(g_fOrbitSpin, -0.5f);
    // Spread 0, 0.8976, ... before the first step of 0.0025; the copy at 0 wraps.
    EXPECT_EQ(g_Followers[0].fPhase, 6.283185f);
    for (int i = 1; i < kFollowerCount; ++i)
        EXPECT_NEAR(g_Followers[i].fPhase, i * 0.8975979f - 0.0025f, 1e-5f) << i;
    ASSERT_EQ(DrawModule2Active(), 1);
    EXPECT_NEAR(g_Followers[0].fPhase, 6.283185f - 0.0025f, 1e-6f);  // not spread again
    EXPECT_NEAR(g_Followers[3].fPhase, 3 * 0.8975979f - 0.005f, 1e-5f);
    EXPECT_EQ(g_fOrbitSpin, -1.0f);
}

TEST_F(SceneDraw, ModuleTwoTravelsAtHalfSpeedInTheDialogButSpinsFully)
{
    g_bSaverWindow = false;
    g_fSpeed = 4.0f;
    ASSERT_EQ(DrawModule2Active(), 1);
    EXPECT_EQ(g_fOrbitSpeed, 2.0f);
    EXPECT_EQ(g_fOrbitSpin, -4.0f);
    EXPECT_NEAR(g_Followers[1].fPhase, 0.8975979f - 0.01f, 1e-5f);
}

TEST_F(SceneDraw, ModuleTwoReducesItsSpinOnTheFiveHundredThousandthFrame)
{
    g_bFollowersUnset = false;
    g_nOrbitFrames = kOrbitReduceFrames - 1;
    g_fOrbitSpin = -1000000.5f;
    g_fSpeed = 0.5f;
    ASSERT_EQ(DrawModule2Active(), 1);
    EXPECT_EQ(g_nOrbitFrames, 0);
    EXPECT_EQ(g_fOrbitSpin, -280.5f);
}

// Two monitors of one size, the right one higher: each shows the same frame, the
// animation advances as a single pass advances it, and beside them is black; the frame
// drawn after them over the whole window clears it again.
TEST_F(SceneDraw, OverTwoMonitorsEachShowsTheSameFrameAndTheAnimationAdvancesOnce)
{
    const Viewport monitors[2] = {{0, 0, 160, 160}, {160, 40, 160, 160}};
    for (DrawRoutine draw : {DrawModule1, DrawModule2Active}) {
        const SceneAnimation start = SaveSceneAnimation();
        ASSERT_EQ(draw(), 1);
        const SceneAnimation once = SaveSceneAnimation();
        RestoreSceneAnimation(start);
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        UseViewports(monitors, 2);
        EXPECT_EQ(DrawOnMonitors(draw), 1);
        UseViewports(nullptr, 0);
        SetProjection(gl.width(), gl.height());
        const SceneAnimation split = SaveSceneAnimation();
        EXPECT_EQ(split.spin, once.spin);
        EXPECT_EQ(split.orbitSpin, once.orbitSpin);
        EXPECT_EQ(split.followers[0].fPhase, once.followers[0].fPhase);

        const std::vector<unsigned char> px = gl.ReadBack();
        auto at = [&](int x, int y, int c) { return px[(static_cast<size_t>(y) * gl.width() + x) * 4 + c]; };
        int apart = 0, lit = 0, beside = 0;  // the rasteriser may round an edge pixel apart
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 160; ++x)
                for (int c = 0; c < 3; ++c) {
                    apart += abs(at(x, y, c) - at(x + 160, y + 40, c)) > 24;
                    lit += at(x, y, c) > 8;
                    beside += y < 40 && (at(x, y + 160, c) | at(x + 160, y, c)) != 0;
                }
        EXPECT_LE(apart, 40);
        EXPECT_GT(lit, 160 * 160 / 20);
        EXPECT_EQ(beside, 0);

        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        ASSERT_EQ(draw(), 1);
        EXPECT_EQ(gl.ReadBack()[0], 0) << "a frame over the whole window left uncleared";
    }
}
