#include "support/process.h"

HINSTANCE g_hInstance = nullptr;
HMODULE g_hModule = nullptr;
