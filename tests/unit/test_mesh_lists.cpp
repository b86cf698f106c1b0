#include <gtest/gtest.h>

#include <array>

#include "render/meshes/meshes.h"
#include "support/gl_test_window.h"

namespace {

std::array<float, 4> Material(GLenum face, GLenum what)
{
    std::array<float, 4> v = {-1, -1, -1, -1};
    glGetMaterialfv(face, what, v.data());
    return v;
}

std::array<float, 4> Rgba(const float* c) { return {c[0], c[1], c[2], c[3]}; }

void SetSentinelMaterial()
{
    const float grey[4] = {0.123f, 0.123f, 0.123f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, grey);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, grey);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, grey);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 1.0f);
}

std::array<float, 16> ModelView()
{
    std::array<float, 16> m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

void ExpectMeshMaterial(int k)
{
    const MeshMaterial& m = g_MeshMaterials[k];
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        EXPECT_EQ(Material(face, GL_AMBIENT), Rgba(m.ambient)) << "mesh " << k;
        EXPECT_EQ(Material(face, GL_DIFFUSE), Rgba(m.diffuse)) << "mesh " << k;
        EXPECT_EQ(Material(face, GL_SPECULAR), Rgba(m.specular)) << "mesh " << k;
        EXPECT_EQ(Material(face, GL_SHININESS)[0], 15.0f) << "mesh " << k;
    }
}

}  // namespace

TEST(DisplayLists, FirstDrawCompilesEightListsFromABlockOfNine)
{
    GLTestWindow gl(64, 64);
    ASSERT_TRUE(gl.ok());
    ASSERT_EQ(g_nListBase, 0u);
    DrawAllMeshes();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const GLuint base = g_nListBase;
    ASSERT_NE(base, 0u);
    for (int k = 0; k < kMeshCount; ++k) EXPECT_EQ(g_fBuiltScale[k], 1.0f) << k;

    // Each of the eight lists carries its own mesh's material for both faces.
    for (int k = 0; k < kMeshCount; ++k) {
        SetSentinelMaterial();
        EXPECT_TRUE(glIsList(base + k)) << k;
        glCallList(base + k);
        ExpectMeshMaterial(k);
    }
    // The ninth name is reserved but holds nothing.
    SetSentinelMaterial();
    glCallList(base + 8);
    EXPECT_EQ(Material(GL_FRONT, GL_DIFFUSE)[0], 0.123f);
    EXPECT_GE(glGenLists(1), base + 9);
}

TEST(DisplayLists, SecondDrawCompilesNothing)
{
    GLTestWindow gl(64, 64);
    ASSERT_TRUE(gl.ok());
    DrawAllMeshes();
    const GLuint base = g_nListBase;
    // Empty one list behind the table's back: a recompile would refill it.
    glNewList(base + 3, GL_COMPILE);
    glEndList();
    const GLuint before = glGenLists(1);
    DrawAllMeshes();
    const GLuint after = glGenLists(1);
    EXPECT_EQ(g_nListBase, base);
    EXPECT_EQ(after, before + 1);  // no block of names was reserved in between
    SetSentinelMaterial();
    glCallList(base + 3);
    EXPECT_EQ(Material(GL_FRONT, GL_DIFFUSE)[0], 0.123f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(DisplayLists, DrawingLeavesTheModelViewMatrixUnchanged)
{
    GLTestWindow gl(64, 64);
    ASSERT_TRUE(gl.ok());
    glLoadIdentity();
    glTranslatef(1.5f, -2.0f, -41.0f);
    glRotatef(33.0f, 0.3f, 1.0f, 0.2f);
    const auto placed = ModelView();
    DrawAllMeshes();  // compiling
    EXPECT_EQ(ModelView(), placed);
    DrawAllMeshes();  // calling
    EXPECT_EQ(ModelView(), placed);
}

TEST(DisplayLists, AnotherScaleRecompilesWithNormalsTimesTheScale)
{
    GLTestWindow gl(64, 64);
    ASSERT_TRUE(gl.ok());
    DrawAllMeshes();
    const GLuint first = g_nListBase;
    glLoadIdentity();
    g_MeshTable[0](2.0f);
    EXPECT_NE(g_nListBase, first);  // mesh 0 reserves a fresh block
    EXPECT_EQ(g_fBuiltScale[0], 2.0f);
    EXPECT_EQ(ModelView()[0], 2.0f);  // the scale stays on the matrix
    // Executing the list leaves its last normal current, multiplied by the scale.
    const int last = g_Mesh0.indices[g_Mesh0.indexCount - 1];
    float normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(normal[c], 2.0f * g_Mesh0.normals[3 * last + c]) << c;

    glLoadIdentity();
    g_MeshTable[1](2.0f);
    EXPECT_EQ(g_fBuiltScale[1], 2.0f);
    SetSentinelMaterial();
    glCallList(g_nListBase + 1);
    ExpectMeshMaterial(1);
    // At the scale it was compiled with, a mesh is only called.
    const GLuint base = g_nListBase;
    g_MeshTable[0](2.0f);
    EXPECT_EQ(g_nListBase, base);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
