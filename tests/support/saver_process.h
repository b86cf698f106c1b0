// A process of the real saver, started as the system would start it.
#ifndef TILO_TESTS_SUPPORT_SAVER_PROCESS_H
#define TILO_TESTS_SUPPORT_SAVER_PROCESS_H

#include <windows.h>

#include <string>
#include <vector>

// Environment entries "NAME=value" are added to (or replace) the test's own environment.
class SaverProcess {
public:
    SaverProcess() = default;
    ~SaverProcess();
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;

    bool Start(const std::string& arguments, const std::vector<std::string>& environment = {},
               const std::string& exePath = "");
    // The whole command line as given, program name included.
    bool StartRaw(const std::string& commandLine, const std::string& exePath = "");
    // The same in UTF-8, started through the wide interface: paths of any script.
    bool StartUtf8(const std::string& commandLine, const std::string& exePath);
    // A saver that was started some other way (from a Linux shell, with an environment
    // of its own), kept by its process id; false when it cannot be opened.
    bool Attach(DWORD pid);
    // The exit code, or STILL_ACTIVE when it has not ended within the time.
    DWORD WaitExit(DWORD milliseconds);
    bool Running();
    void Kill();
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return process_; }

private:
    bool Launch(const std::string& exe, std::string line, const std::vector<std::string>& environment);
    // Keeps the process that CreateProcess made; false when it made none.
    bool Adopt(BOOL created, const PROCESS_INFORMATION& pi);
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// UTF-8 text in UTF-16, for the wide interface; empty when it is not UTF-8.
std::wstring Wide(const std::string& utf8);

std::string SaverPath();
// Tilo.scr's resources, loaded into this process as data, made the process's instance
// (g_hInstance), so that the program's dialogs open here.
HINSTANCE UseSaverResources();
std::string FakesDir();
std::string NoticeToolPath();
// A stream that tests/probes/make_test_chants.sh made, by file name.
std::string TestChantPath(const char* name);

#endif
