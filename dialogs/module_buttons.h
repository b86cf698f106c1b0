// The configuration dialog's module preview buttons, as the view keys step through
// the modules.
#ifndef TILO_DIALOGS_MODULE_BUTTONS_H
#define TILO_DIALOGS_MODULE_BUTTONS_H

#include <windows.h>

// Checks the button of the module and unchecks the others; a module outside
// 1..IDC_MODULE_SLOTS (0 stands for none on show) leaves them all unchecked.
void MarkModuleButton(HWND dialog, int module);

#endif
