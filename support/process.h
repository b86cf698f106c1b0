// The process's handles, shared by every layer.
#ifndef TILO_SUPPORT_PROCESS_H
#define TILO_SUPPORT_PROCESS_H

#include <windows.h>

extern HINSTANCE g_hInstance;  // the executable's instance: dialogs, icons, the bitmap
extern HMODULE g_hModule;      // the executable's module, where the music resource is found

#endif
