// Puts a view in place, as loading a module or the view keys would.
#ifndef TILO_TESTS_SUPPORT_VIEW_STATE_H
#define TILO_TESTS_SUPPORT_VIEW_STATE_H

#include "render/view.h"

inline void SetView(float depth, float horz, float vert, float xrot, float yrot, float zrot, float speed)
{
    g_fDepth = depth;
    g_fHorz = horz;
    g_fVert = vert;
    g_fXrot = xrot;
    g_fYrot = yrot;
    g_fZrot = zrot;
    g_fSpeed = speed;
}

#endif
