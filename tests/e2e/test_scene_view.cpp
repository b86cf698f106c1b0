// The assembly as it reaches the screen: a full-screen top-level window with the
// saver's own rendering context, the module table loaded from the registry, frames of
// module 1 drawn and swapped, and the screen read back through GDI.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <math.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>
#include <string>

#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "render/meshes/meshes.h"
#include "render/scene.h"
#include "support/gl_test_window.h"
#include "support/registry.h"
#include "support/screenshot.h"
#include "support/settings_store.h"
#include "support/waiting.h"

namespace {

// The colour each mesh's material gives it under the two white lights.
const Hue kMeshHue[8] = {Hue::White,     Hue::Green, Hue::Orange,   Hue::LightBlue,
                         Hue::LightBlue, Hue::Red,   Hue::DarkBlue, Hue::DarkBlue};

// The angles about the band's axis, from +x towards +z, over which each mesh lies;
// mesh 7 comes in four groups.
struct Sector {
    double from, to;
};
const std::vector<Sector> kSectors[8] = {
    {{18, 88}},     {{-32, 14}},    {{-79, -33}}, {{-131, -92}},
    {{-177, -140}}, {{-178, -135}}, {{126, 168}}, {{-86, -80}, {17, 24}, {99, 119}, {171, 177}}};

// True when a sector centre of the mesh is turned within 35 degrees of the viewer. The
// spin turns the band by -spin about its axis, which adds spin to a point's angle, and
// the viewer looks at the band from +z, at 90 degrees.
bool FacesViewer(int mesh, double spin)
{
    for (const Sector& s : kSectors[mesh]) {
        const double off = fmod((s.from + s.to) / 2 + spin - 90.0 + 720.0 * 4, 360.0);
        if (off < 35.0 || off > 325.0) return true;
    }
    return false;
}

const MeshData* const kMeshes[8] = {&g_Mesh0, &g_Mesh1, &g_Mesh2, &g_Mesh3,
                                    &g_Mesh4, &g_Mesh5, &g_Mesh6, &g_Mesh7};

// Module 1's placement for the default view, built here rather than read back:
// translation by -depth, then -spin about the band's axis. Column-major.
std::array<double, 16> Placement(double depth, double spinDegrees)
{
    const double a = -spinDegrees * 3.14159265358979 / 180.0, c = cos(a), s = sin(a);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, -depth, 1};
}

struct MeshCheck {
    int probes = 0;   // front-facing triangles facing the viewer, large enough to hit
    int matches = 0;  // of those, the screen pixel at the centroid has the mesh's hue
};

// For each mesh: the triangles facing the viewer on the part of the band turned to it,
// projected with the placement above; the pixel under each centroid should show the
// mesh's colour unless another part of the assembly lies in front.
std::array<MeshCheck, 8> CheckMeshes(const Screenshot& shot, double depth, double spin)
{
    const auto mv = Placement(depth, spin);
    double projection[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::array<MeshCheck, 8> result;
    for (int k = 0; k < 8; ++k) {
        const MeshData& m = *kMeshes[k];
        for (int t = 0; t + 2 < m.indexCount; t += 3) {
            double eye[3][3], win[3][3];
            double nx = 0, ny = 0, nz = 0;
            for (int v = 0; v < 3; ++v) {
                const float* p = m.positions + 3 * m.indices[t + v];
                const float* n = m.normals + 3 * m.indices[t + v];
                for (int r = 0; r < 3; ++r)
                    eye[v][r] = mv[r] * p[0] + mv[4 + r] * p[1] + mv[8 + r] * p[2] + mv[12 + r];
                nx += mv[0] * n[0] + mv[4] * n[1] + mv[8] * n[2];
                ny += mv[1] * n[0] + mv[5] * n[1] + mv[9] * n[2];
                nz += mv[2] * n[0] + mv[6] * n[1] + mv[10] * n[2];
                gluProject(p[0], p[1], p[2], mv.data(), projection, viewport, &win[v][0], &win[v][1],
                           &win[v][2]);
            }
            const double cx = (eye[0][0] + eye[1][0] + eye[2][0]) / 3,
                         cy = (eye[0][1] + eye[1][1] + eye[2][1]) / 3,
                         cz = (eye[0][2] + eye[1][2] + eye[2][2]) / 3;
            const double len = sqrt(nx * nx + ny * ny + nz * nz), dist = sqrt(cx * cx + cy * cy + cz * cz);
            // Only where the band faces the viewer (within 50 degrees either side);
            // towards its edges the ornaments nearer the viewer hide those behind.
            const double around = atan2(cz + depth, cx) * 180.0 / 3.14159265358979;
            if (around < 40.0 || around > 140.0) continue;
            if (-(nx * cx + ny * cy + nz * cz) / (len * dist) < 0.5) continue;  // turned away
            const double area = fabs((win[1][0] - win[0][0]) * (win[2][1] - win[0][1]) -
                                     (win[2][0] - win[0][0]) * (win[1][1] - win[0][1])) /
                                2;
            if (area < 6.0) continue;  // too small to be sure of its pixel
            const int x = static_cast<int>((win[0][0] + win[1][0] + win[2][0]) / 3);
            const int y = shot.height - 1 - static_cast<int>((win[0][1] + win[1][1] + win[2][1]) / 3);
            if (x < 0 || y < 0 || x >= shot.width || y >= shot.height) continue;
            ++result[k].probes;
            if (Classify(shot.at(x, y)) == kMeshHue[k]) ++result[k].matches;
        }
    }
    return result;
}

// Frame and screen of the saver's default view, loaded from an empty key.
class SceneView : public ::testing::Test {
protected:
    void SetUp() override
    {
        SelectKey(nullptr, scratch.path().c_str());
        LoadModuleParams();
        SelectKey(nullptr, TILO_PRODUCT_KEY);
        g_bSaverWindow = true;
        ASSERT_TRUE(gl.ok());
    }
    void TearDown() override { g_bSaverWindow = false; }
    // Draws frames from the given spin; returns the spin of the last one shown.
    float ShowFrames(float spin, int frames)
    {
        g_fSpin = spin;
        float shown = spin;
        for (int i = 0; i < frames; ++i) {
            shown = g_fSpin;
            EXPECT_EQ(DrawModule1(), 1);
            SwapBuffers(g_hDC);
        }
        PumpFor(100);
        return shown;
    }
    ScratchKey scratch;
    GLTestWindow gl{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
};

}  // namespace

TEST_F(SceneView, EachMeshShowsItsColourWhereItsSectorIsTurned)
{
    ASSERT_EQ(g_nCurModule, 1);
    ASSERT_EQ(g_fDepth, 41.0f);
    std::array<int, 8> checked = {};
    // Spins that bring each mesh in turn to face the viewer.
    for (float start : {37.0f, 99.0f, 146.0f, 202.0f, 248.0f, 303.0f}) {
        const float spin = ShowFrames(start, 5);
        EXPECT_NEAR(spin, start + 4 * 0.1f, 1e-3f);
        Screenshot shot;
        ASSERT_TRUE(shot.Capture());
        if (start == 37.0f) shot.SaveBmp("scene_view.bmp");
        const auto result = CheckMeshes(shot, g_fDepth, spin);
        for (int k = 0; k < 8; ++k) {
            if (!FacesViewer(k, spin)) continue;
            ++checked[k];
            ASSERT_GT(result[k].probes, 40) << "mesh " << k << " at spin " << spin;
            const double share = static_cast<double>(result[k].matches) / result[k].probes;
            // Mesh 7's small pieces lie between larger ornaments that hide some of them.
            EXPECT_GT(share, k == 7 ? 0.8 : 0.95)
                << "mesh " << k << " (" << Name(kMeshHue[k]) << ") at spin " << spin << ": "
                << result[k].matches << " of " << result[k].probes;
        }
    }
    for (int k = 0; k < 8; ++k) EXPECT_GE(checked[k], 1) << "mesh " << k << " never faced the viewer";
}

TEST_F(SceneView, AssemblyIsLitWithManyShades)
{
    ShowFrames(30.0f, 3);
    Screenshot shot;
    ASSERT_TRUE(shot.Capture());
    std::set<DWORD> shades;
    std::array<int, 8> hues = {};
    int lit = 0;
    for (DWORD p : shot.pixels) {
        const Hue h = Classify(p);
        ++hues[static_cast<int>(h)];
        if (h == Hue::Black) continue;
        ++lit;
        shades.insert(p & 0xFFFFFF);
    }
    const int total = shot.width * shot.height;
    EXPECT_GT(lit, total / 10);  // the band fills a good part of the screen
    EXPECT_LT(lit, total / 2);   // on black
    EXPECT_GT(shades.size(), 500u);
    for (Hue h : {Hue::White, Hue::Red, Hue::Orange, Hue::Green, Hue::LightBlue, Hue::DarkBlue})
        EXPECT_GT(hues[static_cast<int>(h)], 2000) << Name(h);
    // Shaded, not flat: the white mesh alone spans a wide range of brightness.
    int darkest = 255, brightest = 0;
    for (DWORD p : shot.pixels)
        if (Classify(p) == Hue::White) {
            const int v = std::max({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF});
            darkest = std::min(darkest, v);
            brightest = std::max(brightest, v);
        }
    EXPECT_GT(brightest - darkest, 80);
}

TEST_F(SceneView, ScreenFollowsTheSpinFromRightToLeft)
{
    // The white mesh's sector centre at 53 degrees faces the viewer at a spin of 37;
    // a little more spin carries it left on the screen.
    auto whiteCentre = [](const Screenshot& shot) {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x)
                if (Classify(shot.at(x, y)) == Hue::White) {
                    sum += x;
                    ++n;
                }
        return n ? sum / n : -1.0;
    };
    ShowFrames(17.0f, 1);
    Screenshot before;
    ASSERT_TRUE(before.Capture());
    ShowFrames(57.0f, 1);
    Screenshot after;
    ASSERT_TRUE(after.Capture());
    const double a = whiteCentre(before), b = whiteCentre(after);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_LT(b, a - 100) << "white centre at x " << a << " then " << b;
}
