// Constant geometry of the eight meshes of the assembly, one definition per file
// mesh0.cpp .. mesh7.cpp, written by tools/make_meshes.py.
#ifndef TILO_RENDER_MESHES_MESHES_H
#define TILO_RENDER_MESHES_MESHES_H

struct MeshData {
    int vertexCount;        // V
    const float* positions; // V x 3: x, y, z in model units
    const float* normals;   // V x 3: unit normals
    int indexCount;         // 3 x triangles
    const int* indices;     // vertex numbers 0 .. V-1, three per triangle, counter-clockwise
};

extern const MeshData g_Mesh0;
extern const MeshData g_Mesh1;
extern const MeshData g_Mesh2;
extern const MeshData g_Mesh3;
extern const MeshData g_Mesh4;
extern const MeshData g_Mesh5;
extern const MeshData g_Mesh6;
extern const MeshData g_Mesh7;

#endif
