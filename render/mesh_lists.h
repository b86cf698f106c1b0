// The eight meshes of the assembly drawn through display lists of the current
// rendering context, each compiled on its first draw.
#ifndef TILO_RENDER_MESH_LISTS_H
#define TILO_RENDER_MESH_LISTS_H

constexpr int kMeshCount = 8;
// Mesh 0 reserves one more name than there are meshes; the last is never compiled.
constexpr int kListBlockSize = 9;

struct MeshMaterial {
    float ambient[4];  // red, green, blue, alpha
    float diffuse[4];
    float specular[4];
    float shininess;
};
extern const MeshMaterial g_MeshMaterials[kMeshCount];

// Draws one mesh with a uniform scale multiplied onto the current matrix (and left
// there), compiling its list first when it was last compiled with another scale.
typedef void (*MeshDrawRoutine)(float scale);
extern const MeshDrawRoutine g_MeshTable[kMeshCount];

extern unsigned int g_nListBase;         // first of kListBlockSize names; mesh k uses base + k
extern float g_fBuiltScale[kMeshCount];  // scale each list was compiled with; 0.0 = never

// The whole assembly at scale 1.0; leaves the model-view matrix as it found it.
void DrawAllMeshes();

// Forgets the lists, for a new rendering context: the old lists went with the old one.
void ForgetMeshLists();

#endif
