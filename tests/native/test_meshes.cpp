// Invariants and placement of the eight compiled-in meshes.
#include "render/meshes/meshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kInnerRadius = 10.0;
constexpr double kOuterRadius = 11.35;
constexpr double kHalfHeight = 12.72;
constexpr double kSlack = 1e-4;       // float rounding of positions, model units
constexpr double kAngleSlack = 1e-3;  // degrees

struct Sector {
    double from, to;  // degrees, from +x towards +z
};

struct Placement {
    const MeshData* mesh;
    std::vector<Sector> sectors;
    double yFrom, yTo;
    int triangles;  // the budget the mesh is drawn to
};

const std::vector<Placement>& Inventory()
{
    static const std::vector<Placement> table = {
        {&g_Mesh0, {{18, 88}}, -5.12, 12.72, 4092},
        {&g_Mesh1, {{-32, 14}}, -4.49, 4.99, 1762},
        {&g_Mesh2, {{-79, -33}}, -11.46, 10.06, 2764},
        {&g_Mesh3, {{-131, -92}}, -4.34, 4.97, 1286},
        {&g_Mesh4, {{-177, -140}}, -2.37, 4.99, 1073},
        {&g_Mesh5, {{-178, -135}}, -10.63, 9.26, 2132},
        {&g_Mesh6, {{126, 168}}, -12.72, 11.48, 5738},
        {&g_Mesh7, {{-86, -80}, {17, 24}, {99, 119}, {171, 177}}, -4.39, 4.86, 2846},
    };
    return table;
}

struct Vec {
    double x, y, z;
};

Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(Vec a) { return std::sqrt(Dot(a, a)); }

Vec Position(const MeshData& m, int v)
{
    return {m.positions[3 * v], m.positions[3 * v + 1], m.positions[3 * v + 2]};
}
Vec Normal(const MeshData& m, int v)
{
    return {m.normals[3 * v], m.normals[3 * v + 1], m.normals[3 * v + 2]};
}
double Radius(Vec p) { return std::hypot(p.x, p.z); }
double AngleDeg(Vec p) { return std::atan2(p.z, p.x) * 180.0 / kPi; }

int Triangles(const MeshData& m) { return m.indexCount / 3; }

// Index data is checked first so later tests can index without guarding.
bool IndicesValid(const MeshData& m)
{
    if (m.vertexCount <= 0 || m.indexCount <= 0 || m.indexCount % 3 != 0) return false;
    return std::all_of(m.indices, m.indices + m.indexCount,
                       [&](int i) { return i >= 0 && i < m.vertexCount; });
}

}  // namespace

TEST(MeshData, IndicesFormWholeTrianglesWithinTheVertexRange)
{
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const MeshData& m = *Inventory()[k].mesh;
        SCOPED_TRACE(k);
        ASSERT_NE(m.positions, nullptr);
        ASSERT_NE(m.normals, nullptr);
        ASSERT_NE(m.indices, nullptr);
        EXPECT_TRUE(IndicesValid(m));
    }
}

TEST(MeshData, EveryTriangleHasThreeDistinctVerticesAndEveryVertexIsUsed)
{
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const MeshData& m = *Inventory()[k].mesh;
        SCOPED_TRACE(k);
        ASSERT_TRUE(IndicesValid(m));
        std::vector<bool> used(m.vertexCount, false);
        int repeats = 0;
        for (int t = 0; t < Triangles(m); ++t) {
            const int* v = m.indices + 3 * t;
            if (v[0] == v[1] || v[1] == v[2] || v[0] == v[2]) ++repeats;
            used[v[0]] = used[v[1]] = used[v[2]] = true;
        }
        EXPECT_EQ(repeats, 0);
        EXPECT_EQ(std::count(used.begin(), used.end(), false), 0);
    }
}

TEST(MeshData, NormalsHaveUnitLength)
{
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const MeshData& m = *Inventory()[k].mesh;
        SCOPED_TRACE(k);
        for (int v = 0; v < m.vertexCount; ++v) {
            ASSERT_NEAR(Length(Normal(m, v)), 1.0, 1e-5) << "vertex " << v;
        }
    }
}

// Back-face culling keeps a triangle only if it is counter-clockwise seen from
// the side its normals point to; a wrongly wound face would vanish on screen.
TEST(MeshData, TrianglesAreCounterClockwiseTowardsTheirNormalsAndNotDegenerate)
{
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const MeshData& m = *Inventory()[k].mesh;
        SCOPED_TRACE(k);
        ASSERT_TRUE(IndicesValid(m));
        int wrong = 0, degenerate = 0;
        for (int t = 0; t < Triangles(m); ++t) {
            const int* v = m.indices + 3 * t;
            Vec a = Position(m, v[0]), b = Position(m, v[1]), c = Position(m, v[2]);
            Vec face = Cross(Sub(b, a), Sub(c, a));
            if (0.5 * Length(face) <= 1e-7) ++degenerate;
            for (int i = 0; i < 3; ++i) {
                if (Dot(face, Normal(m, v[i])) <= 0.0) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(degenerate, 0);
    }
}

// Faces are flat per region: the outer face looks straight out from the axis,
// the inner face straight in, and side walls run along the cylinder (no radial
// component).  Anything else means a face was built with the wrong normal.
TEST(MeshData, NormalsAreRadialOnTheFacesAndTangentialOnTheWalls)
{
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const MeshData& m = *Inventory()[k].mesh;
        SCOPED_TRACE(k);
        int outer = 0, inner = 0, odd = 0;
        for (int v = 0; v < m.vertexCount; ++v) {
            Vec p = Position(m, v), n = Normal(m, v);
            double r = Radius(p);
            double radial = (n.x * p.x + n.z * p.z) / r;
            if (std::fabs(radial) < 1e-4) continue;  // wall
            if (radial > 1.0 - 1e-5 && std::fabs(r - kOuterRadius) < kSlack) {
                ++outer;
            } else if (radial < -1.0 + 1e-5 && std::fabs(r - kInnerRadius) < kSlack) {
                ++inner;
            } else {
                ++odd;
            }
        }
        EXPECT_EQ(odd, 0);
        EXPECT_GT(outer, 0);
        EXPECT_EQ(outer, inner) << "the two faces of an extruded outline match";
    }
}

TEST(MeshPlacement, AllVerticesLieOnTheBand)
{
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const MeshData& m = *Inventory()[k].mesh;
        SCOPED_TRACE(k);
        for (int v = 0; v < m.vertexCount; ++v) {
            Vec p = Position(m, v);
            ASSERT_GE(Radius(p), kInnerRadius - kSlack) << "vertex " << v;
            ASSERT_LE(Radius(p), kOuterRadius + kSlack) << "vertex " << v;
            ASSERT_LE(std::fabs(p.y), kHalfHeight + kSlack) << "vertex " << v;
        }
    }
}

TEST(MeshPlacement, EachMeshStaysInAndFillsItsSectorAndHeight)
{
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const Placement& place = Inventory()[k];
        const MeshData& m = *place.mesh;
        SCOPED_TRACE(k);
        const size_t groups = place.sectors.size();
        std::vector<double> lo(groups, 1e9), hi(groups, -1e9);
        double yLo = 1e9, yHi = -1e9;
        int outside = 0;
        for (int v = 0; v < m.vertexCount; ++v) {
            Vec p = Position(m, v);
            double a = AngleDeg(p);
            bool placed = false;
            for (size_t g = 0; g < groups; ++g) {
                if (a >= place.sectors[g].from - kAngleSlack && a <= place.sectors[g].to + kAngleSlack) {
                    lo[g] = std::min(lo[g], a);
                    hi[g] = std::max(hi[g], a);
                    placed = true;
                }
            }
            if (!placed || p.y < place.yFrom - kSlack || p.y > place.yTo + kSlack) ++outside;
            yLo = std::min(yLo, p.y);
            yHi = std::max(yHi, p.y);
        }
        EXPECT_EQ(outside, 0);
        for (size_t g = 0; g < groups; ++g) {
            double width = place.sectors[g].to - place.sectors[g].from;
            EXPECT_GE(hi[g] - lo[g], 0.8 * width) << "sector group " << g;
        }
        EXPECT_GE(yHi - yLo, 0.8 * (place.yTo - place.yFrom));
    }
}

// Meshes whose sectors overlap (4 sits between the parts of 5; a piece of 7
// sits in the embrace of 0) must share the band without passing through each
// other: no outer-face vertex of one lies inside an outer-face triangle of the
// other, compared unrolled in (angle, y).
TEST(MeshPlacement, MeshesSharingASectorDoNotOverlap)
{
    struct Flat {
        double a, y;
    };
    auto outerFace = [](const MeshData& m, int v) {
        Vec p = Position(m, v), n = Normal(m, v);
        return std::fabs(Radius(p) - kOuterRadius) < kSlack && (n.x * p.x + n.z * p.z) / Radius(p) > 0.99;
    };
    auto inside = [](Flat p, Flat a, Flat b, Flat c) {
        auto side = [](Flat o, Flat s, Flat t) {
            return (s.a - o.a) * (t.y - o.y) - (s.y - o.y) * (t.a - o.a);
        };
        double d0 = side(a, b, p), d1 = side(b, c, p), d2 = side(c, a, p);
        const double eps = 1e-9;
        return (d0 > eps && d1 > eps && d2 > eps) || (d0 < -eps && d1 < -eps && d2 < -eps);
    };
    const std::pair<int, int> pairs[] = {{4, 5}, {5, 4}, {0, 7}, {7, 0}};
    for (auto [ka, kb] : pairs) {
        const MeshData& a = *Inventory()[ka].mesh;
        const MeshData& b = *Inventory()[kb].mesh;
        SCOPED_TRACE(testing::Message() << "mesh " << ka << " in mesh " << kb);
        std::vector<Flat> points;
        for (int v = 0; v < a.vertexCount; ++v) {
            if (outerFace(a, v)) points.push_back({AngleDeg(Position(a, v)), Position(a, v).y});
        }
        int overlaps = 0;
        for (int t = 0; t < Triangles(b); ++t) {
            const int* v = b.indices + 3 * t;
            if (!outerFace(b, v[0]) || !outerFace(b, v[1]) || !outerFace(b, v[2])) continue;
            Flat c[3];
            for (int i = 0; i < 3; ++i) c[i] = {AngleDeg(Position(b, v[i])), Position(b, v[i]).y};
            for (const Flat& p : points) {
                if (inside(p, c[0], c[1], c[2])) ++overlaps;
            }
        }
        EXPECT_EQ(overlaps, 0);
    }
}

TEST(MeshPlacement, TriangleCountsStayWithinBudget)
{
    int total = 0;
    for (size_t k = 0; k < Inventory().size(); ++k) {
        const Placement& place = Inventory()[k];
        SCOPED_TRACE(k);
        int n = Triangles(*place.mesh);
        EXPECT_GE(n, 0.75 * place.triangles);
        EXPECT_LE(n, 1.25 * place.triangles);
        total += n;
    }
    EXPECT_GE(total, 0.9 * 21693);
    EXPECT_LE(total, 1.1 * 21693);
}
