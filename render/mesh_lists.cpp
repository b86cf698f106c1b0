#include "render/mesh_lists.h"

#include <windows.h>

#include <GL/gl.h>

#include "render/meshes/meshes.h"

const MeshMaterial g_MeshMaterials[kMeshCount] = {
    // 0: white
    {{0.3996f, 0.3996f, 0.3996f, 1.0f}, {0.9f, 0.9f, 0.9f, 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f}, 15.0f},
    // 1: green
    {{0.0f, 0.35f, 0.025f, 1.0f}, {0.0f, 0.7f, 0.05f, 1.0f}, {0.25f, 0.5f, 0.25f, 1.0f}, 15.0f},
    // 2: orange-gold
    {{0.6f, 0.4f, 0.0f, 1.0f}, {1.0f, 0.6666667f, 0.0f, 1.0f}, {0.46865f, 0.4059f, 0.07645f, 1.0f}, 15.0f},
    // 3, 4: light blue
    {{0.14f, 0.42f, 0.7f, 1.0f}, {0.2f, 0.6f, 1.0f, 1.0f}, {0.25f, 0.5f, 0.5f, 1.0f}, 15.0f},
    {{0.14f, 0.42f, 0.7f, 1.0f}, {0.2f, 0.6f, 1.0f, 1.0f}, {0.25f, 0.5f, 0.5f, 1.0f}, 15.0f},
    // 5: red
    {{0.25f, 0.0f, 0.0f, 1.0f}, {0.9f, 0.0f, 0.0f, 1.0f}, {0.6f, 0.264f, 0.264f, 1.0f}, 15.0f},
    // 6, 7: dark blue
    {{0.0f, 0.0f, 0.3f, 1.0f}, {0.0f, 0.0f, 0.9f, 1.0f}, {0.2607f, 0.2607f, 0.6f, 1.0f}, 15.0f},
    {{0.0f, 0.0f, 0.3f, 1.0f}, {0.0f, 0.0f, 0.9f, 1.0f}, {0.2607f, 0.2607f, 0.6f, 1.0f}, 15.0f},
};

unsigned int g_nListBase = 0;
float g_fBuiltScale[kMeshCount] = {};

namespace {

const MeshData* const kMeshes[kMeshCount] = {&g_Mesh0, &g_Mesh1, &g_Mesh2, &g_Mesh3,
                                             &g_Mesh4, &g_Mesh5, &g_Mesh6, &g_Mesh7};

void CompileList(int k, float scale)
{
    g_fBuiltScale[k] = scale;
    if (k == 0) g_nListBase = glGenLists(kListBlockSize);
    glNewList(g_nListBase + k, GL_COMPILE);
    const MeshMaterial& m = g_MeshMaterials[k];
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
    // Normals times the scale undo the 1/scale that the scale puts on them in the
    // normal transformation, so they reach lighting at unit length without
    // GL_NORMALIZE.
    const MeshData& mesh = *kMeshes[k];
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < mesh.indexCount; ++i) {
        const int v = mesh.indices[i];
        const float* n = mesh.normals + 3 * v;
        glNormal3f(n[0] * scale, n[1] * scale, n[2] * scale);
        glVertex3fv(mesh.positions + 3 * v);
    }
    glEnd();
    glEndList();
}

template <int K>
void DrawMesh(float scale)
{
    if (scale != g_fBuiltScale[K]) CompileList(K, scale);
    glScalef(scale, scale, scale);
    glCallList(g_nListBase + K);
}

}  // namespace

const MeshDrawRoutine g_MeshTable[kMeshCount] = {DrawMesh<0>, DrawMesh<1>, DrawMesh<2>, DrawMesh<3>,
                                                 DrawMesh<4>, DrawMesh<5>, DrawMesh<6>, DrawMesh<7>};

void DrawAllMeshes()
{
    for (int k = 0; k < kMeshCount; ++k) g_MeshTable[k](1.0f);
}

void ForgetMeshLists()
{
    g_nListBase = 0;
    for (float& s : g_fBuiltScale) s = 0.0f;
}
