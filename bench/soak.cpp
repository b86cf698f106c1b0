// A long run of the full-screen saver with sound, driven by the view keys through real
// input, watched for growth of what the process holds. Run by bench/soak.sh:
//   soak.exe PATH_TO_TILO_SCR MINUTES
// Every 30 s it samples the saver's handle count, private bytes, working set, GDI objects
// and thread count, and how much of the last 30 s the sound server played, and prints a
// row; at the end a verdict: flat when nothing grows past the first minutes, the chant
// heard in every row, and the saver ending on a key with 0.
#include <windows.h>
#include <winternl.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "support/registry.h"
#include "support/saver_process.h"
#include "support/settings_store.h"
#include "support/sound_capture.h"
#include "support/sound_levels.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

struct Sample {
    double minutes;
    DWORD handles;
    double privateMb;
    double workingSetMb;
    int gdiObjects;  // -1 where they cannot be counted
    int threads;
    double heard;  // share of the interval's 10 ms windows in which the chant sounded
};

// The system's process list, as the task manager reads it. Wine fills it for other
// processes too (GetProcessHandleCount and GetProcessMemoryInfo there answer 0): the
// handle count in steps of its table's growth, private bytes as the commit charge.
struct ProcessEntry {
    ULONG NextEntryOffset;
    ULONG NumberOfThreads;
    LARGE_INTEGER Reserved[3];
    LARGE_INTEGER CreateTime, UserTime, KernelTime;
    UNICODE_STRING ImageName;
    LONG BasePriority;
    HANDLE UniqueProcessId;
    HANDLE InheritedFromUniqueProcessId;
    ULONG HandleCount;
    ULONG SessionId;
    ULONG_PTR UniqueProcessKey;
    SIZE_T PeakVirtualSize, VirtualSize;
    ULONG PageFaultCount;
    SIZE_T PeakWorkingSetSize, WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage, QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage, PeakPagefileUsage, PrivatePageCount;
};

bool Take(DWORD pid, double minutes, Sample* s)
{
    static std::vector<char> buffer(4 << 20);
    ULONG length = 0;
    if (NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(5 /* process list */), buffer.data(),
                                 static_cast<ULONG>(buffer.size()), &length) != 0)
        return false;
    for (const char* p = buffer.data();;) {
        const ProcessEntry* e = reinterpret_cast<const ProcessEntry*>(p);
        if (reinterpret_cast<ULONG_PTR>(e->UniqueProcessId) == pid) {
            s->minutes = minutes;
            s->handles = e->HandleCount;
            s->privateMb = e->PagefileUsage / (1024.0 * 1024.0);
            s->workingSetMb = e->WorkingSetSize / (1024.0 * 1024.0);
            s->threads = static_cast<int>(e->NumberOfThreads);
            return true;
        }
        if (!e->NextEntryOffset) return false;
        p += e->NextEntryOffset;
    }
}

// The process's live GDI objects. Windows counts them for any process
// (GetGuiResources); Wine answers 0 there, but keeps each process's objects in a table
// that the process's PEB points to (as Windows does): the entries with a type are live.
int GdiObjects(HANDLE process)
{
    DWORD counted = GetGuiResources(process, GR_GDIOBJECTS);
    if (counted) return static_cast<int>(counted);
    PROCESS_BASIC_INFORMATION info = {};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0) return -1;
    const SIZE_T kTableOffset = 0xf8;  // PEB.GdiSharedHandleTable, 64-bit
    ULONG_PTR table = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const char*>(info.PebBaseAddress) + kTableOffset, &table,
                           sizeof table, nullptr) ||
        !table)
        return -1;
    struct Entry {
        ULONGLONG object;
        ULONG owner;
        USHORT unique;
        UCHAR type, flags;
        ULONGLONG user;
    };
    static std::vector<Entry> entries(0x10000);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                           entries.size() * sizeof(Entry), nullptr))
        return -1;
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const Entry& e) { return e.type != 0; }));
}

// Share of the 10 ms windows louder than -50 dBFS: the three voices overlap, so a
// healthy run keeps this near 1 in every interval.
double HeardShare(const std::vector<int16_t>& samples)
{
    std::vector<double> rms = WindowRms(samples);
    if (rms.empty()) return 0;
    return 1.0 - QuietShare(rms, DbToLevel(-50), 0, rms.size());
}

// Growth over the measured span, from the least-squares slope of the samples after the
// warm-up: a leak grows steadily, a cache fills once.
double Growth(const std::vector<Sample>& samples, size_t from, double (*value)(const Sample&))
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = from; i < samples.size(); ++i) {
        double x = samples[i].minutes, y = value(samples[i]);
        n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    double d = n * sxx - sx * sx;
    if (n < 2 || d == 0) return 0;
    double slope = (n * sxy - sx * sy) / d;
    return slope * (samples.back().minutes - samples[from].minutes);
}

// Keys in pairs that undo each other, so the view stays where it is while every
// handler runs; a few seconds apart.
const WORD kKeys[] = {VK_PRIOR, VK_NEXT, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_F2,  VK_F3,
                      VK_F4,    VK_F5,   VK_F6,   VK_F7,    VK_F9, VK_F8,   VK_HOME};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: soak PATH_TO_TILO_SCR MINUTES\n");
        return 2;
    }
    const double minutes = atof(argv[2]);
    ProductKeyBackup key;  // the defaults, with sound on; the user's values come back after
    SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "enable sound", 1);
    SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "disable_frame_warn", 1);

    SoundCapture capture;
    if (!capture.Start()) {
        fprintf(stderr, "soak: cannot record the sound server\n");
        return 1;
    }
    MovePointer(200, 200);
    SaverProcess saver;
    if (!saver.Start("/s", {}, argv[1])) {
        fprintf(stderr, "soak: the saver did not start\n");
        return 1;
    }
    HWND window = WaitForSaverWindow(saver);
    if (!window) {
        fprintf(stderr, "soak: no saver window\n");
        return 1;
    }

    std::vector<Sample> samples;
    printf("%8s %8s %11s %11s %8s %8s %6s\n", "minutes", "handles", "private MB", "working MB", "GDI", "threads",
           "heard");
    DWORD start = GetTickCount(), nextSample = 0, nextKey = 3000;
    size_t k = 0;
    for (;;) {
        DWORD now = GetTickCount() - start;
        if (!saver.Running()) {
            fprintf(stderr, "soak: the saver ended by itself after %.1f minutes\n", now / 60000.0);
            return 1;
        }
        if (now >= nextSample) {
            Sample s;
            if (Take(saver.pid(), now / 60000.0, &s)) {
                s.gdiObjects = GdiObjects(saver.handle());
                s.heard = HeardShare(capture.TakeSamples());
                samples.push_back(s);
                printf("%8.1f %8lu %11.2f %11.2f %8d %8d %5.0f%%\n", s.minutes, s.handles, s.privateMb,
                       s.workingSetMb, s.gdiObjects, s.threads, s.heard * 100);
                fflush(stdout);
            }
            nextSample += 30000;
            if (now >= minutes * 60000) break;
        }
        if (now >= nextKey) {
            PressKey(kKeys[k++ % (sizeof kKeys / sizeof kKeys[0])]);
            nextKey += 4000;
        }
        PumpFor(100);
    }
    // Ended as a user ends it: a key that is not a view key.
    PressKey(VK_ESCAPE);
    DWORD code = saver.WaitExit(10000);

    // The first minutes fill what the process keeps once used (the decoder, the sound
    // driver's buffers, the display lists); the verdict looks at what follows.
    size_t from = 0;
    while (from + 1 < samples.size() && samples[from].minutes < std::min(5.0, minutes / 4)) ++from;
    double handles = Growth(samples, from, [](const Sample& s) { return double(s.handles); });
    double mb = Growth(samples, from, [](const Sample& s) { return s.privateMb; });
    double ws = Growth(samples, from, [](const Sample& s) { return s.workingSetMb; });
    double gdi = Growth(samples, from, [](const Sample& s) { return double(s.gdiObjects); });
    double threads = Growth(samples, from, [](const Sample& s) { return double(s.threads); });
    // Every row after the first holds a whole interval of sound.
    double leastHeard = 1;
    for (size_t i = 1; i < samples.size(); ++i) leastHeard = std::min(leastHeard, samples[i].heard);
    bool flat = handles < 10 && mb < 2.0 && ws < 4.0 && gdi < 5 && threads < 1;
    bool sounded = leastHeard > 0.5;
    printf("growth after %.1f minutes: %+.1f handles, %+.2f MB private, %+.2f MB working set, %+.1f GDI objects, "
           "%+.1f threads\n",
           samples[from].minutes, handles, mb, ws, gdi, threads);
    printf("least heard in a row: %.0f%%; exit code after Esc: %lu\n", leastHeard * 100, code);
    printf("verdict: %s, %s, %s\n", flat ? "flat" : "growing", sounded ? "sound throughout" : "SOUND MISSING",
           code == 0 ? "ended with 0" : "DID NOT END WITH 0");
    return flat && sounded && code == 0 ? 0 : 1;
}
