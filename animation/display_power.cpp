#include "animation/display_power.h"

#include <string.h>

bool g_bDisplayOff = false;

namespace {

// The two power settings that report the displays: the console display state (0 off,
// 1 on, 2 dimmed) and, before Windows 8, the monitor power state (0 off, 1 on).
const GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

typedef HANDLE(WINAPI* RegisterFn)(HANDLE, LPCGUID, DWORD);
typedef BOOL(WINAPI* UnregisterFn)(HANDLE);

HANDLE s_registered[2] = {};

FARPROC User32(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

// The fields of POWERBROADCAST_SETTING, which only newer headers have.
struct PowerSetting {
    GUID setting;
    DWORD dataLength;
    UCHAR data[1];
};

}  // namespace

void WatchDisplayPower(HWND window)
{
    RegisterFn registerFor = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(User32("RegisterPowerSettingNotification")));
    if (!registerFor) return;
    const GUID* settings[2] = {&kConsoleDisplayState, &kMonitorPowerOn};
    for (int i = 0; i < 2; ++i)
        if (!s_registered[i]) s_registered[i] = registerFor(window, settings[i], 0 /* DEVICE_NOTIFY_WINDOW_HANDLE */);
}

void StopWatchingDisplayPower()
{
    UnregisterFn unregister =
        reinterpret_cast<UnregisterFn>(reinterpret_cast<void*>(User32("UnregisterPowerSettingNotification")));
    for (HANDLE& h : s_registered) {
        if (h && unregister) unregister(h);
        h = nullptr;
    }
    g_bDisplayOff = false;
}

bool TakeDisplayPowerReport(WPARAM wParam, LPARAM lParam)
{
    const WPARAM kSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
    if (wParam != kSettingChange || !lParam) return false;
    const PowerSetting* report = reinterpret_cast<const PowerSetting*>(lParam);
    const bool display = memcmp(&report->setting, &kConsoleDisplayState, sizeof(GUID)) == 0 ||
                         memcmp(&report->setting, &kMonitorPowerOn, sizeof(GUID)) == 0;
    if (!display || report->dataLength < sizeof(DWORD)) return false;
    DWORD state;
    memcpy(&state, report->data, sizeof state);
    g_bDisplayOff = state == 0;
    return true;
}
