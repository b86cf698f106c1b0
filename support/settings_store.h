// Process-wide registry store: select a key path, then read or write single values
// under it in one of three hives. No handle or cache is kept between operations.
//
// Each operation asks only for the right it uses: a read for the right to query the key,
// a write for the right to set its values. So an account that may read the machine's
// keys and the classes root but not change them (any account that is not an
// administrator) reads them all the same. A key that is missing is created (with the
// selected window's class) by a write, and by a read where the account may create it,
// so that the first read of the product key in the user's hive leaves it there.
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

// The registry's answer to the last read or write: ERROR_SUCCESS when the value was read
// or stored; otherwise why not, ERROR_FILE_NOT_FOUND for a key or value that is not
// there (also a key that a read could not create), ERROR_ACCESS_DENIED for a right the
// account lacks, ERROR_MORE_DATA for a value too long for the buffer, ERROR_INVALID_DATA
// for data of another type or size than the read takes, ERROR_INVALID_PARAMETER for a
// buffer of no bytes. For callers that tell the user
// why something could not be done.
LONG LastStoreResult();

// The current selection, for callers that must restore it and for tests.
const char* CurrentKeyPath();
const char* CurrentKeyClass();

#endif
