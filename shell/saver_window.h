// The saver window for full-screen and preview runs, and the shell's two layers of
// message handling around the application's SaverProc.
#ifndef TILO_SHELL_SAVER_WINDOW_H
#define TILO_SHELL_SAVER_WINDOW_H

#include <windows.h>

#define TILO_SAVER_CLASS "WindowsScreenSaverClass"
#define TILO_TITLE_SAVER "Screen Saver"
#define TILO_TITLE_PREVIEW "Preview"

extern HWND g_hSaverWnd;
extern bool g_bPreview;
extern POINT g_ptMouseRef;
extern unsigned g_nMouseThreshold;  // pixels, horizontal plus vertical distance
extern bool g_bForgiveMouse;        // the next over-threshold movement only moves the reference

// The whole life of the window; returns the exit code. parent null: full screen.
int RunSaver(HWND parent);

// Where the full-screen window lies: the virtual screen, which holds every monitor (its
// origin lies left of or above the primary monitor's when a monitor does); the primary
// monitor on a system that has no virtual screen.
void ScreenToCover(int* x, int* y, int* width, int* height);

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The full-screen saver window that runs now, ours or another product's (found by class
// and title), or null.
HWND FindRunningSaver();
// True for a window of the saver class and for any window it owns, directly or not.
bool BelongsToSaverWindow(HWND window);
// Asks a running full-screen saver to close, as input would, and waits up to 5 s for
// its window to go. The settings then show on top, and read the view it stored.
void CloseRunningSaver();

// The movement rule starts again from where the pointer is now: after a dialog of the
// saver let the pointer move freely, returning to the animation does not end it.
void RestartMovementRule();

// On the Windows 95/98/Me family with a password in force, asks for it (a request while
// the prompt is up, or within 200 ms of its end, is refused without asking): true when
// the saver may close. A refusal makes the movement rule start again from the pointer.
// Elsewhere, in preview and once closing is allowed, true at once.
bool PasswordAllowsClose(HWND window);

// The movement rule: true when the cursor at `now` has drifted further than the
// threshold from the reference (sum of both distances, compared unsigned).
bool MovedPastThreshold(POINT reference, POINT now, unsigned threshold);

#endif
