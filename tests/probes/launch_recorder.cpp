// Stands in for a browser, a mail program or an uninstaller: records how it was started
// (its own path, the arguments after its name, the show command it was given) under
// HKCU\Software\TiloTest\Launches, one numbered entry per start, and exits.
#include <windows.h>

#include <stdio.h>

#include "shell/cmdline.h"
#include "support/launch_record.h"

int main()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    const char* arguments = SkipProgramText(GetCommandLineA(), NextByte);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    DWORD show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, TILO_LAUNCHES_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return 1;
    DWORD count = 0, size = sizeof count;
    RegQueryValueExA(key, "count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
    char name[32];
    snprintf(name, sizeof name, "%lu module", count);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(module), lstrlenA(module) + 1);
    snprintf(name, sizeof name, "%lu arguments", count);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(arguments), lstrlenA(arguments) + 1);
    snprintf(name, sizeof name, "%lu show", count);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&show), sizeof show);
    ++count;  // last, so that a reader that sees the count finds the entry complete
    RegSetValueExA(key, "count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
    return 0;
}
