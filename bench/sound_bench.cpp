// Cost of the music player under Wine, run by bench/sound_bench.sh:
//   sound_bench.exe PATH_TO_TILO_SCR
// 1. CPU time to decode the compiled-in chant, per second of sound;
// 2. process CPU time while the rotation keeps three voices overlapping for 10 s;
// 3. time from StopMusic to silence, measured from a recording of the sound server.
#include <windows.h>
#include <mmsystem.h>

#include <stdio.h>

#include <algorithm>
#include <vector>

#include "sound/music_player.h"
#include "sound/music_source.h"
#include "support/process.h"
#include "support/sound_capture.h"
#include "support/sound_levels.h"

namespace {

double FileTimeMs(const FILETIME& t)
{
    ULARGE_INTEGER u;
    u.LowPart = t.dwLowDateTime;
    u.HighPart = t.dwHighDateTime;
    return u.QuadPart / 10000.0;
}

double ThreadCpuMs()
{
    FILETIME c, e, k, u;
    GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
    return FileTimeMs(k) + FileTimeMs(u);
}

double ProcessCpuMs()
{
    FILETIME c, e, k, u;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
    return FileTimeMs(k) + FileTimeMs(u);
}

void Pump(DWORD ms)
{
    DWORD start = timeGetTime();
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        Sleep(5);
    } while (timeGetTime() - start < ms);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: sound_bench PATH_TO_TILO_SCR\n");
        return 2;
    }
    g_hModule = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!g_hModule) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    timeBeginPeriod(1);

    // 1. Decoding, as a voice does it: open, ov_read into 4096-byte blocks, clear.
    const int rounds = 30;
    double samples = 0;
    double cpu0 = ThreadCpuMs();
    DWORD wall0 = timeGetTime();
    for (int r = 0; r < rounds; ++r) {
        OggVorbis_File vf;
        if (!OpenMusicSource("res://OMCHANT", &vf)) return 1;
        char block[4096];
        int section = 0;
        long got;
        while ((got = ov_read(&vf, block, sizeof block, 0, 2, 1, &section)) > 0) samples += got / 2;
        ov_clear(&vf);
    }
    double cpu = ThreadCpuMs() - cpu0, wall = timeGetTime() - wall0;
    double soundSeconds = samples / 44100.0;
    printf("decode: %.2f s of chant decoded %d times; %.3f ms CPU (%.3f ms wall) per second of sound\n",
           soundSeconds / rounds, rounds, cpu / soundSeconds, wall / soundSeconds);

    // 2. Idle baseline, then the rotation: a request to the next voice every 3200 ms.
    double idle0 = ProcessCpuMs();
    Pump(2000);
    double idleMsPerS = (ProcessCpuMs() - idle0) / 2.0;
    StartMusic();
    double run0 = ProcessCpuMs();
    DWORD start = timeGetTime();
    int voice = 0, played = 0;
    while (timeGetTime() - start < 10000) {
        if (timeGetTime() - start >= DWORD(3200 * played)) {
            PlayVoice(nullptr, voice);
            voice = (voice + 1) % VOICE_COUNT;
            ++played;
        }
        Pump(10);
    }
    double runMs = ProcessCpuMs() - run0;
    printf("rotation: %d requests over 10 s; process CPU %.0f ms = %.2f %% of one core "
           "(idle process: %.2f %%)\n",
           played, runMs, runMs / 100.0, idleMsPerS / 10.0);

    // 3. StopMusic to silence, several times, while two or three voices sound.
    std::vector<double> delays;
    StopMusic();
    SoundCapture capture;
    bool recording = capture.Start();
    Pump(500);
    for (int trial = 0; recording && trial < 6; ++trial) {
        PlayVoice(nullptr, 0);
        Pump(700);
        PlayVoice(nullptr, 1);
        Pump(800 + 97 * trial);  // stop at various points of a buffer
        DWORD stopped = timeGetTime();
        StopMusic();
        Pump(700);
        std::vector<double> rms = WindowRms(capture.Samples(), kCaptureRate / 1000);  // 1 ms
        double at = capture.SampleAt(stopped) / (kCaptureRate / 1000);
        long from = std::max(0L, static_cast<long>(at) - 300);
        long quiet = FirstQuietRun(rms, DbToLevel(-60), 50, from);
        if (quiet >= 0 && FirstAbove(rms, DbToLevel(-50), from) >= 0)
            delays.push_back(capture.SampleTimeMs(quiet * (kCaptureRate / 1000)) - stopped);
    }
    capture.Stop();
    ShutdownMusic();
    if (delays.empty()) {
        printf("stop: no recording\n");
    } else {
        std::sort(delays.begin(), delays.end());
        printf("stop to silence over %zu trials: min %.0f ms, median %.0f ms, max %.0f ms\n", delays.size(),
               delays.front(), delays[delays.size() / 2], delays.back());
    }
    timeEndPeriod(1);
    return 0;
}
