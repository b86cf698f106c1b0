// Every value the saver reads from the registry, stored with a wrong type or an
// extreme 32-bit value, under the real Tilo.scr: the saver shows its scene, ends on a
// key, and what it writes back reads back as the view it showed; what the user set
// stays as it was. Also a saver killed in the middle of a run.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "animation/modules.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/settings_store.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

// Every value the saver reads: what a user may have set it to (the view values are
// hundredths that a truncating store once moved by one on every run), and its default
// as the saver writes it back on close, for those it writes.
const DWORD kNotWritten = 0xDEADBEEF;
const struct {
    const char* name;
    DWORD user;
    DWORD writtenDefault;
} kValues[] = {{"mod1 depth", 4321, 4100},
               {"mod1 horz", 209, 0},
               {"mod1 vert", DWORD(-117), 0},
               {"mod1 xrot", 53, 0},
               {"mod1 yrot", 59, 0},
               {"mod1 zrot", DWORD(-105), 0},
               {"mod1 speed", 25, 10},
               {"mod1 active", 1, 1},
               {"cycle time", 20, 15},
               {"enable sound", 1, kNotWritten},
               {"disable_frame_warn", 1, kNotWritten}};
const int kValueCount = sizeof kValues / sizeof kValues[0];

struct BadForm {
    const char* label;
    DWORD type;
    std::vector<BYTE> data;
    bool extreme;  // a REG_DWORD at an end of the 32-bit range, read as a number
};

std::vector<BYTE> Dword(DWORD v) { return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; }

const std::vector<BadForm> kForms = {
    {"Sz", REG_SZ, {'a', 'b', 'c', 0}, false},  // four bytes, as an integer 6513249
    {"Binary1", REG_BINARY, {0x7F}, false},
    {"Binary3", REG_BINARY, {1, 2, 3}, false},
    {"Binary4", REG_BINARY, {'a', 'b', 'c', 0}, false},
    {"Binary8", REG_BINARY, {0x10, 0x27, 0, 0, 0, 0, 0, 0}, false},
    {"Binary100000", REG_BINARY, std::vector<BYTE>(100000, 0x5A), false},
    {"Qword", REG_QWORD, {0x10, 0x27, 0, 0, 1, 0, 0, 0}, false},
    {"MultiSz", REG_MULTI_SZ, {'a', 'b', 0, 0}, false},
    {"Max", REG_DWORD, Dword(0x7FFFFFFF), true},
    {"Min", REG_DWORD, Dword(0x80000000), true},
    {"MinusOne", REG_DWORD, Dword(0xFFFFFFFF), true},
};

// The settings as a fresh saver process loads them, through the saver's own code.
struct Loaded {
    ModuleParams module;
    int cycleTime;
    bool soundOn;
    bool frameWarnOff;
};

Loaded Load()
{
    SelectKey(nullptr, TILO_PRODUCT_KEY);
    g_bSoundOn = false;  // as in a new process: the default of "enable sound"
    LoadModuleParams();
    return {g_Modules[1], g_nCycleTime, g_bSoundOn, ReadUserInt("disable_frame_warn", 0) == 1};
}

void ExpectSameView(const Loaded& a, const Loaded& b)
{
    for (float ModuleParams::*f :
         {&ModuleParams::depth, &ModuleParams::horz, &ModuleParams::vert, &ModuleParams::xrot,
          &ModuleParams::yrot, &ModuleParams::zrot, &ModuleParams::speed})
        EXPECT_EQ(a.module.*f, b.module.*f);
    EXPECT_EQ(a.module.active, b.module.active);
    EXPECT_EQ(a.cycleTime, b.cycleTime);
    EXPECT_EQ(a.soundOn, b.soundOn);
}

// Runs the full-screen saver, watches its screen and ends it with Esc. A saver that
// shows nothing is given 3 s to clear the screen, one that should show its scene up to
// 10 s to light it.
ScreenMotion RunAndEnd(bool blank, DWORD* exitCode)
{
    SaverProcess saver;
    *exitCode = STILL_ACTIVE;
    if (!saver.Start("/s")) {
        ADD_FAILURE() << "not started: error " << GetLastError();
        return {};
    }
    if (!WaitForSaverWindow(saver)) {
        ADD_FAILURE() << "no saver window; the process ended with " << saver.WaitExit(0);
        return {};
    }
    ScreenMotion m = WatchScreen(800, blank ? 3000 : 10000);
    PressKey(VK_ESCAPE);
    *exitCode = saver.WaitExit(5000);
    return m;
}

// One form of bad data in half of the values (even or odd places), the user's own
// values in the other half, so every value meets every form across the two halves.
class BadSettings : public ::testing::TestWithParam<std::tuple<size_t, int>> {
protected:
    void SetUp() override { MovePointer(400, 300); }
    const BadForm& form() const { return kForms[std::get<0>(GetParam())]; }
    bool Broken(int i) const { return i % 2 == std::get<1>(GetParam()); }
    ProductKeyBackup key;
};

}  // namespace

TEST_P(BadSettings, SaverShowsItsSceneEndsOnAKeyAndWritesBackTheSameView)
{
    for (int i = 0; i < kValueCount; ++i) {
        if (Broken(i))
            ASSERT_TRUE(SetBinary(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, kValues[i].name, form().data.data(),
                                  static_cast<DWORD>(form().data.size()), form().type));
        else
            ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, kValues[i].name, kValues[i].user));
    }
    const Loaded before = Load();
    if (!form().extreme) {
        // Not written on close, so seen here as the saver's own code reads them.
        if (Broken(9)) {
            EXPECT_FALSE(before.soundOn);
        }
        if (Broken(10)) {
            EXPECT_FALSE(before.frameWarnOff);
        }
    }

    DWORD code = 0;
    const ScreenMotion shown = RunAndEnd(!before.module.active, &code);
    EXPECT_EQ(code, 0u);
    if (before.module.active) {
        EXPECT_GT(shown.lit, 2000) << "black";
        EXPECT_GT(shown.changed, 20) << "frozen";
    } else {
        // "mod1 active" at or below 0 switches the only module off: blank frames.
        EXPECT_EQ(shown.lit, 0);
    }

    ExpectSameView(Load(), before);
    for (int i = 0; i < kValueCount; ++i) {
        SCOPED_TRACE(kValues[i].name);
        std::vector<BYTE> data;
        DWORD type = 0;
        ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, kValues[i].name, &data, &type));
        if (!Broken(i)) {
            EXPECT_EQ(type, DWORD(REG_DWORD));
            EXPECT_EQ(data, Dword(kValues[i].user)) << "a value the user set was changed";
        } else if (kValues[i].writtenDefault != kNotWritten) {
            EXPECT_EQ(type, DWORD(REG_DWORD));
            // Data that is no REG_DWORD read as the default, and is written back as it.
            if (!form().extreme) {
                EXPECT_EQ(data, Dword(kValues[i].writtenDefault));
            }
        } else if (i == 10 && type == REG_DWORD && data == Dword(1)) {
            // The frame-rate monitor may have found the rate good and said so.
        } else {
            EXPECT_EQ(type, form().type);
            EXPECT_EQ(data, form().data) << "a value the saver does not write was changed";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachForm, BadSettings,
                         ::testing::Combine(::testing::Range(size_t(0), kForms.size()),
                                            ::testing::Values(0, 1)),
                         [](const ::testing::TestParamInfo<BadSettings::ParamType>& info) {
                             return std::string(kForms[std::get<0>(info.param)].label) +
                                    (std::get<1>(info.param) ? "InOddPlaces" : "InEvenPlaces");
                         });

// Killed while it runs, as soon as its window exists (still in its set-up) or later,
// the saver has written nothing; the next run starts, and ends, as usual.
TEST(KilledSaver, StartsAgainWithTheRegistryIntact)
{
    ProductKeyBackup key;
    for (int i = 0; i < kValueCount; ++i)
        ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, kValues[i].name, kValues[i].user));
    auto expectIntact = [] {
        for (int i = 0; i < kValueCount; ++i) {
            DWORD v = 0;
            EXPECT_TRUE(GetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, kValues[i].name, &v));
            EXPECT_EQ(v, kValues[i].user) << kValues[i].name;
        }
    };
    MovePointer(400, 300);
    for (DWORD after : {0u, 1500u}) {
        SCOPED_TRACE(after);
        SaverProcess saver;
        ASSERT_TRUE(saver.Start("/s"));
        ASSERT_TRUE(WaitForSaverWindow(saver));
        PumpFor(after);
        PressKey(VK_PRIOR);  // a change of view that only a close would store
        saver.Kill();
        expectIntact();
        DWORD code = 0;
        const ScreenMotion shown = RunAndEnd(false, &code);
        EXPECT_EQ(code, 0u);
        EXPECT_GT(shown.lit, 2000);
        EXPECT_GT(shown.changed, 20);
        expectIntact();
    }
}
