// The module table: each module's stored view and on/off flag, the current view that
// the renderer reads every frame, and their persistence under the product key.
#ifndef TILO_ANIMATION_MODULES_H
#define TILO_ANIMATION_MODULES_H

#include "animation/module_math.h"
#include "render/view.h"

extern ModuleParams g_Modules[MODULE_COUNT + 1];         // current views, slots 0..MODULE_COUNT
extern ModuleParams g_DefaultModules[MODULE_COUNT + 1];  // built-in defaults, built at load

extern int g_nCurModule;  // module on show, 1..MODULE_COUNT, or 0 for none

// The current view that the draw routines read (render/view.h) is defined here:
// g_fDepth .. g_fSpeed and g_fSpin.

extern int g_nCycleTime;  // seconds a module stays on show
extern bool g_bSoundOn;

// Both read and write under the key the caller has selected in the settings store.
void LoadModuleParams();
void SaveModuleParams();

// The table part of the two above, over a table of slots 0..count, so that the
// several-module case can be exercised against the registry with any count.
void LoadModuleTable(ModuleParams* table, ModuleParams* defaults, int count);
void SaveModuleTable(const ModuleParams* table, int count);

// Indices outside 1..MODULE_COUNT leave the view alone; SelectModule always zeroes
// g_fSpin.
void SelectModule(int index);
void StoreModule(int index);
// The same two over a table of slots 0..count.
void SelectModuleIn(const ModuleParams* table, int count, int index);
void StoreModuleIn(ModuleParams* table, int count, int index);
void RestoreDefaultView(int index);

int CountActiveModules();
int NextActiveModule(int index);
int PrevActiveModule(int index);

#endif
