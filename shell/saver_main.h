// Process entry and run-mode dispatch.
#ifndef TILO_SHELL_SAVER_MAIN_H
#define TILO_SHELL_SAVER_MAIN_H

#include <windows.h>

extern bool g_bWin9x;  // the Windows 95/98/Me family

// Never returns: ends the process with the run's exit code.
[[noreturn]] void SkipProgramName();

// Runs one mode under the fault guard and returns its exit code (-1 after a fault).
int SaverMain(HINSTANCE instance, HINSTANCE ignored, const char* args, int show);

#endif
