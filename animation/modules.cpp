#include "animation/modules.h"

#include <stdio.h>

#include "support/settings_store.h"

ModuleParams g_Modules[MODULE_COUNT + 1];
ModuleParams g_DefaultModules[MODULE_COUNT + 1];

int g_nCurModule = 1;

float g_fDepth = 40.0f;
float g_fHorz = 0.0f;
float g_fVert = 0.0f;
float g_fXrot = -90.0f;
float g_fYrot = 0.0f;
float g_fZrot = 0.0f;
float g_fSpeed = 5.0f;
float g_fSpin = 0.0f;

int g_nCycleTime = kDefaultCycleTime;
bool g_bSoundOn = false;

namespace {

// The names of a module's values, in the order of the view fields.
const char* const kViewNames[] = {"depth", "horz", "vert", "xrot", "yrot", "zrot", "speed"};

float ModuleParams::*const kViewFields[] = {&ModuleParams::depth, &ModuleParams::horz, &ModuleParams::vert,
                                            &ModuleParams::xrot,  &ModuleParams::yrot, &ModuleParams::zrot,
                                            &ModuleParams::speed};

float* const kCurrentView[] = {&g_fDepth, &g_fHorz, &g_fVert, &g_fXrot, &g_fYrot, &g_fZrot, &g_fSpeed};

void ValueName(char* out, size_t size, int module, const char* what)
{
    snprintf(out, size, "mod%d %s", module, what);
}

void CopyToView(const ModuleParams& m)
{
    for (int k = 0; k < 7; ++k) *kCurrentView[k] = m.*kViewFields[k];
}

}  // namespace

void LoadModuleTable(ModuleParams* table, ModuleParams* defaults, int count)
{
    FillDefaultModules(table, count);
    for (int i = 0; i <= count; ++i) defaults[i] = table[i];

    char name[32];
    for (int i = 1; i <= count; ++i) {
        ModuleParams& m = table[i];
        for (int k = 0; k < 6; ++k) {
            ValueName(name, sizeof name, i, kViewNames[k]);
            float& field = m.*kViewFields[k];
            if (ReadUserInt(name, kAbsentValue) == kAbsentValue)
                field = KeepDefault(field);
            else
                field = ViewFieldFromStore(static_cast<ViewField>(k), ReadUserInt(name, 0), field);
        }
        ValueName(name, sizeof name, i, "speed");
        m.speed = ViewFieldFromStore(ViewField::Speed, ReadUserInt(name, ScaleForStore(m.speed)), m.speed);

        ValueName(name, sizeof name, i, "active");
        if (ReadUserInt(name, kAbsentValue) != kAbsentValue) m.active = ActiveFromStore(ReadUserInt(name, 0));
    }
}

void SaveModuleTable(const ModuleParams* table, int count)
{
    char name[32];
    for (int i = 1; i <= count; ++i) {
        const ModuleParams& m = table[i];
        for (int k = 0; k < 7; ++k) {
            ValueName(name, sizeof name, i, kViewNames[k]);
            WriteUserInt(name, ScaleForStore(m.*kViewFields[k]));
        }
        ValueName(name, sizeof name, i, "active");
        WriteUserInt(name, m.active ? 1 : 0);
    }
}

void LoadModuleParams()
{
    LoadModuleTable(g_Modules, g_DefaultModules, MODULE_COUNT);
    g_nCycleTime = CycleTimeFromStore(ReadUserInt("cycle time", kDefaultCycleTime));
    g_bSoundOn = SoundFromStore(ReadUserInt("enable sound", g_bSoundOn ? 1 : 0));
    g_nCurModule = NextActiveModule(0);
    SelectModule(g_nCurModule);
}

void SaveModuleParams()
{
    SaveModuleTable(g_Modules, MODULE_COUNT);
    WriteUserInt("cycle time", g_nCycleTime);
}

void SelectModuleIn(const ModuleParams* table, int count, int index)
{
    if (IsModuleIndex(index, count)) CopyToView(table[index]);
    g_fSpin = 0.0f;
}

void StoreModuleIn(ModuleParams* table, int count, int index)
{
    if (!IsModuleIndex(index, count)) return;
    for (int k = 0; k < 7; ++k) table[index].*kViewFields[k] = *kCurrentView[k];
}

void SelectModule(int index) { SelectModuleIn(g_Modules, MODULE_COUNT, index); }

void StoreModule(int index) { StoreModuleIn(g_Modules, MODULE_COUNT, index); }

void RestoreDefaultView(int index)
{
    if (IsModuleIndex(index, MODULE_COUNT)) CopyToView(g_DefaultModules[index]);
}

int CountActiveModules() { return CountActiveIn(g_Modules, MODULE_COUNT); }

int NextActiveModule(int index) { return NextActiveIn(g_Modules, MODULE_COUNT, index); }

int PrevActiveModule(int index) { return PrevActiveIn(g_Modules, MODULE_COUNT, index); }

bool IsModuleActive(int index) { return IsModuleIndex(index, MODULE_COUNT) && g_Modules[index].active; }
