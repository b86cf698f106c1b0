// The chant of the running saver, heard through the sound server's monitor while the
// real Tilo.scr plays it.
#include <gtest/gtest.h>

#include "shell/saver_window.h"
#include "support/recording_window.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/sound_capture.h"
#include "support/sound_levels.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

const double kChantMs = 8200;
const double kSilent = DbToLevel(-60);
const double kHeard = DbToLevel(-50);
// Each copy opens with a vowel whose formant band the copies before have left by then.
const double kOnsetLevel = DbToLevel(-36);

class SaverSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        MovePointer(400, 300);
        ASSERT_TRUE(capture.Start());
        PumpFor(200);
    }
    void TearDown() override
    {
        saver.Kill();
        capture.Stop();
    }
    Heard Listen() { return capture.Listen(); }
    ProductKeyBackup key;
    SoundCapture capture;
    SaverProcess saver;
};

}  // namespace

TEST_F(SaverSound, WithSoundOnVoicesStartEveryThreeSecondsAndCloseSilencesThem)
{
    SetDword(HKEY_CURRENT_USER, "Software\\Corvane\\Tilo", "enable sound", 1);
    DWORD started = timeGetTime();
    ASSERT_TRUE(saver.Start("/s"));
    HWND w = WaitForSaverWindow(saver);
    ASSERT_TRUE(w);
    while (timeGetTime() - started < 8500) PumpFor(20);

    Heard h = Listen();
    // A copy opens with its vowel; the copy before has left the vowel's band by the
    // end of its third second, so the next onset is where the band rises again.
    double onset[3];
    long from = h.WindowAt(started);
    for (int v = 0; v < 3; ++v) {
        if (v > 0) {
            from = FirstQuietRun(h.band, kOnsetLevel, 3, h.WindowAt(onset[v - 1] + 2800));
            ASSERT_GE(from, 0) << "voice " << v - 1 << "'s vowel never ended";
        }
        long i = FirstAbove(h.band, kOnsetLevel, from);
        ASSERT_GE(i, 0) << "voice " << v << " not heard";
        onset[v] = h.TimeOf(i);
    }
    // The next voice starts at the first frame 3.2 s after the last one started, and
    // is heard once its device is open: a slow frame adds to the gap, and on a busy
    // host a device opens up to a few hundred milliseconds sooner or later than the one
    // before. A voice per frame, all at once, or every other turn is far outside.
    for (int v = 1; v < 3; ++v) {
        EXPECT_GT(onset[v] - onset[v - 1], 2900) << "voice " << v;
        EXPECT_LT(onset[v] - onset[v - 1], 3700) << "voice " << v;
    }
    // The copies overlap: no silence from the first onset up to now.
    EXPECT_LT(QuietShare(h.rms, kSilent, h.WindowAt(onset[0]), h.rms.size()), kHostDropoutShare)
        << "the sound broke off";
    EXPECT_LT(onset[2] - onset[0], kChantMs);

    DWORD closed = timeGetTime();
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitExit(10000), 0u);
    PumpFor(1000);
    h = Listen();
    long quiet = FirstQuietRun(h.rms, kSilent, 20, h.WindowAt(closed - 200));
    ASSERT_GE(quiet, 0);
    EXPECT_LT(h.TimeOf(quiet) - closed, 300) << "the music went on after the close";
    EXPECT_LT(LastAbove(h.rms, kHeard), quiet);
}

TEST_F(SaverSound, WithSoundOffNothingIsHeard)
{
    SetDword(HKEY_CURRENT_USER, "Software\\Corvane\\Tilo", "enable sound", 0);
    DWORD started = timeGetTime();
    ASSERT_TRUE(saver.Start("/s"));
    HWND w = WaitForSaverWindow(saver);
    ASSERT_TRUE(w);
    while (timeGetTime() - started < 4000) PumpFor(20);
    Heard h = Listen();
    EXPECT_EQ(FirstAbove(h.rms, kHeard, h.WindowAt(started)), -1);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitExit(10000), 0u);
}

TEST_F(SaverSound, PreviewNeverSounds)
{
    SetDword(HKEY_CURRENT_USER, "Software\\Corvane\\Tilo", "enable sound", 1);
    RecordingWindow parent("Display Properties", 320, 240);
    DWORD started = timeGetTime();
    ASSERT_TRUE(saver.Start("/p " + std::to_string(reinterpret_cast<UINT_PTR>(parent.hwnd()))));
    // Long enough for the rotation's requests to have gone out twice.
    while (timeGetTime() - started < 7000) PumpFor(20);
    EXPECT_TRUE(saver.Running());
    Heard h = Listen();
    EXPECT_EQ(FirstAbove(h.rms, kHeard, h.WindowAt(started)), -1);
}
