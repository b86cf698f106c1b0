// Recording what the sound server plays, for the sound tests and the benchmark: waveIn
// on the default recording source, which scripts/wine_env.sh makes the monitor of its
// null sink (a sink that does not rewind, so the monitor hears the start of every new
// stream): the recording holds exactly what all streams played.
#ifndef TILO_TESTS_SUPPORT_SOUND_CAPTURE_H
#define TILO_TESTS_SUPPORT_SOUND_CAPTURE_H

#include <windows.h>
#include <mmsystem.h>

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "support/sound_levels.h"

// The recording so far as 10 ms levels: the whole signal and the chant's vowel band
// (600 to 1000 Hz), with the mapping between windows and timeGetTime() milliseconds.
struct Heard {
    std::vector<double> rms, band;
    double offsetMs = 0;
    double TimeOf(long window) const;
    // The window heard at that time; 0 for a time before the recording.
    long WindowAt(double ms) const;
};

class SoundCapture {
public:
    SoundCapture();
    ~SoundCapture();
    SoundCapture(const SoundCapture&) = delete;
    SoundCapture& operator=(const SoundCapture&) = delete;

    // Opens the default recording device and starts recording.
    bool Start();
    void Stop();
    // What was recorded so far.
    std::vector<int16_t> Samples();
    // What was recorded since the last call, taken out of the recording, so that a long
    // run keeps only what it has not yet looked at. Sample times stay as they were.
    std::vector<int16_t> TakeSamples();
    Heard Listen();
    // timeGetTime() at which sample `index` was heard, estimated from the buffers' return
    // times (the earliest return bounds the capture latency best).
    double SampleTimeMs(size_t index);
    // Index of the sample heard at timeGetTime() `ms` (may be negative: before the start).
    double SampleAt(double ms);

private:
    static DWORD WINAPI Pump(LPVOID self);
    static const int kBuffers = 16;
    static const DWORD kBufferBytes = kCaptureRate / 20 * 2;  // 50 ms
    HWAVEIN device_ = nullptr;
    HANDLE event_ = nullptr;
    HANDLE thread_ = nullptr;
    volatile LONG stopping_ = 0;
    WAVEHDR headers_[kBuffers] = {};
    CRITICAL_SECTION lock_;
    std::vector<int16_t> samples_;
    size_t taken_ = 0;  // samples handed out by TakeSamples
    double offsetMs_ = 1e300;  // min over buffers of (return time - end sample time)
};

#endif
