#include "sound_capture.h"

#include <math.h>
#include <stdio.h>

#include <algorithm>
#include <string>

SoundCapture::SoundCapture() { InitializeCriticalSection(&lock_); }

SoundCapture::~SoundCapture() {
    Stop();
    DeleteCriticalSection(&lock_);
}

bool SoundCapture::Start() {
    if (device_) return true;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = kCaptureRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = kCaptureRate * 2;
    event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (waveInOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(event_), 0,
                   CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        device_ = nullptr;
        return false;
    }
    for (WAVEHDR& h : headers_) {
        h.lpData = static_cast<LPSTR>(LocalAlloc(LMEM_FIXED, kBufferBytes));
        h.dwBufferLength = kBufferBytes;
        waveInPrepareHeader(device_, &h, sizeof(WAVEHDR));
        waveInAddBuffer(device_, &h, sizeof(WAVEHDR));
    }
    // Room for the longest recording a test makes, so that the recording thread does
    // not grow the heap while a test measures it.
    samples_.reserve(static_cast<size_t>(kCaptureRate) * 90);
    stopping_ = 0;
    thread_ = CreateThread(nullptr, 0, Pump, this, 0, nullptr);
    SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
    waveInStart(device_);
    return true;
}

DWORD WINAPI SoundCapture::Pump(LPVOID param) {
    SoundCapture* self = static_cast<SoundCapture*>(param);
    int next = 0;  // buffers come back in the order they were added
    while (!self->stopping_) {
        WaitForSingleObject(self->event_, 20);
        while (self->headers_[next].dwFlags & WHDR_DONE) {
            WAVEHDR& h = self->headers_[next];
            DWORD now = timeGetTime();
            EnterCriticalSection(&self->lock_);
            const int16_t* p = reinterpret_cast<const int16_t*>(h.lpData);
            self->samples_.insert(self->samples_.end(), p, p + h.dwBytesRecorded / 2);
            double end = self->samples_.size() * 1000.0 / kCaptureRate;
            self->offsetMs_ = std::min(self->offsetMs_, now - end);
            LeaveCriticalSection(&self->lock_);
            if (self->stopping_) break;
            h.dwFlags &= ~WHDR_DONE;
            waveInAddBuffer(self->device_, &h, sizeof(WAVEHDR));
            next = (next + 1) % kBuffers;
        }
    }
    return 0;
}

void SoundCapture::Stop() {
    if (!device_) {
        if (event_) CloseHandle(event_);
        event_ = nullptr;
        return;
    }
    InterlockedExchange(&stopping_, 1);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
    waveInReset(device_);
    for (WAVEHDR& h : headers_) {
        waveInUnprepareHeader(device_, &h, sizeof(WAVEHDR));
        LocalFree(h.lpData);
        h = WAVEHDR{};
    }
    waveInClose(device_);
    device_ = nullptr;
    CloseHandle(event_);
    event_ = nullptr;
}

std::vector<int16_t> SoundCapture::Samples() {
    EnterCriticalSection(&lock_);
    std::vector<int16_t> copy = samples_;
    LeaveCriticalSection(&lock_);
    return copy;
}

double SoundCapture::SampleTimeMs(size_t index) {
    EnterCriticalSection(&lock_);
    double offset = offsetMs_;
    LeaveCriticalSection(&lock_);
    return offset + index * 1000.0 / kCaptureRate;
}

double SoundCapture::SampleAt(double ms) {
    EnterCriticalSection(&lock_);
    double offset = offsetMs_;
    LeaveCriticalSection(&lock_);
    return (ms - offset) * kCaptureRate / 1000.0;
}

std::vector<double> WindowRms(const std::vector<int16_t>& samples, size_t window) {
    std::vector<double> out;
    for (size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0;
        for (size_t i = start; i < start + window; ++i) sum += double(samples[i]) * samples[i];
        out.push_back(sqrt(sum / window) / 32768.0);
    }
    return out;
}

std::vector<int16_t> BandPass(const std::vector<int16_t>& samples, double loHz, double hiHz) {
    // Band-pass biquad with 0 dB peak gain (audio-EQ cookbook), applied twice.
    const double pi = 3.14159265358979323846;
    double centre = sqrt(loHz * hiHz);
    double q = centre / (hiHz - loHz);
    double w0 = 2 * pi * centre / kCaptureRate;
    double alpha = sin(w0) / (2 * q);
    double a0 = 1 + alpha;
    double b0 = alpha / a0, b2 = -alpha / a0, a1 = -2 * cos(w0) / a0, a2 = (1 - alpha) / a0;
    std::vector<double> x(samples.begin(), samples.end());
    for (int pass = 0; pass < 2; ++pass) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : x) {
            double y = b0 * v + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1; x1 = v; y2 = y1; y1 = y;
            v = y;
        }
    }
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, x[i])));
    return out;
}

long FirstAbove(const std::vector<double>& rms, double level, size_t from) {
    for (size_t i = from; i < rms.size(); ++i)
        if (rms[i] > level) return static_cast<long>(i);
    return -1;
}

long LastAbove(const std::vector<double>& rms, double level) {
    for (size_t i = rms.size(); i-- > 0;)
        if (rms[i] > level) return static_cast<long>(i);
    return -1;
}

long FirstQuietRun(const std::vector<double>& rms, double level, size_t run, size_t from) {
    size_t quiet = 0;
    for (size_t i = from; i < rms.size(); ++i) {
        quiet = rms[i] <= level ? quiet + 1 : 0;
        if (quiet == run) return static_cast<long>(i + 1 - run);
    }
    return -1;
}

double DbToLevel(double db) { return pow(10.0, db / 20.0); }

int RunUnix(const char* commandLine) {
    // Wine starts a Linux program detached, without a handle to wait on: the shell
    // leaves the exit status in a file that this side polls for.
    static LONG serial = 0;
    char status[64];
    snprintf(status, sizeof status, "/tmp/tilo_unix_%lu_%ld", GetCurrentProcessId(),
             InterlockedIncrement(&serial));
    std::string line = std::string("/bin/sh -c \"") + commandLine + "; echo $? >" + status +
                       ".part && mv " + status + ".part " + status + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    std::string windowsPath = std::string("Z:") + status;
    for (char& c : windowsPath)
        if (c == '/') c = '\\';
    for (int i = 0; i < 1000; ++i) {
        FILE* f = fopen(windowsPath.c_str(), "r");
        if (f) {
            int code = -1;
            if (fscanf(f, "%d", &code) != 1) code = -1;
            fclose(f);
            DeleteFileA(windowsPath.c_str());
            return code;
        }
        Sleep(10);
    }
    return -1;
}

ExactSink::ExactSink() {
    // Loaded once per sound server; later tests find it there.
    ok_ = RunUnix("pactl list short sinks | grep -q tilo_exact || "
                  "pactl load-module module-null-sink sink_name=tilo_exact norewinds=1 >/dev/null; "
                  "pactl set-default-sink tilo_exact && pactl set-default-source tilo_exact.monitor") == 0;
}

ExactSink::~ExactSink() {
    RunUnix("pactl set-default-sink tilo; pactl set-default-source tilo.monitor");
}
