// The music player under Wine, heard through the sound server: what the voices play
// is recorded from the null sink's monitor in this process and measured in 10 ms
// windows. Times are timeGetTime() milliseconds; recording positions are mapped onto
// them by SoundCapture.
#include "sound/music_player.h"
#include "support/heap_growth.h"
#include "support/process.h"
#include "support/saver_process.h"
#include "support/sound_capture.h"
#include "support/sound_levels.h"
#include "support/unix_command.h"
#include "support/waiting.h"

#include <gtest/gtest.h>

#include <ogg/ogg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace {

const double kChantMs = 8200;           // length of the compiled-in chant
const double kSilent = DbToLevel(-60);  // below this a 10 ms window counts as silence
const double kHeard = DbToLevel(-50);
// A stop or a close is heard within this, scheduling on a busy host included; a voice
// left running goes on for seconds.
const double kStopMs = 300;

// End-of-play notices of the voices, with the time of each.
std::vector<DWORD> g_notices;

LRESULT CALLBACK SinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_VOICE_DONE) g_notices.push_back(timeGetTime());
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Pumps this thread's messages until `notices` notices have come, or the time is up.
void PumpUntil(DWORD ms, size_t notices)
{
    WaitUntil([notices] { return g_notices.size() >= notices; }, ms);
}

bool ThreadEnded(HANDLE h, DWORD ms) { return h && WaitForSingleObject(h, ms) == WAIT_OBJECT_0; }

// The first output device that the plays open, which the test closes under its voice:
// at once from the hook (its buffers cannot be prepared), or later (they cannot be written).
std::atomic<HWAVEOUT> g_firstDevice{nullptr};
std::atomic<int> g_devicesOpened{0};
bool g_closeAtOpen = false;

void OnDeviceOpened(HWAVEOUT device)
{
    if (g_devicesOpened++ > 0) return;
    if (g_closeAtOpen) waveOutClose(device);
    g_firstDevice = device;
}

// Closes a playing device from this thread; a buffer the voice writes meanwhile keeps
// it open, so its buffers are returned and the close is tried again.
bool CloseUnderTheVoice(HWAVEOUT device)
{
    for (int i = 0; i < 100; ++i) {
        waveOutReset(device);
        if (waveOutClose(device) == MMSYSERR_NOERROR) return true;
    }
    return false;
}

// The chant (mono, 44,100 Hz) with one Ogg page in its middle left out: the decoder
// reports a gap there (OV_HOLE). A gap met inside a buffer only cuts that buffer short;
// it must be the first thing a buffer reads. So the page left out follows a whole number
// of the player's buffers: the start is trimmed to make it so, by lowering the first
// audio page's granule position, which makes the decoder drop as many leading samples
// (up to one packet's worth, 1024). lostMs: how much shorter than the chant it plays.
std::vector<char> ChantWithAGap(std::vector<char> ogg, double* lostMs)
{
    std::vector<ogg_page> pages;  // pointing into ogg
    std::vector<int64_t> granule;
    for (size_t at = 0; at + 27 <= ogg.size();) {
        unsigned char* p = reinterpret_cast<unsigned char*>(&ogg[at]);
        ogg_page page = {p, 27 + p[26], p + 27 + p[26], 0};
        for (int i = 0; i < p[26]; ++i) page.body_len += p[27 + i];
        pages.push_back(page);
        granule.push_back(ogg_page_granulepos(&page));
        at += page.header_len + page.body_len;
    }
    const int64_t perBuffer = WAVE_BUFFER_SIZE / 2;
    size_t first = 0, gap = 0;
    while (first < pages.size() && granule[first] <= 0) ++first;
    for (size_t k = std::max(first + 2, pages.size() / 2); k + 1 < pages.size() && !gap; ++k)
        if (granule[k - 1] % perBuffer <= 1024) gap = k;
    if (!gap) return {};
    const int64_t trim = granule[gap - 1] % perBuffer, lowered = granule[first] - trim;
    memcpy(pages[first].header + 6, &lowered, 8);
    ogg_page_checksum_set(&pages[first]);
    *lostMs = double(trim + granule[gap] - granule[gap - 1]) * 1000 / kCaptureRate;
    const size_t at = pages[gap].header - reinterpret_cast<unsigned char*>(ogg.data());
    ogg.erase(ogg.begin() + at, ogg.begin() + at + pages[gap].header_len + pages[gap].body_len);
    return ogg;
}

// Milliseconds of sound from the window on: a busy host's dropouts stretch a play but
// add no sound to it.
double SoundingMs(const Heard& h, long from)
{
    if (from < 0 || from >= static_cast<long>(h.rms.size())) return 0;
    return 10.0 * std::count_if(h.rms.begin() + from, h.rms.end(), [](double r) { return r > kSilent; });
}

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return dir + std::string(name);
}

// A file of this process in the temporary folder.
std::string WriteTemp(const char* tag, const std::vector<char>& bytes)
{
    std::string path = TempPath("tilo_player_") + tag + std::to_string(GetCurrentProcessId());
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

class MusicPlayer : public testing::Test {
protected:
    void SetUp() override
    {
        // The chant is compiled into the saver, so the player reads it from there.
        saved_ = g_hModule;
        saver_ = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(saver_, nullptr) << SaverPath();
        g_hModule = saver_;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = SinkProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TiloSoundSink";
        RegisterClassA(&wc);
        window_ =
            CreateWindowA("TiloSoundSink", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        g_notices.clear();
        ASSERT_TRUE(capture_.Start());
        PumpFor(200);  // the recording is running before anything plays
    }
    void TearDown() override
    {
        ShutdownMusic();
        SetDeviceOpenedHook(nullptr);
        SetMusicSourceName(nullptr);
        capture_.Stop();
        if (window_) DestroyWindow(window_);
        g_hModule = saved_;
        if (saver_) FreeLibrary(saver_);
    }
    Heard Listen() { return capture_.Listen(); }
    std::vector<char> Chant()
    {
        HRSRC res = FindResourceA(saver_, "OMCHANT", RT_RCDATA);
        if (!res) return {};
        const char* p = static_cast<const char*>(LockResource(LoadResource(saver_, res)));
        return std::vector<char>(p, p + SizeofResource(saver_, res));
    }
    HMODULE saved_ = nullptr, saver_ = nullptr;
    HWND window_ = nullptr;
    SoundCapture capture_;
};

}  // namespace

TEST_F(MusicPlayer, OnePlaySoundsTheChantOnceThenNotifies)
{
    StartMusic();
    DWORD t0 = timeGetTime();
    ASSERT_NE(PlayVoice(window_, 0), 0);
    PumpUntil(12000, 1);
    PumpFor(500);
    Heard h = Listen();
    long first = FirstAbove(h.rms, kHeard, h.WindowAt(t0 - 100));
    long last = LastAbove(h.rms, kHeard);
    ASSERT_GE(first, 0) << "nothing heard";
    double onset = h.TimeOf(first) - t0, end = h.TimeOf(last + 1) - t0;
    EXPECT_GT(onset, -20);
    EXPECT_LT(onset, 400);
    EXPECT_NEAR(end - onset, kChantMs, 400);  // dropouts a busy host allows lengthen it
    // No gap in the middle: the five buffers kept the device fed.
    EXPECT_LT(QuietShare(h.rms, kSilent, first, last), kHostDropoutShare);
    ASSERT_EQ(g_notices.size(), 1u);
    // The notice follows the drain of the last buffers.
    double notice = g_notices[0] - t0;
    EXPECT_GT(notice, end - 400);
    EXPECT_LT(notice, end + 600);
}

TEST_F(MusicPlayer, ThreeVoicesOverlapEachAtItsOnset)
{
    StartMusic();
    DWORD started[VOICE_COUNT];
    DWORD t0 = timeGetTime();
    for (int v = 0; v < VOICE_COUNT; ++v) {
        while (timeGetTime() - t0 < DWORD(3200 * v)) PumpFor(1);
        started[v] = timeGetTime();
        ASSERT_NE(PlayVoice(window_, v), 0);
    }
    PumpUntil(12000, 3);
    PumpFor(300);
    ASSERT_EQ(g_notices.size(), 3u);
    Heard h = Listen();
    // Each copy opens with the vowel, whose formant band the earlier copies have left
    // by then: its onset is where that band first rises.
    const double level = DbToLevel(-36);
    double onset[VOICE_COUNT];
    for (int v = 0; v < VOICE_COUNT; ++v) {
        long w = FirstAbove(h.band, level, h.WindowAt(started[v] - 50));
        ASSERT_GE(w, 0) << "voice " << v << " not heard";
        onset[v] = h.TimeOf(w);
    }
    printf("onset latencies: %.0f, %.0f, %.0f ms\n", onset[0] - started[0], onset[1] - started[1],
           onset[2] - started[2]);
    for (int v = 1; v < VOICE_COUNT; ++v) {
        SCOPED_TRACE(v);
        // Opening a device waits on the sound server, longer on a busy host; a voice
        // that waited for the one before would start seconds late.
        EXPECT_NEAR(onset[v] - onset[0], double(started[v] - started[0]), 250);
        // It overlaps the voice before: that one has not yet ended.
        EXPECT_LT(onset[v], g_notices[v - 1]);
    }
    // The sound runs without a break from the first onset to the last copy's end.
    long end = LastAbove(h.rms, kHeard) + 1;
    EXPECT_NEAR(h.TimeOf(end) - onset[2], kChantMs, 400);
    EXPECT_LT(QuietShare(h.rms, kSilent, h.WindowAt(onset[0]), end), kHostDropoutShare);
}

TEST_F(MusicPlayer, StopSilencesEveryVoiceAndKeepsTheThreads)
{
    StartMusic();
    ASSERT_NE(PlayVoice(window_, 0), 0);
    PumpFor(800);
    ASSERT_NE(PlayVoice(window_, 1), 0);
    ASSERT_NE(PlayVoice(window_, 2), 0);
    PumpFor(1500);
    DWORD stopped = timeGetTime();
    StopMusic();
    PumpFor(9000);
    Heard h = Listen();
    long before = FirstAbove(h.rms, kHeard, h.WindowAt(stopped - 300));
    ASSERT_GE(before, 0);
    EXPECT_LT(before, h.WindowAt(stopped)) << "not playing when stopped";
    long silence = FirstQuietRun(h.rms, kSilent, 20, h.WindowAt(stopped - 300));
    ASSERT_GE(silence, 0);
    EXPECT_LT(h.TimeOf(silence) - stopped, kStopMs);
    EXPECT_EQ(LastAbove(h.rms, kHeard) < silence, true) << "sound after the stop";
    EXPECT_TRUE(g_notices.empty());
    for (int v = 0; v < VOICE_COUNT; ++v) EXPECT_FALSE(ThreadEnded(g_hVoiceThread[v], 0));

    // The threads stay: a later request plays the whole chant again.
    g_notices.clear();
    DWORD again = timeGetTime();
    ASSERT_NE(PlayVoice(window_, 1), 0);
    PumpUntil(12000, 1);
    EXPECT_EQ(g_notices.size(), 1u);
    h = Listen();
    long first = FirstAbove(h.rms, kHeard, h.WindowAt(again - 50));
    ASSERT_GE(first, 0);
    EXPECT_NEAR(h.TimeOf(LastAbove(h.rms, kHeard) + 1) - h.TimeOf(first), kChantMs, 400);
}

TEST_F(MusicPlayer, ShutdownDuringPlayIsPromptAndSilent)
{
    StartMusic();
    ASSERT_NE(PlayVoice(window_, 0), 0);
    ASSERT_NE(PlayVoice(window_, 1), 0);
    PumpFor(2000);
    DWORD t0 = timeGetTime();
    ShutdownMusic();
    DWORD took = timeGetTime() - t0;
    EXPECT_LT(took, 1000u);  // a voice left to drain would take seconds
    for (int v = 0; v < VOICE_COUNT; ++v) {
        EXPECT_EQ(g_hVoiceThread[v], nullptr);
        EXPECT_EQ(g_dwVoiceThreadId[v], 0u);
    }
    PumpFor(1500);
    EXPECT_TRUE(g_notices.empty());
    Heard h = Listen();
    long silence = FirstQuietRun(h.rms, kSilent, 20, h.WindowAt(t0 - 300));
    ASSERT_GE(silence, 0);
    EXPECT_LT(h.TimeOf(silence) - t0, kStopMs);
    // Again with no threads: nothing to do, nothing to wait for.
    t0 = timeGetTime();
    ShutdownMusic();
    StopMusic();
    EXPECT_LT(timeGetTime() - t0, 500u);  // waiting on a voice would take seconds
    EXPECT_EQ(PlayVoice(window_, 0), 0);
}

TEST_F(MusicPlayer, RequestToAPlayingVoiceWaitsThenPlays)
{
    StartMusic();
    DWORD t0 = timeGetTime();
    ASSERT_NE(PlayVoice(window_, 0), 0);
    PumpFor(1000);
    ASSERT_NE(PlayVoice(window_, 0), 0);  // voice 0 is playing
    PumpUntil(20000, 2);
    PumpFor(500);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_NEAR(double(g_notices[0] - t0), kChantMs, 600);
    EXPECT_NEAR(double(g_notices[1] - g_notices[0]), kChantMs, 600);
    Heard h = Listen();
    long first = FirstAbove(h.rms, kHeard, h.WindowAt(t0 - 50));
    ASSERT_GE(first, 0);
    // The second play follows right after the first, the device closed and opened in
    // between: the two chants back to back with no pause of even 300 ms (under 100 ms on
    // a quiet machine; closing and opening a device waits on the sound server).
    long gap = FirstQuietRun(h.rms, kSilent, 30, first);
    ASSERT_GE(gap, 0);
    EXPECT_NEAR(h.TimeOf(gap) - h.TimeOf(first), 2 * kChantMs, 500);
}

TEST_F(MusicPlayer, PlayVoiceWithoutThreadsOrOutOfRangeIsRefused)
{
    // A request block is 260 bytes; one left behind per call shows as 26,000 a round.
    double growth = HeapGrowthPerRound([&] {
        for (int i = 0; i < 100; ++i) EXPECT_EQ(PlayVoice(window_, i % VOICE_COUNT), 0);
    });
    EXPECT_LT(growth, 1000) << "request blocks left allocated";
    StartMusic();
    EXPECT_EQ(PlayVoice(window_, -1), 0);
    EXPECT_EQ(PlayVoice(window_, VOICE_COUNT), 0);
    EXPECT_EQ(PlayVoice(window_, 0x7FFFFFFF), 0);
    EXPECT_EQ(PlayVoice(window_, -0x7FFFFFFF - 1), 0);
    PumpFor(300);
    EXPECT_TRUE(g_notices.empty());
    Heard h = Listen();
    EXPECT_EQ(LastAbove(h.rms, kHeard), -1) << "something played";
}

// Sources that cannot play end their voice quietly; the other voices go on, and once
// the threads are shut down nothing of the failed plays is left on the heap.
TEST_F(MusicPlayer, BadSourcesEndTheVoiceQuietly)
{
    const std::vector<char> chant = Chant();
    ASSERT_FALSE(chant.empty());
    std::string text = WriteTemp("text", std::vector<char>(3000, 'x'));
    std::string headers = WriteTemp("headers", std::vector<char>(chant.begin(), chant.begin() + 100));
    const std::string missing[] = {"res://NOSUCH", "res://#abc", text, headers, TempPath("no_such_file.ogg")};

    auto playEach = [&] {
        for (const std::string& name : missing) {
            SCOPED_TRACE(name);
            StartMusic();
            SetMusicSourceName(name.c_str());
            ASSERT_NE(PlayVoice(window_, 0), 0);
            ASSERT_TRUE(ThreadEnded(g_hVoiceThread[0], 3000)) << "voice did not end";
            EXPECT_EQ(PlayVoice(window_, 0), 0) << "ended voice took a request";
            EXPECT_FALSE(ThreadEnded(g_hVoiceThread[1], 0));
            StopMusic();
            ShutdownMusic();
            EXPECT_EQ(g_hVoiceThread[0], nullptr);
        }
    };
    playEach();  // also what the process keeps once used: decoder tables, the sound driver
    EXPECT_TRUE(g_notices.empty());
    Heard h = Listen();
    EXPECT_EQ(LastAbove(h.rms, kHeard), -1) << "a bad source made sound";

    // The recording is stopped so that only the player allocates. A decoder left open
    // is tens of kilobytes a play, a request block 260 bytes.
    capture_.Stop();
    double growth = HeapGrowthPerRound(playEach, 5, 1);
    EXPECT_LT(growth, 1000) << "bytes left on the heap per round of " << sizeof missing / sizeof missing[0]
                            << " bad sources";
    EXPECT_TRUE(DeleteFileA(text.c_str())) << "file left open";
    EXPECT_TRUE(DeleteFileA(headers.c_str())) << "file left open";
}

// A damaged chant plays what can be decoded and ends like a natural end.
TEST_F(MusicPlayer, DamagedChantPlaysWhatDecodesAndEnds)
{
    const std::vector<char> chant = Chant();
    ASSERT_FALSE(chant.empty());
    std::vector<char> corrupt = chant;
    for (size_t i = corrupt.size() / 3; i < corrupt.size() / 3 + 3000; ++i) corrupt[i] ^= 0x5A;
    std::string cut = WriteTemp("cut", std::vector<char>(chant.begin(), chant.begin() + chant.size() / 2));
    std::string bad = WriteTemp("bad", corrupt);

    StartMusic();
    for (const std::string* name : {&cut, &bad}) {
        SCOPED_TRACE(*name);
        g_notices.clear();
        SetMusicSourceName(name->c_str());
        DWORD t0 = timeGetTime();
        ASSERT_NE(PlayVoice(window_, 1), 0);
        PumpUntil(12000, 1);
        // It either could not start (the voice ended) or played and notified.
        if (g_notices.empty()) {
            EXPECT_TRUE(ThreadEnded(g_hVoiceThread[1], 0));
        } else {
            // Dropouts on a busy host lengthen a play; one that went on would repeat.
            EXPECT_LT(double(g_notices[0] - t0), kChantMs + 1000);
        }
    }
    ShutdownMusic();
    EXPECT_TRUE(DeleteFileA(cut.c_str())) << "file left open";
    EXPECT_TRUE(DeleteFileA(bad.c_str())) << "file left open";
}

// A chained stream whose second link has another format (0.1 s mono at 44,100 Hz, then
// 2 s of a 440 Hz tone in stereo at 8,000 Hz): the second link sounds at its own pitch
// for its own length. Played in the first link's format it would sound for 0.73 s at
// 1213 Hz. Time is counted in 10 ms windows that sound; on a busy machine the device
// may stretch a play, never shorten it.
TEST_F(MusicPlayer, ALinkInAnotherFormatPlaysInItsOwnFormat)
{
    StartMusic();
    SetMusicSourceName(TestChantPath("chained.ogg").c_str());
    DWORD t0 = timeGetTime();
    ASSERT_NE(PlayVoice(window_, 0), 0);
    PumpUntil(8000, 1);
    ASSERT_EQ(g_notices.size(), 1u) << "the play did not run to its end";
    std::vector<int16_t> heard = capture_.Samples();
    const std::vector<double> tone = WindowRms(BandPass(heard, 400, 480));
    const std::vector<double> buzz = WindowRms(BandPass(heard, 1100, 1330));
    const long from = std::max(0L, static_cast<long>(capture_.SampleAt(t0) / kWindow10ms));
    auto msAbove = [from](const std::vector<double>& rms, double level) {
        return 10 * std::count_if(rms.begin() + std::min<long>(from, rms.size()), rms.end(),
                                  [level](double r) { return r > level; });
    };
    const long toneMs = msAbove(tone, kHeard), buzzMs = msAbove(buzz, DbToLevel(-30));
    printf("440 Hz for %ld ms, 1213 Hz for %ld ms\n", toneMs, buzzMs);
    EXPECT_GT(toneMs, 1500);
    EXPECT_LT(buzzMs, 100) << "samples played in the first link's format";
}

// A device that refuses a buffer, at its preparation or at its submission, ends that
// play quietly, and the voice plays its next request whole.
TEST_F(MusicPlayer, ADeviceThatRefusesABufferEndsOnlyThatPlay)
{
    StartMusic();
    SetDeviceOpenedHook(OnDeviceOpened);
    for (bool atOpen : {true, false}) {
        SCOPED_TRACE(atOpen ? "prepare refused" : "write refused");
        g_notices.clear();
        g_devicesOpened = 0;
        g_firstDevice = nullptr;
        g_closeAtOpen = atOpen;
        ASSERT_NE(PlayVoice(window_, 0), 0);
        ASSERT_NE(PlayVoice(window_, 0), 0);  // waits in the queue
        ASSERT_TRUE(WaitUntil([] { return g_firstDevice.load() != nullptr; }, 5000));
        if (!atOpen) {
            PumpFor(1000);
            ASSERT_TRUE(CloseUnderTheVoice(g_firstDevice));
        }
        DWORD refused = timeGetTime();
        PumpUntil(20000, 1);
        ASSERT_EQ(g_notices.size(), 1u) << "the next request did not play to its end";
        EXPECT_EQ(g_devicesOpened, 2);
        Heard h = Listen();
        EXPECT_GT(SoundingMs(h, h.WindowAt(refused)), kChantMs - 400);
        PumpFor(300);
    }
}

// A gap in the stream is played through: the chant plays to its end, shorter by the page.
TEST_F(MusicPlayer, AGapInTheStreamIsPlayedThrough)
{
    double lostMs = 0;
    std::vector<char> holed = ChantWithAGap(Chant(), &lostMs);
    ASSERT_FALSE(holed.empty()) << "no page to leave out";
    std::string path = WriteTemp("gap", holed);
    StartMusic();
    SetMusicSourceName(path.c_str());
    DWORD t0 = timeGetTime();
    ASSERT_NE(PlayVoice(window_, 0), 0);
    PumpUntil(12000, 1);
    PumpFor(300);
    ASSERT_EQ(g_notices.size(), 1u);
    Heard h = Listen();
    const double played = SoundingMs(h, h.WindowAt(t0));
    printf("%.0f ms played, the gap took %.0f ms out of %.0f\n", played, lostMs, kChantMs);
    EXPECT_GT(played, kChantMs - lostMs - 400);
    EXPECT_LT(played, kChantMs);
    ShutdownMusic();
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "file left open";
}

// Run in a child process whose sound server does not exist (see NoSoundServer below).
TEST(MusicPlayerNoServer, DISABLED_EveryVoiceEndsQuietly)
{
    ASSERT_EQ(waveOutGetNumDevs(), 0u) << "a sound device is there after all";
    HMODULE saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(saver, nullptr);
    g_hModule = saver;
    StartMusic();
    for (int v = 0; v < VOICE_COUNT; ++v) {
        ASSERT_NE(g_hVoiceThread[v], nullptr);
        EXPECT_NE(PlayVoice(nullptr, v), 0);  // delivered: the voice is still there
    }
    for (int v = 0; v < VOICE_COUNT; ++v) {
        EXPECT_TRUE(ThreadEnded(g_hVoiceThread[v], 3000)) << "voice " << v << " did not end";
        EXPECT_EQ(PlayVoice(nullptr, v), 0);
    }
    DWORD t0 = timeGetTime();
    StopMusic();
    ShutdownMusic();
    EXPECT_LT(timeGetTime() - t0, 100u);
    for (int v = 0; v < VOICE_COUNT; ++v) EXPECT_EQ(g_hVoiceThread[v], nullptr);
    g_hModule = nullptr;
    FreeLibrary(saver);
}

TEST(MusicPlayerNoServer, FirstPlayEndsEachVoiceThenRequestsFail)
{
    // A Wine child inherits this process's Linux environment, whatever environment block
    // it is given, so the child is started from a Linux shell with a server address
    // where nothing listens. It passes only if it ran that one test and the test passed.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe = self;
    if (exe.size() > 2 && exe[1] == ':') exe = exe.substr(2);
    for (char& c : exe)
        if (c == '\\') c = '/';
    std::string line = "PULSE_SERVER=unix:/nonexistent/tilo-no-server wine '" + exe +
                       "' --gtest_also_run_disabled_tests "
                       "--gtest_filter=MusicPlayerNoServer.DISABLED_EveryVoiceEndsQuietly "
                       "2>&1 | grep -q '^.  PASSED  . 1 test'";
    EXPECT_EQ(RunUnix(line.c_str()), 0);
}
