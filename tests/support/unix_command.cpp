#include "support/unix_command.h"

#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

std::string UnixPath(const std::string& windowsPath)
{
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    ToUnix toUnix =
        reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
    if (!toUnix) return "";
    std::vector<wchar_t> wide(windowsPath.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    char* unix = toUnix(wide.data());
    if (!unix) return "";
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

int RunUnix(const char* commandLine)
{
    // Wine starts a Linux program detached, without a handle to wait on: the shell
    // leaves the exit status in a file that this side polls for. Its name holds the
    // clock too: Wine numbers processes afresh in every prefix and reuses the numbers,
    // and a command given up on leaves its file later, which another test program of
    // the same number would otherwise take for its own.
    static LONG serial = 0;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char status[96];
    snprintf(status, sizeof status, "/tmp/tilo_unix_%lu_%ld_%llx", GetCurrentProcessId(),
             InterlockedIncrement(&serial), static_cast<unsigned long long>(now.QuadPart));
    std::string line = std::string("/bin/sh -c \"") + commandLine + "; echo $? >" + status + ".part && mv " +
                       status + ".part " + status + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
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
