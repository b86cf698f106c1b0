// Waiting for the saver and its windows, with this thread's messages pumped meanwhile.
#ifndef TILO_TESTS_SUPPORT_WAITING_H
#define TILO_TESTS_SUPPORT_WAITING_H

#include <windows.h>

#include <functional>
#include <string>

#include "support/saver_process.h"

// Pumps this thread's messages for the time given (timeGetTime() milliseconds).
void PumpFor(DWORD milliseconds);
// Polls the condition (pumping this thread's messages) until it holds or time runs out.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// Polls for a top-level window of that class and title (either may be null), owned by
// the process when pid is non-zero.
HWND WaitForWindow(const char* cls, const char* title, DWORD milliseconds, DWORD pid = 0);
// Polls until the window is gone.
bool WaitWindowGone(HWND window, DWORD milliseconds);
// Full-screen saver window of the process, or null after the time.
HWND WaitForSaverWindow(const SaverProcess& p, DWORD milliseconds = 15000);
// The settings dialog of the process, or null after the time. Its caption starts with
// "Tilo Settings" and shows the frame rate once frames are drawn.
HWND WaitForConfigDialog(const SaverProcess& p, DWORD milliseconds = 15000);

// Waits for the process and every process it started (and those in turn), for programs
// that hand their work on and end, such as an uninstaller that runs from a copy of
// itself. The exit code of the last of them to end, or STILL_ACTIVE when time runs out.
DWORD WaitForProcessTree(HANDLE process, DWORD milliseconds);

// A window's text, asked of the window itself, so that an edit of another process gives
// its contents too; empty when its thread does not answer within 5 s.
std::string TextOf(HWND window);

// Waits until the window's thread answers: sent messages come before posted ones, so
// this does not prove that earlier posts were handled.
void SyncWith(HWND window);

#endif
