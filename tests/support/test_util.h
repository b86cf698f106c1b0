// Helpers for tests that run under Wine: scratch registry keys, starting the real
// Tilo.scr, waiting for windows and exit codes, reading the screen.
#ifndef TILO_TESTS_SUPPORT_TEST_UTIL_H
#define TILO_TESTS_SUPPORT_TEST_UTIL_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A key under HKCU\Software\TiloTest named after the running test, deleted on both
// ends so every test starts from nothing.
class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    const std::string& path() const { return path_; }
    bool exists(HKEY hive = HKEY_CURRENT_USER) const;
private:
    std::string path_;
};

void DeleteTree(HKEY hive, const char* path);
bool SetDword(HKEY hive, const char* path, const char* name, DWORD value);
bool SetBinary(HKEY hive, const char* path, const char* name, const void* data, DWORD size, DWORD type);
bool GetDword(HKEY hive, const char* path, const char* name, DWORD* value);
bool GetString(HKEY hive, const char* path, const char* name, std::string* value);
// Raw data and its type, for checking what was stored byte for byte.
bool GetRaw(HKEY hive, const char* path, const char* name, std::vector<BYTE>* data, DWORD* type);
std::string KeyClass(HKEY hive, const char* path);

// A process of the real saver. Environment entries "NAME=value" are added to (or
// replace) the test's own environment.
class SaverProcess {
public:
    SaverProcess() = default;
    ~SaverProcess();
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    bool Start(const std::string& arguments, const std::vector<std::string>& environment = {},
               const std::string& exePath = "");
    // The exit code, or STILL_ACTIVE when it has not ended within the time.
    // The whole command line as given, program name included.
    bool StartRaw(const std::string& commandLine, const std::string& exePath = "");
    DWORD WaitExit(DWORD milliseconds);
    bool Running();
    void Kill();
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_; }
private:
    bool Launch(const std::string& exe, std::string line, const std::vector<std::string>& environment);
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

std::string SaverPath();
std::string FakesDir();
std::string NoticeToolPath();

// Polls for a top-level window of that class and title (either may be null), owned by
// the process when pid is non-zero.
HWND WaitForWindow(const char* cls, const char* title, DWORD milliseconds, DWORD pid = 0);
// Polls until the window is gone.
bool WaitWindowGone(HWND window, DWORD milliseconds);
// Polls the condition (pumping this thread's messages) until it holds or time runs out.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);
// Pumps this thread's messages for the time given.
void PumpFor(DWORD milliseconds);

// The screen as the X server shows it, 32-bit BGRX rows, top first.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool Capture();
    bool SaveBmp(const std::string& path) const;
};

std::string TestName();

#endif
