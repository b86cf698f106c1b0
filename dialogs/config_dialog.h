// The settings dialog, resource 2003: the second host of the animation, beside the
// saver window, with the animation live in its frame. Opened by the shell through
// ShowConfigDialog (shell/saver_hooks.h); its result is 1 whichever way it is left, and
// only OK writes the registry.
#ifndef TILO_DIALOGS_CONFIG_DIALOG_H
#define TILO_DIALOGS_CONFIG_DIALOG_H

#include <windows.h>

#include "animation/module_math.h"
#include "shell/saver_hooks.h"

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The module controls over a table of slots 0..count: the process's own table
// (MODULE_COUNT modules) in the dialog, larger ones in the tests. The template has
// controls for modules 1 to 5; the ids of modules 6 to 10 name none.

// Each module's box shows its active flag; boxes above count show unchecked.
void ShowModuleFlags(HWND dialog, const ModuleParams* table, int count);
// A command of a module's box or button, "Enable All" or "Disable All": false for any
// other id. Those of modules above count change nothing.
bool ModuleCommand(HWND dialog, int id, ModuleParams* table, int count);

#endif
