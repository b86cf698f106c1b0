#include "sound/music_player.h"

#include <string.h>

#include <deque>
#include <new>

#include "sound/music_source.h"

HANDLE g_hVoiceThread[VOICE_COUNT];
DWORD g_dwVoiceThreadId[VOICE_COUNT];

namespace {

const size_t kRequestBlockSize = 260;
const char kChantName[] = "res://OMCHANT";
char g_szSourceName[kRequestBlockSize] = "res://OMCHANT";
void (*volatile g_pfnDeviceOpened)(HWAVEOUT) = nullptr;

struct VoiceRequest {
    char name[kRequestBlockSize];
    HWND window;  // may be null
};

// Shared by one play's voice thread and the device callback; the callback's instance.
struct BufferSync {
    LONG inFlight;  // buffers submitted and not yet returned, 0..WAVE_BUFFER_COUNT
    CRITICAL_SECTION lock;
    HANDLE returned;  // auto-reset; set on every returned buffer
};

// State of one voice thread, local to it.
struct Voice {
    std::deque<VoiceRequest> queue;
    bool stop = false;
    bool quit = false;
};

// Takes ownership of a play message's block: the name is copied and the block freed.
// A message without a block carries no request.
void AppendRequest(Voice& v, const MSG& msg)
{
    char* block = reinterpret_cast<char*>(msg.lParam);
    if (!block) return;
    VoiceRequest r;
    size_t n = strnlen(block, kRequestBlockSize - 1);
    memcpy(r.name, block, n);
    r.name[n] = '\0';
    r.window = reinterpret_cast<HWND>(msg.wParam);
    LocalFree(block);
    v.queue.push_back(r);
}

// At most one waiting voice message, without blocking, while a play runs.
void ServiceOneMessage(Voice& v)
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_VOICE_INIT, WM_VOICE_QUIT, PM_REMOVE)) return;
    switch (msg.message) {
    case WM_VOICE_STOP:
        if (msg.wParam == 0) v.queue.clear();
        v.stop = true;
        break;
    case WM_VOICE_QUIT:
        v.quit = true;
        break;
    case WM_VOICE_PLAY:
        AppendRequest(v, msg);
        break;
    default:
        break;
    }
}

bool Halted(const Voice& v) { return v.stop || v.quit; }

// Waits until the device returns a buffer, servicing one message per 50 ms that pass.
// A stop or quit ends the wait too: a device that no longer returns buffers must not
// keep the voice, and with it ShutdownMusic, waiting for ever.
void WaitForReturn(Voice& v, BufferSync& sync)
{
    while (!Halted(v) && WaitForSingleObject(sync.returned, 50) != WAIT_OBJECT_0) ServiceOneMessage(v);
}

bool CreateBufferSync(BufferSync& sync)
{
    sync.inFlight = 0;
    sync.returned = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!sync.returned) return false;
    InitializeCriticalSection(&sync.lock);
    return true;
}

// Only once the device is closed. No callback starts after waveOutClose; one still under
// way holds the lock until it has set the event, so taking the lock once waits it out.
void DestroyBufferSync(BufferSync& sync)
{
    EnterCriticalSection(&sync.lock);
    LeaveCriticalSection(&sync.lock);
    DeleteCriticalSection(&sync.lock);
    CloseHandle(sync.returned);
}

// The device format for one link of the stream; false when the decoder cannot tell.
bool LinkFormat(OggVorbis_File* vf, int link, WAVEFORMATEX* format)
{
    vorbis_info* info = ov_info(vf, link);
    if (!info || info->channels < 1 || info->channels > 0xFFFF / 2 || info->rate < 1) return false;
    *format = WAVEFORMATEX{};
    format->wFormatTag = WAVE_FORMAT_PCM;
    format->nChannels = static_cast<WORD>(info->channels);
    format->nSamplesPerSec = static_cast<DWORD>(info->rate);
    format->wBitsPerSample = 16;
    format->nBlockAlign = static_cast<WORD>(2 * format->nChannels);
    format->nAvgBytesPerSec = format->nSamplesPerSec * format->nBlockAlign;
    return true;
}

bool SameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b)
{
    return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec;
}

// One opened output device with its five buffers, in one format. On the heap: while
// it plays, the device holds the headers and calls back into the record, and a device
// that will not let go keeps them (see CloseOutput).
struct Output {
    HWAVEOUT device = nullptr;
    BufferSync sync;
    WAVEHDR headers[WAVE_BUFFER_COUNT] = {};
    int next = 0;  // the header to fill next; they go to the device in strict rotation
};

// Releases everything OpenOutput made, in the reverse order, and clears the pointer.
// A device that fails to stop or to close (it went away: a headset unplugged, the sound
// server ended) may still hold the buffers and call back into the record: the output,
// about 20 KB, is then left to it rather than freed under it.
void CloseOutput(Output*& out)
{
    // The reset runs the callback for every pending buffer on this thread: no lock held.
    bool released = waveOutReset(out->device) == MMSYSERR_NOERROR;
    for (WAVEHDR& h : out->headers) {
        if (released && h.lpData)
            released = waveOutUnprepareHeader(out->device, &h, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
    }
    if (waveOutClose(out->device) != MMSYSERR_NOERROR) released = false;
    if (released) {
        for (WAVEHDR& h : out->headers) LocalFree(h.lpData);
        // Only now: the callback can no longer run.
        DestroyBufferSync(out->sync);
        delete out;
    }
    out = nullptr;
}

enum class Opened {
    Ready,
    NoDevice,     // no device or no memory for it: the voice cannot play
    NotPrepared,  // the device refused a buffer: this play ends
};

// Ready with the output in `out`; anything else leaves it null (and the device, when it
// was opened, closed as CloseOutput closes it).
Opened OpenOutput(Output*& out, const WAVEFORMATEX& format)
{
    out = new (std::nothrow) Output;
    if (!out) return Opened::NoDevice;
    if (!CreateBufferSync(out->sync)) {
        delete out;
        out = nullptr;
        return Opened::NoDevice;
    }
    if (waveOutOpen(&out->device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(WaveDoneCallback),
                    reinterpret_cast<DWORD_PTR>(&out->sync), CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        DestroyBufferSync(out->sync);
        delete out;
        out = nullptr;
        return Opened::NoDevice;
    }
    if (void (*hook)(HWAVEOUT) = g_pfnDeviceOpened) hook(out->device);
    for (WAVEHDR& h : out->headers) {
        h.lpData = static_cast<LPSTR>(LocalAlloc(LMEM_FIXED, WAVE_BUFFER_SIZE));
        if (!h.lpData) {
            CloseOutput(out);
            return Opened::NoDevice;
        }
        h.dwBufferLength = WAVE_BUFFER_SIZE;
        if (waveOutPrepareHeader(out->device, &h, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            CloseOutput(out);
            return Opened::NotPrepared;
        }
    }
    return Opened::Ready;
}

// Hands the taken buffer to the device. When the device refuses it, it never comes
// back: it no longer counts as in flight, and false ends the play.
bool Submit(Output& out, WAVEHDR& h)
{
    if (waveOutWrite(out.device, &h, sizeof(WAVEHDR)) == MMSYSERR_NOERROR) return true;
    EnterCriticalSection(&out.sync.lock);
    --out.sync.inFlight;
    LeaveCriticalSection(&out.sync.lock);
    return false;
}

// Waits for a free buffer and counts it as in flight; false on a stop or a quit.
bool TakeBuffer(Voice& v, Output& out)
{
    bool taken = false;
    while (!taken && !Halted(v)) {
        EnterCriticalSection(&out.sync.lock);
        if (out.sync.inFlight < WAVE_BUFFER_COUNT) {
            ++out.sync.inFlight;
            taken = true;
        }
        LeaveCriticalSection(&out.sync.lock);
        ServiceOneMessage(v);
        if (!taken) WaitForReturn(v, out.sync);
    }
    return !Halted(v);
}

// Waits until the device has played and returned every buffer; false on a stop or a quit.
bool DrainOutput(Voice& v, Output& out)
{
    bool drained = false;
    while (!drained && !Halted(v)) {
        EnterCriticalSection(&out.sync.lock);
        drained = (out.sync.inFlight == 0);
        LeaveCriticalSection(&out.sync.lock);
        ServiceOneMessage(v);
        if (!drained) WaitForReturn(v, out.sync);
    }
    return !Halted(v);
}

// Plays one request to its end, a stop or a quit. False when the play could not
// start (source, device or memory), or its device could not follow a change of format;
// then nothing of it is left. A device that refuses a buffer (its preparation or its
// submission) ends the play quietly, without the notice, and the voice goes on.
//
// A chained stream may change its channels or rate from one link to the next. The
// device only plays the format it was opened in, so at such a change the voice lets it
// play out what it holds and opens it again in the new format: samples never reach a
// device opened for another format.
bool PlayRequest(Voice& v, const VoiceRequest& request)
{
    OggVorbis_File vf;
    if (!OpenMusicSource(request.name, &vf)) return false;

    WAVEFORMATEX format;
    Output* out = nullptr;
    Opened opened = Opened::NoDevice;
    if (LinkFormat(&vf, -1, &format)) opened = OpenOutput(out, format);
    if (opened != Opened::Ready) {
        ov_clear(&vf);
        return opened == Opened::NotPrepared;
    }
    // The link that the device's format is known for, and the one ov_read reports. A
    // differing report only has its format compared, so starting from 0 is safe.
    int link = 0;
    int section = 0;
    // Bytes of a link in a new format, decoded before the change was seen.
    char carried[WAVE_BUFFER_SIZE];
    DWORD carriedBytes = 0;

    bool ended = false;  // the stream ran out (or failed hard) at the start of a buffer
    bool voiceGoesOn = true;
    while (TakeBuffer(v, *out)) {
        WAVEHDR& h = out->headers[out->next];
        memcpy(h.lpData, carried, carriedBytes);
        h.dwBufferLength = carriedBytes;
        carriedBytes = 0;
        WAVEFORMATEX changed = {};
        bool formatChange = false;
        while (h.dwBufferLength < WAVE_BUFFER_SIZE) {
            long got = ov_read(&vf, h.lpData + h.dwBufferLength,
                               static_cast<int>(WAVE_BUFFER_SIZE - h.dwBufferLength), 0, 2, 1, &section);
            // A gap in the stream (a page lost): decoding goes on after it.
            if (got == OV_HOLE) continue;
            if (got <= 0) break;
            if (section != link) {
                // A link whose format the decoder cannot tell ends the stream here.
                if (!LinkFormat(&vf, section, &changed)) break;
                link = section;
                if (!SameFormat(changed, format)) {
                    memcpy(carried, h.lpData + h.dwBufferLength, static_cast<size_t>(got));
                    carriedBytes = static_cast<DWORD>(got);
                    formatChange = true;
                    break;
                }
            }
            h.dwBufferLength += static_cast<DWORD>(got);
        }
        out->next = (out->next + 1) % WAVE_BUFFER_COUNT;
        // The empty buffer goes to the device too: its return ends the drain.
        if (!Submit(*out, h)) break;
        if (formatChange) {
            if (!DrainOutput(v, *out)) break;
            CloseOutput(out);
            format = changed;
            opened = OpenOutput(out, format);
            if (opened != Opened::Ready) {
                voiceGoesOn = opened == Opened::NotPrepared;
                break;
            }
            continue;
        }
        if (h.dwBufferLength == 0) {
            ended = true;
            break;
        }
    }

    if (ended && DrainOutput(v, *out) && request.window) PostMessageA(request.window, WM_VOICE_DONE, 0, 0);
    if (out) CloseOutput(out);  // null when reopening failed
    ov_clear(&vf);
    return voiceGoesOn;
}

// Frees the blocks of play messages still queued when the thread ends.
void DiscardWaitingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_VOICE_INIT, WM_VOICE_QUIT, PM_REMOVE)) {
        if (msg.message == WM_VOICE_PLAY && msg.lParam) LocalFree(reinterpret_cast<HLOCAL>(msg.lParam));
    }
}

}  // namespace

void CALLBACK WaveDoneCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                               DWORD_PTR param2)
{
    if (message != WOM_DONE) return;
    BufferSync* sync = reinterpret_cast<BufferSync*>(instance);
    // The event is set inside the lock: the teardown's pass through the lock then waits
    // until this callback no longer touches the record.
    EnterCriticalSection(&sync->lock);
    --sync->inFlight;
    SetEvent(sync->returned);
    LeaveCriticalSection(&sync->lock);
}

DWORD WINAPI VoiceThreadProc(LPVOID unused)
{
    MSG msg;
    // Makes the message queue exist, so that posts to this thread succeed from now on.
    PeekMessageA(&msg, nullptr, WM_VOICE_INIT, WM_VOICE_QUIT, PM_NOREMOVE);
    {
        Voice v;
        while (!v.quit) {
            bool got;
            if (v.queue.empty()) {
                // A failing wait would spin for ever: it ends the thread like a quit.
                if (GetMessageA(&msg, nullptr, WM_VOICE_INIT, WM_VOICE_QUIT) <= 0) break;
                got = true;
            } else {
                got = PeekMessageA(&msg, nullptr, WM_VOICE_INIT, WM_VOICE_QUIT, PM_REMOVE) != 0;
            }
            if (got) {
                if (msg.message == WM_VOICE_QUIT) break;
                if (msg.message == WM_VOICE_INIT) continue;
                if (msg.message == WM_VOICE_STOP) {
                    if (msg.wParam == 0) v.queue.clear();
                    continue;
                }
                AppendRequest(v, msg);
            }
            if (v.queue.empty()) continue;
            v.stop = false;
            VoiceRequest current = v.queue.front();
            v.queue.pop_front();
            // A voice that cannot play ends, silently, with its queue.
            if (!PlayRequest(v, current)) break;
        }
    }
    DiscardWaitingMessages();
    return 0;
}

void StartMusic()
{
    for (int i = 0; i < VOICE_COUNT; ++i) {
        if (g_hVoiceThread[i]) continue;
        DWORD id = 0;
        HANDLE thread = CreateThread(nullptr, 0, VoiceThreadProc, nullptr, 0, &id);
        if (!thread) continue;  // the slot stays empty: that voice never plays
        g_hVoiceThread[i] = thread;
        g_dwVoiceThreadId[i] = id;
        SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL);
        // The post fails until the new thread has made its queue. A thread that has
        // already ended will never accept it.
        while (!PostThreadMessageA(id, WM_VOICE_INIT, 0, 0)) {
            if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) break;
            Sleep(0);
        }
    }
}

int PlayVoice(HWND window, int voice)
{
    if (voice < 0 || voice >= VOICE_COUNT || !g_dwVoiceThreadId[voice]) return 0;
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, kRequestBlockSize));
    if (!block) return 0;
    memcpy(block, g_szSourceName, kRequestBlockSize);
    if (!PostThreadMessageA(g_dwVoiceThreadId[voice], WM_VOICE_PLAY, reinterpret_cast<WPARAM>(window),
                            reinterpret_cast<LPARAM>(block))) {
        LocalFree(block);
        return 0;
    }
    return 1;
}

void StopMusic()
{
    for (int i = 0; i < VOICE_COUNT; ++i) {
        if (g_hVoiceThread[i]) PostThreadMessageA(g_dwVoiceThreadId[i], WM_VOICE_STOP, 0, 0);
    }
}

void ShutdownMusic()
{
    for (int i = 0; i < VOICE_COUNT; ++i) {
        if (!g_hVoiceThread[i]) continue;
        PostThreadMessageA(g_dwVoiceThreadId[i], WM_VOICE_QUIT, 0, 0);
        WaitForSingleObject(g_hVoiceThread[i], INFINITE);
        CloseHandle(g_hVoiceThread[i]);
        g_hVoiceThread[i] = nullptr;
        g_dwVoiceThreadId[i] = 0;
    }
}

void SetDeviceOpenedHook(void (*hook)(HWAVEOUT device)) { g_pfnDeviceOpened = hook; }

void SetMusicSourceName(const char* name)
{
    const char* src = name ? name : kChantName;
    size_t n = strnlen(src, kRequestBlockSize - 1);
    memcpy(g_szSourceName, src, n);
    g_szSourceName[n] = '\0';
}
