#include "support/waiting.h"

#include <mmsystem.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

#include <map>
#include <string>

#include "shell/saver_window.h"
#include "support/saver_process.h"

namespace {

struct FindArgs {
    const char* cls;
    const char* title;
    DWORD pid;
    HWND found;
    bool titlePrefix;  // the title only starts with `title`
};

BOOL CALLBACK FindProc(HWND window, LPARAM lParam)
{
    FindArgs* a = reinterpret_cast<FindArgs*>(lParam);
    char buf[256];
    if (a->cls && (!GetClassNameA(window, buf, sizeof buf) || strcmp(buf, a->cls) != 0)) return TRUE;
    if (a->title && (GetWindowTextA(window, buf, sizeof buf) < 0 ||
                     strncmp(buf, a->title, a->titlePrefix ? strlen(a->title) : sizeof buf) != 0))
        return TRUE;
    if (a->pid) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != a->pid) return TRUE;
    }
    a->found = window;
    return FALSE;
}

HWND WaitForTitled(const char* cls, const char* title, bool prefix, DWORD milliseconds, DWORD pid)
{
    DWORD start = GetTickCount();
    do {
        FindArgs a = {cls, title, pid, nullptr, prefix};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
        if (a.found) return a.found;
        PumpFor(20);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

}  // namespace

HWND WaitForWindow(const char* cls, const char* title, DWORD milliseconds, DWORD pid)
{
    return WaitForTitled(cls, title, false, milliseconds, pid);
}

bool WaitWindowGone(HWND window, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= milliseconds) return false;
        PumpFor(20);
    }
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= milliseconds) return false;
        PumpFor(10);
    }
    return true;
}

void PumpFor(DWORD milliseconds)
{
    DWORD start = timeGetTime();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (timeGetTime() - start < milliseconds);
}

HWND WaitForSaverWindow(const SaverProcess& p, DWORD milliseconds)
{
    return WaitForWindow(TILO_SAVER_CLASS, TILO_TITLE_SAVER, milliseconds, p.pid());
}

namespace {

LONGLONG Ticks(const FILETIME& t)
{
    return (static_cast<LONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Start and end of a process, as FILETIME ticks.
void Times(HANDLE process, LONGLONG* created, LONGLONG* exited)
{
    FILETIME c = {}, e = {}, k, u;
    GetProcessTimes(process, &c, &e, &k, &u);
    *created = Ticks(c);
    *exited = Ticks(e);
}

}  // namespace

DWORD WaitForProcessTree(HANDLE process, DWORD milliseconds)
{
    // A child appears in a snapshot from its start, and keeps its parent's id after the
    // parent ends; so once every known member has ended, one more snapshot that finds no
    // new child proves the whole tree gone. Ids are reused at once (Wine's are small
    // numbers): a process is a child only if it started after its parent did.
    struct Member {
        HANDLE handle;
        LONGLONG created;
        std::string name;
    };
    std::map<DWORD, Member> family;
    HANDLE own = nullptr;
    DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS);
    LONGLONG created, exited;
    Times(own, &created, &exited);
    family[GetProcessId(process)] = {own, created, "the first"};
    DWORD start = GetTickCount();
    bool done = false;
    while (!done && GetTickCount() - start < milliseconds) {
        bool allEnded = true;
        for (auto& member : family)
            if (WaitForSingleObject(member.second.handle, 0) == WAIT_TIMEOUT) allEnded = false;
        bool grew = false;
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
            auto parent = family.find(entry.th32ParentProcessID);
            if (family.count(entry.th32ProcessID) || parent == family.end()) continue;
            HANDLE child =
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
            if (!child) continue;
            Times(child, &created, &exited);
            if (created < parent->second.created) {
                CloseHandle(child);
                continue;
            }
            family[entry.th32ProcessID] = {child, created, entry.szExeFile};
            grew = true;
        }
        CloseHandle(snap);
        done = allEnded && !grew;
        if (!done) PumpFor(20);
    }
    DWORD lastCode = STILL_ACTIVE;
    LONGLONG lastEnd = -1;
    for (auto& member : family) {
        if (!done && WaitForSingleObject(member.second.handle, 0) == WAIT_TIMEOUT)
            printf("still running: %s (process %lu)\n", member.second.name.c_str(), member.first);
        DWORD code = STILL_ACTIVE;
        Times(member.second.handle, &created, &exited);
        if (done && GetExitCodeProcess(member.second.handle, &code) && exited >= lastEnd)
            lastEnd = exited, lastCode = code;
        CloseHandle(member.second.handle);
    }
    return done ? lastCode : STILL_ACTIVE;
}

HWND WaitForConfigDialog(const SaverProcess& p, DWORD milliseconds)
{
    return WaitForTitled("#32770", "Tilo Settings", true, milliseconds, p.pid());
}

void SyncWith(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

std::string TextOf(HWND window)
{
    char text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &copied);
    return text;
}
