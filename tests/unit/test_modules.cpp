#include <gtest/gtest.h>

#include <vector>

#include "animation/modules.h"
#include "support/registry.h"
#include "support/settings_store.h"
#include "support/view_state.h"

namespace {

const int kMissing = -1234567;

// Each test loads from a key of its own in Wine's registry, selected as the product key
// would be.
struct SelectedScratch {
    SelectedScratch() { SelectKey(nullptr, key.path().c_str()); }
    ~SelectedScratch() { SelectKey(nullptr, TILO_PRODUCT_KEY); }
    ScratchKey key;
};

void Store(const char* name, int value) { ASSERT_TRUE(WriteUserInt(name, value)) << name; }

// The value as it is under the selected key, or kMissing.
int Stored(const char* name)
{
    DWORD v = 0;
    return GetDword(HKEY_CURRENT_USER, CurrentKeyPath(), name, &v) ? static_cast<int>(v) : kMissing;
}

struct StoredCase {
    const char* name;
    int stored;
    int saved;  // after a load and a save with nothing changed
};

}  // namespace

TEST(ModuleTable, FreshKeyGivesModuleOneDefaults)
{
    SelectedScratch scratch;
    g_bSoundOn = false;
    g_fSpin = 33.0f;
    LoadModuleParams();
    EXPECT_EQ(g_nCurModule, 1);
    EXPECT_EQ(g_fDepth, 41.0f);
    EXPECT_EQ(g_fHorz, 0.0f);
    EXPECT_EQ(g_fVert, 0.0f);
    EXPECT_EQ(g_fXrot, 0.0f);
    EXPECT_EQ(g_fYrot, 0.0f);
    EXPECT_EQ(g_fZrot, 0.0f);
    EXPECT_EQ(g_fSpeed, 0.1f);
    EXPECT_EQ(g_fSpin, 0.0f);
    EXPECT_TRUE(g_Modules[1].active);
    EXPECT_EQ(g_nCycleTime, 15);
    EXPECT_FALSE(g_bSoundOn);
    EXPECT_EQ(CountActiveModules(), 1);
    // Slot 0 carries the defaults of every slot but is never shown.
    EXPECT_EQ(g_Modules[0].depth, 40.0f);
    EXPECT_EQ(g_Modules[0].speed, 0.5f);
}

TEST(ModuleTable, StoredSpeedIsScaledAndClamped)
{
    SelectedScratch scratch;
    const std::pair<int, float> cases[] = {{1, 0.0625f}, {5000, 10.0f}, {25, 0.25f}, {0, 0.0625f}};
    for (auto [stored, speed] : cases) {
        Store("mod1 speed", stored);
        LoadModuleParams();
        EXPECT_EQ(g_Modules[1].speed, speed) << stored;
        EXPECT_EQ(g_fSpeed, speed) << stored;
    }
}

TEST(ModuleTable, MinusNineNineNineNineCountsAsAbsentOneAboveDoesNot)
{
    SelectedScratch scratch;
    Store("mod1 depth", -9999);
    LoadModuleParams();
    EXPECT_EQ(g_fDepth, 41.0f);
    Store("mod1 depth", -9998);
    LoadModuleParams();
    EXPECT_EQ(g_fDepth, -99.98f);
    Store("mod1 horz", 250);
    Store("mod1 vert", -1);
    Store("mod1 yrot", 17999);
    Store("mod1 zrot", 4500);
    LoadModuleParams();
    EXPECT_EQ(g_fHorz, 2.5f);
    EXPECT_EQ(g_fVert, -0.01f);
    EXPECT_EQ(g_fYrot, 179.99f);
    EXPECT_EQ(g_fZrot, 45.0f);
}

TEST(ModuleTable, RotationRoundTripsThroughSave)
{
    SelectedScratch scratch;
    Store("mod1 xrot", -9000);
    LoadModuleParams();
    EXPECT_EQ(g_fXrot, -90.0f);
    StoreModule(g_nCurModule);
    SaveModuleParams();
    EXPECT_EQ(Stored("mod1 xrot"), -9000);
    EXPECT_EQ(Stored("mod1 depth"), 4100);
    EXPECT_EQ(Stored("mod1 horz"), 0);
    EXPECT_EQ(Stored("mod1 speed"), 10);
    EXPECT_EQ(Stored("mod1 active"), 1);
    EXPECT_EQ(Stored("cycle time"), 15);
    // The configuration dialog alone writes the sound switch.
    EXPECT_EQ(Stored("enable sound"), kMissing);
}

TEST(ModuleTable, SavedViewValuesRoundToTheNearestHundredth)
{
    SelectedScratch scratch;
    LoadModuleParams();
    SetView(40.999f, -0.019f, 1.0f, -90.009f, 0.0f, 0.0f, 0.25f);
    StoreModule(1);
    SaveModuleParams();
    EXPECT_EQ(Stored("mod1 depth"), 4100);
    EXPECT_EQ(Stored("mod1 horz"), -2);
    EXPECT_EQ(Stored("mod1 xrot"), -9001);
    EXPECT_EQ(Stored("mod1 speed"), 25);
}

TEST(ModuleTable, UnchangedViewSavesAsLoadedOrInRange)
{
    SelectedScratch scratch;
    // Three values that once drifted toward zero, a depth beyond the far plane (it reads
    // as the default), rotations beyond a turn and a speed beyond the clamp.
    const StoredCase cases[] = {
        {"mod1 horz", 209, 209},          {"mod1 vert", -117, -117},  {"mod1 zrot", -105, -105},
        {"mod1 depth", 100001, 4100},     {"mod1 yrot", 45000, 9000}, {"mod1 xrot", 2147483647, 11647},
        {"mod1 speed", 2147483647, 1000},
    };
    for (const auto& c : cases) Store(c.name, c.stored);
    LoadModuleParams();
    EXPECT_EQ(g_fDepth, 41.0f);
    EXPECT_EQ(g_fYrot, 90.0f);
    StoreModule(g_nCurModule);
    SaveModuleParams();
    for (const auto& c : cases) EXPECT_EQ(Stored(c.name), c.saved) << c.name;
}

TEST(ModuleTable, InactiveModuleShowsNothingAndKeepsTheView)
{
    SelectedScratch scratch;
    for (int stored : {0, -1, -40}) {
        Store("mod1 active", stored);
        Store("mod1 depth", 1234);
        SetView(7.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f);
        g_fSpin = 90.0f;
        LoadModuleParams();
        EXPECT_EQ(g_nCurModule, 0) << stored;
        EXPECT_FALSE(g_Modules[1].active);
        EXPECT_EQ(CountActiveModules(), 0);
        EXPECT_EQ(g_fDepth, 7.0f);
        EXPECT_EQ(g_fZrot, 5.0f);
        EXPECT_EQ(g_fSpeed, 6.0f);
        EXPECT_EQ(g_fSpin, 0.0f);  // a selection of nothing still resets the spin
    }
    // -9999 cannot be told from absent: the default, on.
    Store("mod1 active", -9999);
    LoadModuleParams();
    EXPECT_EQ(g_nCurModule, 1);
    Store("mod1 active", 3);
    LoadModuleParams();
    EXPECT_EQ(g_nCurModule, 1);
    SaveModuleParams();
    EXPECT_EQ(Stored("mod1 active"), 1);
}

TEST(ModuleTable, CycleTimeAndSoundRules)
{
    SelectedScratch scratch;
    Store("cycle time", -5);
    LoadModuleParams();
    EXPECT_EQ(g_nCycleTime, 15);
    Store("cycle time", 0);
    LoadModuleParams();
    EXPECT_EQ(g_nCycleTime, 0);

    Store("enable sound", 2);
    LoadModuleParams();
    EXPECT_FALSE(g_bSoundOn);
    Store("enable sound", 1);
    LoadModuleParams();
    EXPECT_TRUE(g_bSoundOn);
}

TEST(ModuleTable, AbsentSoundSwitchKeepsTheCurrentOne)
{
    SelectedScratch scratch;
    g_bSoundOn = true;
    LoadModuleParams();
    EXPECT_TRUE(g_bSoundOn);
    g_bSoundOn = false;
    LoadModuleParams();
    EXPECT_FALSE(g_bSoundOn);
}

TEST(ModuleTable, CopiesBetweenTheTableAndTheView)
{
    SelectedScratch scratch;
    Store("mod1 depth", 2000);
    LoadModuleParams();
    SetView(1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f);
    g_fSpin = 12.0f;
    RestoreDefaultView(1);  // the built-in default, not the stored 20.0
    EXPECT_EQ(g_fDepth, 41.0f);
    EXPECT_EQ(g_fHorz, 0.0f);
    EXPECT_EQ(g_fSpeed, 0.1f);
    EXPECT_EQ(g_fSpin, 12.0f);

    SetView(1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f);
    g_Modules[1].active = false;
    StoreModule(1);
    EXPECT_EQ(g_Modules[1].depth, 1.0f);
    EXPECT_EQ(g_Modules[1].zrot, 6.0f);
    EXPECT_EQ(g_Modules[1].speed, 7.0f);
    EXPECT_FALSE(g_Modules[1].active);  // the flag is not part of the view

    SetView(9.0f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f, 9.0f);
    SelectModule(1);
    EXPECT_EQ(g_fDepth, 1.0f);
    EXPECT_EQ(g_fYrot, 5.0f);
    EXPECT_EQ(g_fSpin, 0.0f);
}

TEST(ModuleTable, IndicesOutsideTheTableCopyNothing)
{
    SelectedScratch scratch;
    LoadModuleParams();
    const ModuleParams before[2] = {g_Modules[0], g_Modules[1]};
    for (int index : {0, -1, MODULE_COUNT + 1, 100}) {
        SetView(3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f, 3.0f);
        g_fSpin = 50.0f;
        RestoreDefaultView(index);
        StoreModule(index);
        EXPECT_EQ(g_fSpin, 50.0f);
        SelectModule(index);
        EXPECT_EQ(g_fDepth, 3.0f) << index;
        EXPECT_EQ(g_fSpeed, 3.0f) << index;
        EXPECT_EQ(g_fSpin, 0.0f) << index;
        EXPECT_FALSE(IsModuleActive(index)) << index;
        EXPECT_EQ(g_Modules[0].depth, before[0].depth);
        EXPECT_EQ(g_Modules[1].depth, before[1].depth);
    }
}

TEST(ModuleTable, SeveralModulesLoadAndSaveUnderTheirOwnNumbers)
{
    SelectedScratch scratch;
    Store("mod0 depth", 100);  // slot 0 is never read
    Store("mod2 depth", 2500);
    Store("mod2 active", 0);
    Store("mod3 speed", 300);
    Store("mod3 zrot", -4500);
    Store("mod4 depth", 700);  // past the table
    ModuleParams table[4], defaults[4];
    LoadModuleTable(table, defaults, 3);
    EXPECT_EQ(table[0].depth, 40.0f);
    EXPECT_EQ(table[1].depth, 41.0f);
    EXPECT_EQ(table[2].depth, 25.0f);
    EXPECT_FALSE(table[2].active);
    EXPECT_EQ(table[2].speed, 0.5f);
    EXPECT_EQ(table[3].depth, 40.0f);
    EXPECT_EQ(table[3].speed, 3.0f);
    EXPECT_EQ(table[3].zrot, -45.0f);
    EXPECT_TRUE(table[3].active);
    EXPECT_EQ(defaults[2].depth, 40.0f);
    EXPECT_TRUE(defaults[2].active);
    EXPECT_EQ(NextActiveIn(table, 3, 1), 3);
    EXPECT_EQ(PrevActiveIn(table, 3, 1), 3);

    DeleteTree(HKEY_CURRENT_USER, scratch.key.path().c_str());
    table[3].depth = 12.34f;
    SaveModuleTable(table, 3);
    EXPECT_EQ(Stored("mod1 depth"), 4100);
    EXPECT_EQ(Stored("mod2 active"), 0);
    EXPECT_EQ(Stored("mod3 depth"), 1234);
    EXPECT_EQ(Stored("mod3 speed"), 300);
    EXPECT_EQ(Stored("mod0 depth"), kMissing);
    EXPECT_EQ(Stored("mod4 depth"), kMissing);
}
