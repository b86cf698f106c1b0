// The frame-rate warning, template 2005, which the frame-rate monitor opens over a slow
// full-screen run, and the scheduling of the product's removal it offers.
#ifndef TILO_DIALOGS_FRAMERATE_DIALOG_H
#define TILO_DIALOGS_FRAMERATE_DIALOG_H

#include <windows.h>

#define TILO_RUNONCE_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"
#define TILO_REMOVAL_VALUE "kill_saver"  // then "kill_saver1", "kill_saver2", ...

// The dialog's result: 1, or kFrameWarningTurnedOff when Continue stored
// "disable_frame_warn" = 1 (or tried to: the warning stays off for the run either way).
constexpr INT_PTR kFrameWarningTurnedOff = 2;

// Opens the warning modally, owned by the window, with the measured rate in frames per
// second in its caption. The user's verdict is left in g_bContinue (shell/saver_hooks.h).
INT_PTR ShowFrameRateWarning(HWND owner, float framesPerSecond);

// WM_INITDIALOG's parameter points to the rate, a float.
INT_PTR CALLBACK FrameRateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the uninstaller in the installation folder ("install_dir" in the machine's
// product key) to run once at the next logon, under the first free RunOnce name, and
// tells the user in a box owned by the dialog; when a RunOnce value already starts that
// uninstaller, nothing more is written and the box says that the removal is already
// scheduled. When there is no usable folder, no uninstaller in it, or no right to read
// the folder's record or to write the value, nothing is registered and the box says
// which (naming the right denied) and how to remove the product instead. True when the
// removal is scheduled.
bool ScheduleRemoval(HWND dialog);

#endif
