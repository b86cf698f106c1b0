#include "support/test_util.h"

#include <gtest/gtest.h>

#include <stdio.h>

namespace {

std::string Sanitize(std::string s)
{
    for (char& c : s)
        if (c == '/' || c == '\\') c = '_';
    return s;
}

} // namespace

std::string TestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return "NoTest";
    return Sanitize(std::string(info->test_suite_name()) + "." + info->name());
}

void DeleteTree(HKEY hive, const char* path) { RegDeleteTreeA(hive, path); RegDeleteKeyA(hive, path); }

ScratchKey::ScratchKey() : path_("Software\\TiloTest\\" + TestName())
{
    DeleteTree(HKEY_CURRENT_USER, path_.c_str());
    DeleteTree(HKEY_LOCAL_MACHINE, path_.c_str());
    DeleteTree(HKEY_CLASSES_ROOT, path_.c_str());
}

ScratchKey::~ScratchKey()
{
    DeleteTree(HKEY_CURRENT_USER, path_.c_str());
    DeleteTree(HKEY_LOCAL_MACHINE, path_.c_str());
    DeleteTree(HKEY_CLASSES_ROOT, path_.c_str());
}

bool ScratchKey::exists(HKEY hive) const
{
    HKEY key;
    if (RegOpenKeyExA(hive, path_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool SetDword(HKEY hive, const char* path, const char* name, DWORD value)
{
    return RegSetKeyValueA(hive, path, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

bool SetBinary(HKEY hive, const char* path, const char* name, const void* data, DWORD size, DWORD type)
{
    return RegSetKeyValueA(hive, path, name, type, data, size) == ERROR_SUCCESS;
}

bool GetRaw(HKEY hive, const char* path, const char* name, std::vector<BYTE>* data, DWORD* type)
{
    HKEY key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data->assign(size, 0);
        rc = RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool GetDword(HKEY hive, const char* path, const char* name, DWORD* value)
{
    std::vector<BYTE> data;
    DWORD type = 0;
    if (!GetRaw(hive, path, name, &data, &type) || data.size() != 4) return false;
    memcpy(value, data.data(), 4);
    return true;
}

bool GetString(HKEY hive, const char* path, const char* name, std::string* value)
{
    std::vector<BYTE> data;
    DWORD type = 0;
    if (!GetRaw(hive, path, name, &data, &type)) return false;
    value->assign(reinterpret_cast<const char*>(data.data()), data.size());
    while (!value->empty() && value->back() == '\0') value->pop_back();
    return true;
}

std::string KeyClass(HKEY hive, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char cls[256] = {};
    DWORD len = sizeof cls;
    LONG rc = RegQueryInfoKeyA(key, cls, &len, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(cls, len) : "<no class>";
}

std::string SaverPath() { return TILO_SCR_PATH_VALUE; }
std::string FakesDir() { return TILO_FAKES_DIR_VALUE; }
std::string NoticeToolPath() { return TILO_NOTICE_TOOL; }

SaverProcess::~SaverProcess() { Kill(); }

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

bool SaverProcess::Launch(const std::string& exe, std::string line, const std::vector<std::string>& environment)
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
    if (!CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, env.data(),
                        nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
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

namespace {

struct FindArgs {
    const char* cls;
    const char* title;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindProc(HWND window, LPARAM lParam)
{
    FindArgs* a = reinterpret_cast<FindArgs*>(lParam);
    char buf[256];
    if (a->cls && (!GetClassNameA(window, buf, sizeof buf) || strcmp(buf, a->cls) != 0)) return TRUE;
    if (a->title && (GetWindowTextA(window, buf, sizeof buf) < 0 || strcmp(buf, a->title) != 0))
        return TRUE;
    if (a->pid) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != a->pid) return TRUE;
    }
    a->found = window;
    return FALSE;
}

} // namespace

HWND WaitForWindow(const char* cls, const char* title, DWORD milliseconds, DWORD pid)
{
    DWORD start = GetTickCount();
    do {
        FindArgs a = {cls, title, pid, nullptr};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
        if (a.found) return a.found;
        PumpFor(20);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
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
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

bool Screenshot::Capture()
{
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        pixels.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool Screenshot::SaveBmp(const std::string& path) const
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = -height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + bytes;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    fwrite(pixels.data(), 4, pixels.size(), f);
    fclose(f);
    return true;
}
