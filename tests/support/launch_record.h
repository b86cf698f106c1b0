// What the launch recorder (tests/probes/launch_recorder.cpp) saw: the programs that
// the saver started, standing in for the browser, the mail program or the uninstaller.
#ifndef TILO_TESTS_SUPPORT_LAUNCH_RECORD_H
#define TILO_TESTS_SUPPORT_LAUNCH_RECORD_H

#include <windows.h>

#define TILO_LAUNCHES_KEY "Software\\TiloTest\\Launches"

#include <string>
#include <vector>

struct Launch {
    std::string module;     // the recorder's own path, as started
    std::string arguments;  // its command line after the program name and blanks
    DWORD show;             // the show command it was given
};

// Copies the recorder to a Windows path, making its folders; a test removes it with
// RemoveRecorder. False when it could not be put there.
bool InstallRecorder(const std::string& path);
void RemoveRecorder(const std::string& path);

void ForgetLaunches();
std::vector<Launch> Launches();
// Polls until at least `count` starts are recorded.
bool WaitForLaunches(size_t count, DWORD milliseconds = 10000);

#endif
