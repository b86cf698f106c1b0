// Process-wide registry store: select a key path, then read or write single values
// under it in one of three hives. No handle or cache is kept between operations.
#ifndef TILO_SUPPORT_SETTINGS_STORE_H
#define TILO_SUPPORT_SETTINGS_STORE_H

#include <windows.h>

#define TILO_PRODUCT_KEY "Software\\Corvane\\Tilo"

// Copies the path; with a window, its class name (cut to 39 characters) becomes the
// class given to keys that have to be created. Without a window the class stays.
void SelectKey(HWND window, const char* path);

// HKEY_CURRENT_USER, 32-bit values. A missing key or value, or one that is not a
// REG_DWORD of 4 bytes, reads as the default.
int ReadUserInt(const char* name, int defaultValue);
BOOL WriteUserInt(const char* name, int value);

// HKEY_LOCAL_MACHINE strings. Any failure, a value too long for the buffer included,
// leaves the default text (cut to the capacity) in the buffer. Returns the buffer.
char* ReadMachineString(const char* name, char* buffer, DWORD capacity, const char* defaultText);
BOOL WriteMachineString(const char* name, const char* text);

// The same through the wide interface, for texts of any script (a folder's name);
// capacity in characters. Value names are ASCII.
wchar_t* ReadMachineStringW(const char* name, wchar_t* buffer, DWORD capacity, const wchar_t* defaultText);
BOOL WriteMachineStringW(const char* name, const wchar_t* text);

// HKEY_CLASSES_ROOT string; an empty name reads the key's default value.
char* ReadClassesString(const char* name, char* buffer, DWORD capacity, const char* defaultText);

// The current selection, for callers that must restore it and for tests.
const char* CurrentKeyPath();
const char* CurrentKeyClass();

#endif
