#include <gtest/gtest.h>

#include <vector>

#include "animation/module_math.h"

namespace {

// A table of slots 0..count with the given modules (1-based) switched on.
std::vector<ModuleParams> Table(int count, std::vector<int> on)
{
    std::vector<ModuleParams> t(static_cast<size_t>(count + 1));
    FillDefaultModules(t.data(), count);
    for (int i = 0; i <= count; ++i) t[i].active = false;
    for (int i : on) t[i].active = true;
    return t;
}

}  // namespace

TEST(ModuleTable, DefaultsGiveModuleOneItsOwnDepthAndSpeed)
{
    std::vector<ModuleParams> t(4);
    for (ModuleParams& m : t) m = {1, 2, 3, 4, 5, 6, 7, false};
    FillDefaultModules(t.data(), 3);
    EXPECT_EQ(t[1].depth, 41.0f);
    EXPECT_EQ(t[1].speed, 0.1f);
    for (int i : {0, 2, 3}) {
        EXPECT_EQ(t[i].depth, 40.0f) << i;
        EXPECT_EQ(t[i].speed, 0.5f) << i;
    }
    for (const ModuleParams& m : t) {
        EXPECT_EQ(m.horz, 0.0f);
        EXPECT_EQ(m.zrot, 0.0f);
        EXPECT_TRUE(m.active);
    }
}

TEST(ModuleTable, StoredHundredthsTruncateTowardZero)
{
    EXPECT_EQ(ScaleForStore(40.999f), 4099);
    EXPECT_EQ(ScaleForStore(-40.999f), -4099);
    EXPECT_EQ(ScaleForStore(-90.0f), -9000);
    EXPECT_EQ(ScaleFromStore(-9998), -99.98f);
    EXPECT_EQ(ScaleFromStore(-9000), -90.0f);
    // The default speed of module 1 is stored as the integer 10.
    EXPECT_EQ(ScaleForStore(0.1f), 10);
    EXPECT_EQ(KeepDefault(41.0f), 41.0f);
    EXPECT_EQ(KeepDefault(0.0f), 0.0f);
}

TEST(ModuleTable, SpeedIsClampedAtBothEnds)
{
    EXPECT_EQ(ClampSpeed(ScaleFromStore(1)), 0.0625f);
    EXPECT_EQ(ClampSpeed(ScaleFromStore(-300)), 0.0625f);
    EXPECT_EQ(ClampSpeed(ScaleFromStore(5000)), 10.0f);
    EXPECT_EQ(ClampSpeed(ScaleFromStore(25)), 0.25f);
    EXPECT_EQ(ClampSpeed(0.0625f), 0.0625f);
    EXPECT_EQ(ClampSpeed(10.0f), 10.0f);
}

TEST(ModuleTable, StoredFlagsAndCycleTime)
{
    EXPECT_TRUE(ActiveFromStore(1));
    EXPECT_TRUE(ActiveFromStore(7));
    EXPECT_FALSE(ActiveFromStore(0));
    EXPECT_FALSE(ActiveFromStore(-1));
    EXPECT_TRUE(SoundFromStore(1));
    EXPECT_FALSE(SoundFromStore(2));
    EXPECT_FALSE(SoundFromStore(-1));
    EXPECT_EQ(CycleTimeFromStore(-5), 15);
    EXPECT_EQ(CycleTimeFromStore(0), 0);
    EXPECT_EQ(CycleTimeFromStore(30), 30);
}

TEST(ModuleTable, NextActiveWrapsPastTheLastModule)
{
    auto t = Table(4, {1, 3});
    EXPECT_EQ(NextActiveIn(t.data(), 4, 0), 1);
    EXPECT_EQ(NextActiveIn(t.data(), 4, 1), 3);
    EXPECT_EQ(NextActiveIn(t.data(), 4, 3), 1);
    EXPECT_EQ(NextActiveIn(t.data(), 4, 4), 1);
    auto last = Table(4, {4});
    EXPECT_EQ(NextActiveIn(last.data(), 4, 0), 4);  // the search reaches the last slot
    EXPECT_EQ(NextActiveIn(last.data(), 4, 4), 4);  // and comes round to itself
    EXPECT_EQ(NextActiveIn(last.data(), 4, 3), 4);
}

TEST(ModuleTable, PrevActiveWrapsBelowTheFirstModule)
{
    auto t = Table(4, {2, 4});
    EXPECT_EQ(PrevActiveIn(t.data(), 4, 0), 4);
    EXPECT_EQ(PrevActiveIn(t.data(), 4, 1), 4);
    EXPECT_EQ(PrevActiveIn(t.data(), 4, 4), 2);
    EXPECT_EQ(PrevActiveIn(t.data(), 4, 2), 4);
    auto first = Table(3, {1});
    EXPECT_EQ(PrevActiveIn(first.data(), 3, 1), 1);
    EXPECT_EQ(PrevActiveIn(first.data(), 3, 2), 1);
    EXPECT_EQ(PrevActiveIn(first.data(), 3, 0), 1);
}

TEST(ModuleTable, NoActiveModuleGivesZeroAndSlotZeroNeverCounts)
{
    auto none = Table(3, {});
    none[0].active = true;  // slot 0 is never a module
    EXPECT_EQ(NextActiveIn(none.data(), 3, 0), 0);
    EXPECT_EQ(PrevActiveIn(none.data(), 3, 2), 0);
    EXPECT_EQ(CountActiveIn(none.data(), 3), 0);
    auto two = Table(3, {1, 3});
    EXPECT_EQ(CountActiveIn(two.data(), 3), 2);
    auto all = Table(3, {1, 2, 3});
    EXPECT_EQ(CountActiveIn(all.data(), 3), 3);
}

TEST(ModuleTable, WithOneModuleTheAnswerIsTheSameWhateverTheIndex)
{
    auto on = Table(1, {1});
    auto off = Table(1, {});
    for (int index : {-5, -1, 0, 1, 2, 9}) {
        EXPECT_EQ(NextActiveIn(on.data(), 1, index), 1) << index;
        EXPECT_EQ(PrevActiveIn(on.data(), 1, index), 1) << index;
        EXPECT_EQ(NextActiveIn(off.data(), 1, index), 0) << index;
        EXPECT_EQ(PrevActiveIn(off.data(), 1, index), 0) << index;
    }
    auto several = Table(3, {2});
    for (int index : {-7, 0, 3, 4, 100}) {
        EXPECT_EQ(NextActiveIn(several.data(), 3, index), 2) << index;
        EXPECT_EQ(PrevActiveIn(several.data(), 3, index), 2) << index;
    }
}
