// Driving the real saver from outside, as the system would.
#ifndef TILO_TESTS_SUPPORT_SAVER_DRIVER_H
#define TILO_TESTS_SUPPORT_SAVER_DRIVER_H

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/test_util.h"

// Full-screen saver window of the process, or null after the time.
HWND WaitForSaverWindow(const SaverProcess& p, DWORD milliseconds = 15000);

// Waits until the window's thread answers: sent messages come before posted ones, so
// this does not prove that earlier posts were handled.
void SyncWith(HWND window);

// Presses and releases a key as the keyboard would, to the foreground window; with alt,
// while Alt is held.
void PressKey(WORD vk, bool alt = false);

// Moves the pointer with absolute positions, as a user's mouse would.
void MovePointer(int x, int y);

// A top-level window of the test's own thread that records what it receives.
class RecordingWindow {
public:
    RecordingWindow(const char* title, int width, int height, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ~RecordingWindow();
    HWND hwnd() const { return hwnd_; }
    int count(UINT message) const;
    WPARAM lastWParam(UINT message) const;
private:
    HWND hwnd_;
};

// Sets the saver's program (by file name) to report the Windows 98 platform while alive,
// and to load the test-only MPR.DLL beside it.
class Win98Mode {
public:
    // reportWin98 false: only the library override, the platform stays as it is.
    explicit Win98Mode(const char* exeName, bool reportWin98 = true);
    ~Win98Mode();
private:
    std::string key_;
};

// Copies Tilo.scr beside the test-only provider libraries, so that it loads them.
std::string SaverBesideFakes();

// Resets the values the provider libraries record and answer with.
void ResetFakes();

// Saves the product key's values and gives the test an empty key; puts them back after.
class ProductKeyBackup {
public:
    ProductKeyBackup();
    ~ProductKeyBackup();
private:
    std::vector<std::pair<std::string, DWORD>> values_;
};

// The dialog box of a message box: its text.
std::string MessageBoxText(HWND box);

#endif
