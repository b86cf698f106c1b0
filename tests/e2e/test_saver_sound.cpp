// The chant of the running saver, heard through the sound server's monitor while the
// real Tilo.scr plays it.
#include <gtest/gtest.h>

#include "shell/saver_window.h"
#include "support/recording_window.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/sound_capture.h"
#include "support/sound_levels.h"
#include "support/unix_command.h"
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

// A sound server of the test's own with a null sink "gone", which the test can end
// without touching the suite's; ended (if still running) and removed with the object.
// A test program killed before that leaves it for a minute at most: it ends once it
// has had no client for that long.
class OwnSoundServer {
public:
    OwnSoundServer()
    {
        // Wine's process numbers repeat from prefix to prefix: the clock tells runs apart.
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        dir_ = "/tmp/tilo_gone_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(now.QuadPart);
    }
    ~OwnSoundServer()
    {
        Stop();
        RunUnix(("rm -rf " + dir_).c_str());
    }
    bool Start()
    {
        const std::string env = "HOME=" + dir_ + " XDG_RUNTIME_DIR=" + dir_ + " PULSE_RUNTIME_PATH=" + dir_;
        const std::string start = "rm -rf " + dir_ + "; mkdir -p " + dir_ + "; " + env +
                                  " pulseaudio --daemonize=no --exit-idle-time=60 -n --use-pid-file=no "
                                  "--load='module-null-sink sink_name=gone norewinds=1' "
                                  "--load='module-native-protocol-unix socket=" +
                                  dir_ + "/native auth-anonymous=1' >" + dir_ +
                                  "/log 2>&1 </dev/null & echo $! >" + dir_ + "/pid";
        if (RunUnix(start.c_str()) != 0) return false;
        return WaitUntil(
            [&] { return RunUnix(("pactl -s " + Address() + " info >/dev/null 2>&1").c_str()) == 0; }, 5000);
    }
    // Ends the server (as an unplugged device's server would go) and waits until it has.
    bool Stop()
    {
        const std::string pid = dir_ + "/pid";
        return RunUnix(("if [ -f " + pid + " ]; then p=$(cat " + pid + "); kill $p 2>/dev/null; " +
                        "while kill -0 $p 2>/dev/null; do sleep 0.05; done; fi")
                           .c_str()) == 0;
    }
    std::string Address() const { return "unix:" + dir_ + "/native"; }
    // At least `streams` streams play on the sink (opened and running).
    bool Playing(int streams) const
    {
        return RunUnix(("[ $(pactl -s " + Address() + " list sink-inputs | grep -c 'Corked: no') -ge " +
                        std::to_string(streams) + " ]")
                           .c_str()) == 0;
    }

private:
    std::string dir_;
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

// The sound device goes away while the voices play (a headset unplugged; here the sound
// server the saver plays to ends): the voices end quietly, the animation goes on, and
// Esc ends the saver with 0.
TEST(SaverSoundGone, ServerEndedMidPlayLeavesTheSaverTurningAndEscEndsIt)
{
    ProductKeyBackup key;
    SetDword(HKEY_CURRENT_USER, "Software\\Corvane\\Tilo", "enable sound", 1);
    if (RunUnix("command -v pulseaudio >/dev/null") != 0)
        GTEST_SKIP() << "no PulseAudio here to start (the Wine 10 root has none)";
    OwnSoundServer server;
    ASSERT_TRUE(server.Start()) << "no sound server of the test's own";
    MovePointer(400, 300);
    // A Wine program takes its sound server from the Linux environment it was started
    // in, whatever environment block it is given: the saver is started from a shell.
    ASSERT_EQ(RunUnix(("(PULSE_SERVER=" + server.Address() + " wine '" + SaverPath() +
                       "' /s </dev/null >/dev/null 2>&1 &)")
                          .c_str()),
              0);
    HWND w = WaitForWindow(TILO_SAVER_CLASS, TILO_TITLE_SAVER, 15000);
    ASSERT_TRUE(w);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    SaverProcess saver;
    ASSERT_TRUE(saver.Attach(pid));
    // Until the second voice plays too (3.2 s after the first frame, which may take a
    // second or more on a busy machine): two devices are open when the server goes.
    ASSERT_TRUE(WaitUntil([&] { return server.Playing(2); }, 10000))
        << "the voices do not play on its server";

    ASSERT_TRUE(server.Stop());
    ScreenMotion m = WatchScreen(800);
    EXPECT_GT(m.lit, 2000) << "black";
    EXPECT_GT(m.changed, 20) << "frozen when the sound went";
    // Past the next voice's start, which finds no device.
    PumpFor(3400);
    m = WatchScreen(800);
    EXPECT_GT(m.changed, 20) << "frozen at the next voice";
    ASSERT_TRUE(saver.Running());

    PressKey(VK_ESCAPE);
    EXPECT_EQ(saver.WaitExit(10000), 0u);
}
