#include <gtest/gtest.h>

#include <float.h>
#include <math.h>
#include <stdint.h>

#include <utility>
#include <vector>

#include "animation/module_math.h"
#include "animation/view_steps.h"

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

struct LoadSave {
    ViewField field;
    int stored;
    int saved;  // after a load and a save with nothing changed
};

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

TEST(ModuleTable, StoredHundredthsRoundHalfAwayFromZeroAndSaturate)
{
    const std::pair<float, int> cases[] = {
        {40.999f, 4100},
        {-40.999f, -4100},
        {-90.0f, -9000},
        {-0.019f, -2},
        {0.1f, 10},  // module 1's default speed is stored as the integer 10
        {0.125f, 13},
        {-0.125f, -13},
        {0.0625f, 6},
        // Stored 2147483647 reads as this; it once stored back as -2147483648.
        {ScaleFromStore(INT32_MAX), 2147483600},
        {-21474836.0f, -2147483600},
        {21474838.0f, INT32_MAX},
        {-21474838.0f, INT32_MIN},
        {FLT_MAX, INT32_MAX},
        {-FLT_MAX, INT32_MIN},
        {INFINITY, INT32_MAX},
        {-INFINITY, INT32_MIN},
        {NAN, 0},
    };
    for (auto [value, stored] : cases) EXPECT_EQ(ScaleForStore(value), stored) << value;
    // Speed up and back down again lands a hair below 0.1, still stored as 10.
    EXPECT_EQ(ScaleForStore(SteppedSpeed(SteppedSpeed(0.1f, kSpeedStep), -kSpeedStep)), 10);
    EXPECT_EQ(ScaleFromStore(-9998), -99.98f);
    EXPECT_EQ(ScaleFromStore(-9000), -90.0f);
    EXPECT_EQ(KeepDefault(41.0f), 41.0f);
    EXPECT_EQ(KeepDefault(0.0f), 0.0f);
}

// A load and a save with nothing changed between: the stored value comes back when the
// view can take it; otherwise it comes back as a value that is itself kept from then on.
TEST(ModuleTable, LoadThenSaveKeepsTheStoredValue)
{
    const ModuleParams d = Table(1, {1})[1];
    const float fallback[] = {d.depth, d.horz, d.vert, d.xrot, d.yrot, d.zrot, d.speed};
    using F = ViewField;
    const LoadSave cases[] = {
        // Each of these once drifted by one hundredth toward zero.
        {F::Horz, 209, 209},
        {F::Vert, -117, -117},
        {F::Xrot, 53, 53},
        {F::Yrot, 59, 59},
        {F::Zrot, -105, -105},
        // Distances beyond the far plane either way read as the default.
        {F::Depth, 100000, 100000},
        {F::Depth, 100001, 4100},
        {F::Horz, -100000, -100000},
        {F::Horz, -100001, 0},
        {F::Depth, INT32_MAX, 4100},
        {F::Vert, INT32_MIN, 0},
        // Rotations keep their angle within one turn.
        {F::Xrot, 36000, 0},
        {F::Yrot, 45000, 9000},
        {F::Zrot, -35999, -35999},
        {F::Xrot, INT32_MAX, 11647},
        {F::Zrot, INT32_MIN, -11648},
        // Speed is clamped to 0.0625..10.
        {F::Speed, 1, 6},
        {F::Speed, 6, 6},
        {F::Speed, 7, 7},
        {F::Speed, 1000, 1000},
        {F::Speed, INT32_MAX, 1000},
        {F::Speed, INT32_MIN, 6},
    };
    for (const auto& c : cases) {
        float def = fallback[static_cast<int>(c.field)];
        int saved = ScaleForStore(ViewFieldFromStore(c.field, c.stored, def));
        EXPECT_EQ(saved, c.saved) << static_cast<int>(c.field) << " " << c.stored;
        EXPECT_EQ(ScaleForStore(ViewFieldFromStore(c.field, saved, def)), saved) << c.stored;
    }
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

TEST(ModuleTable, CycleTimeTextConvertsAsTypedAndClampsToWhatTheDialogAccepts)
{
    const std::pair<const char*, int> texts[] = {{"15", 15},
                                                 {"  \t42x7", 42},
                                                 {"-5", -5},
                                                 {"+9", 9},
                                                 {"", 0},
                                                 {"x12", 0},
                                                 {"- 3", 0},
                                                 {"99999999999", 2147483647},
                                                 {"-99999999999", -2147483647 - 1}};
    for (const auto& [text, value] : texts) EXPECT_EQ(CycleTimeFromText(text), value) << text;
    const std::pair<int, int> clamps[] = {{-5, 1},      {0, 1},        {1, 1},
                                          {9999, 9999}, {12345, 9999}, {2147483647, 9999}};
    for (const auto& [seconds, kept] : clamps) EXPECT_EQ(ClampCycleTime(seconds), kept) << seconds;
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
