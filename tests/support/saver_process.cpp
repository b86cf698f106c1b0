#include "support/saver_process.h"

#include <string.h>

#include "support/process.h"

std::string SaverPath() { return TILO_SCR_PATH_VALUE; }
std::string FakesDir() { return TILO_FAKES_DIR_VALUE; }
std::string NoticeToolPath() { return TILO_NOTICE_TOOL; }
std::string TestChantPath(const char* name) { return std::string(TILO_TEST_CHANTS_DIR_VALUE) + "/" + name; }

HINSTANCE UseSaverResources()
{
    if (!g_hInstance)
        g_hInstance = reinterpret_cast<HINSTANCE>(
            LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    return g_hInstance;
}

std::wstring Wide(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                nullptr, 0);
    std::wstring wide(n > 0 ? n : 0, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                            &wide[0], n);
    return wide;
}

SaverProcess::~SaverProcess() { Kill(); }

bool SaverProcess::StartUtf8(const std::string& commandLine, const std::string& exePath)
{
    Kill();
    std::wstring line = Wide(commandLine);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    return Adopt(CreateProcessW(Wide(exePath).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &si, &pi),
                 pi);
}

bool SaverProcess::Start(const std::string& arguments, const std::vector<std::string>& environment,
                         const std::string& exePath)
{
    std::string exe = exePath.empty() ? SaverPath() : exePath;
    std::string line = "\"" + exe + "\"";
    if (!arguments.empty()) line += " " + arguments;
    return Launch(exe, line, environment);
}

bool SaverProcess::StartRaw(const std::string& commandLine, const std::string& exePath)
{
    return Launch(exePath.empty() ? SaverPath() : exePath, commandLine, {});
}

bool SaverProcess::Launch(const std::string& exe, std::string line,
                          const std::vector<std::string>& environment)
{
    Kill();

    // The test's environment with the given entries added or replaced.
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; *p; p += strlen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsA(block);
    for (const std::string& e : environment) {
        std::string key = e.substr(0, e.find('=') + 1);
        bool replaced = false;
        for (std::string& have : entries)
            if (_strnicmp(have.c_str(), key.c_str(), key.size()) == 0) {
                have = e;
                replaced = true;
            }
        if (!replaced) entries.push_back(e);
    }
    std::string env;
    for (const std::string& e : entries) env += e + '\0';
    env += '\0';

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back('\0');
    return Adopt(CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, env.data(), nullptr,
                                &si, &pi),
                 pi);
}

bool SaverProcess::Adopt(BOOL created, const PROCESS_INFORMATION& pi)
{
    if (!created) return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

bool SaverProcess::Attach(DWORD pid)
{
    Kill();
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    pid_ = process_ ? pid : 0;
    return process_ != nullptr;
}

DWORD SaverProcess::WaitExit(DWORD milliseconds)
{
    if (!process_) return STILL_ACTIVE;
    if (WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool SaverProcess::Running() { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void SaverProcess::Kill()
{
    if (!process_) return;
    if (Running()) {
        TerminateProcess(process_, 0xDEAD);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}
