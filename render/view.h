// What the draw routines read every frame, provided by the animation that drives
// them: the current view (its module table and view keys write it), the active flags
// of the module table, and which host shows the frames. Angles in degrees.
#ifndef TILO_RENDER_VIEW_H
#define TILO_RENDER_VIEW_H

extern float g_fDepth;  // distance of the scene in front of the viewer
extern float g_fHorz;   // horizontal offset
extern float g_fVert;   // vertical offset
extern float g_fXrot;
extern float g_fYrot;
extern float g_fZrot;
extern float g_fSpeed;  // angle step per frame
extern float g_fSpin;   // the current module's animation angle; the draw routine advances it

extern bool g_bSaverWindow;  // the saver window shows the frames, not the settings dialog

// True for an entry of the module table that is marked active; false for an index the
// table has no entry for.
bool IsModuleActive(int index);

#endif
