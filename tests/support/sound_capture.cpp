#include "support/sound_capture.h"

#include <algorithm>

#include "support/sound_levels.h"

SoundCapture::SoundCapture() { InitializeCriticalSection(&lock_); }

SoundCapture::~SoundCapture()
{
    Stop();
    DeleteCriticalSection(&lock_);
}

bool SoundCapture::Start()
{
    if (device_) return true;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = kCaptureRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = kCaptureRate * 2;
    event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (waveInOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(event_), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
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

DWORD WINAPI SoundCapture::Pump(LPVOID param)
{
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
            double end = (self->taken_ + self->samples_.size()) * 1000.0 / kCaptureRate;
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

void SoundCapture::Stop()
{
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

std::vector<int16_t> SoundCapture::Samples()
{
    EnterCriticalSection(&lock_);
    std::vector<int16_t> copy = samples_;
    LeaveCriticalSection(&lock_);
    return copy;
}

std::vector<int16_t> SoundCapture::TakeSamples()
{
    std::vector<int16_t> taken;
    EnterCriticalSection(&lock_);
    taken.swap(samples_);
    taken_ += taken.size();
    LeaveCriticalSection(&lock_);
    return taken;
}

double SoundCapture::SampleTimeMs(size_t index)
{
    EnterCriticalSection(&lock_);
    double offset = offsetMs_;
    LeaveCriticalSection(&lock_);
    return offset + index * 1000.0 / kCaptureRate;
}

double SoundCapture::SampleAt(double ms)
{
    EnterCriticalSection(&lock_);
    double offset = offsetMs_;
    LeaveCriticalSection(&lock_);
    return (ms - offset) * kCaptureRate / 1000.0;
}

Heard SoundCapture::Listen()
{
    Heard h;
    std::vector<int16_t> s = Samples();
    h.rms = WindowRms(s);
    h.band = WindowRms(BandPass(s, 600, 1000));
    EnterCriticalSection(&lock_);
    h.offsetMs = offsetMs_;
    LeaveCriticalSection(&lock_);
    return h;
}

double Heard::TimeOf(long window) const { return offsetMs + window * kWindow10ms * 1000.0 / kCaptureRate; }

long Heard::WindowAt(double ms) const
{
    double w = (ms - offsetMs) * kCaptureRate / 1000.0 / kWindow10ms;
    return w < 0 ? 0 : static_cast<long>(w);
}
