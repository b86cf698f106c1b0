#include "support/waiting.h"

#include <mmsystem.h>

#include <string.h>

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

HWND WaitForConfigDialog(const SaverProcess& p, DWORD milliseconds)
{
    return WaitForTitled("#32770", "Tilo Settings", true, milliseconds, p.pid());
}

void SyncWith(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}
