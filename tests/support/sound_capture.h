// Recording and measuring what the sound server plays, for the sound tests and the
// benchmark: waveIn on the default recording source, which tests/bench.sh makes the
// null sink's monitor, so the recording holds exactly what all streams played.
#ifndef TILO_TESTS_SUPPORT_SOUND_CAPTURE_H
#define TILO_TESTS_SUPPORT_SOUND_CAPTURE_H

#include <windows.h>
#include <mmsystem.h>

#include <stddef.h>
#include <stdint.h>

#include <vector>

const int kCaptureRate = 44100;          // Hz, mono, 16-bit
const size_t kWindow10ms = kCaptureRate / 100;  // samples in one 10 ms window

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
    double offsetMs_ = 1e300;  // min over buffers of (return time - end sample time)
};

// RMS of each consecutive window, as a fraction of full scale.
std::vector<double> WindowRms(const std::vector<int16_t>& samples, size_t window = kWindow10ms);
// Band-limited copy (two cascaded band-pass biquads around lo..hi Hz).
std::vector<int16_t> BandPass(const std::vector<int16_t>& samples, double loHz, double hiHz);
// First / last window index at or after `from` whose level exceeds `level`; -1 if none.
long FirstAbove(const std::vector<double>& rms, double level, size_t from = 0);
long LastAbove(const std::vector<double>& rms, double level);
// First window index at or after `from` that starts a run of `run` windows at or below `level`.
long FirstQuietRun(const std::vector<double>& rms, double level, size_t run, size_t from = 0);
double DbToLevel(double db);

// While it lives, the default sink and source of the test's sound server are a null
// sink without rewinds ("tilo_exact", loaded once with pactl): a null sink that
// rewinds, as the bench's own does, keeps its monitor from hearing up to a second at
// the start of every new stream. The previous defaults come back on destruction.
class ExactSink {
public:
    ExactSink();
    ~ExactSink();
    bool ok() const { return ok_; }
private:
    bool ok_ = false;
};

// Runs a Linux shell command line (Wine starts ELF programs too) and waits for it; its
// exit status, or -1 when it could not be started or did not end within 10 s.
int RunUnix(const char* commandLine);

#endif
