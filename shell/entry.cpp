#include <windows.h>

#include "shell/saver_main.h"

// The runtime's arguments are not used: the command line is read raw, and the process
// ends through ExitProcess with the run's result.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SkipProgramName(); }
