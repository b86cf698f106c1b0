#include "support/settings_store.h"

#include <string.h>

namespace {

// The longest path in use has 49 characters; room is kept for longer test paths.
char s_keyPath[260];
char s_keyClass[40];

void CopyText(char* to, size_t capacity, const char* from)
{
    if (capacity == 0) return;
    if (!from) from = "";
    size_t n = strlen(from);
    if (n >= capacity) n = capacity - 1;
    memcpy(to, from, n);
    to[n] = '\0';
}

HKEY OpenCurrent(HKEY hive)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(hive, s_keyPath, 0, s_keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

char* ReadString(HKEY hive, const char* name, char* buffer, DWORD capacity, const char* defaultText)
{
    if (!buffer || capacity == 0) return buffer;
    bool ok = false;
    if (HKEY key = OpenCurrent(hive)) {
        DWORD size = capacity;
        DWORD type = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
            ERROR_SUCCESS) {
            // Stored data need not carry its terminator; a full buffer without one is
            // treated as too long rather than read past its end.
            if (size < capacity) {
                buffer[size] = '\0';
                ok = true;
            } else if (size == capacity && size > 0 && buffer[size - 1] == '\0') {
                ok = true;
            }
        }
        RegCloseKey(key);
    }
    if (!ok) CopyText(buffer, capacity, defaultText);
    return buffer;
}

}  // namespace

void SelectKey(HWND window, const char* path)
{
    CopyText(s_keyPath, sizeof s_keyPath, path);
    if (window) {
        char cls[256];
        if (GetClassNameA(window, cls, sizeof cls) > 0)
            CopyText(s_keyClass, sizeof s_keyClass, cls);
        else
            s_keyClass[0] = '\0';
    }
}

int ReadUserInt(const char* name, int defaultValue)
{
    int result = defaultValue;
    if (HKEY key = OpenCurrent(HKEY_CURRENT_USER)) {
        BYTE data[4];
        DWORD size = sizeof data;
        DWORD type = REG_NONE;
        // Only a REG_DWORD is a stored number. Four bytes of text or binary data would
        // read as some integer (the text "abc" as 6513249) and be written back as it.
        if (RegQueryValueExA(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS && type == REG_DWORD &&
            size == sizeof data)
            memcpy(&result, data, sizeof result);
        RegCloseKey(key);
    }
    return result;
}

BOOL WriteUserInt(const char* name, int value)
{
    HKEY key = OpenCurrent(HKEY_CURRENT_USER);
    if (!key) return FALSE;
    DWORD data = static_cast<DWORD>(value);
    LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

char* ReadMachineString(const char* name, char* buffer, DWORD capacity, const char* defaultText)
{
    return ReadString(HKEY_LOCAL_MACHINE, name, buffer, capacity, defaultText);
}

BOOL WriteMachineString(const char* name, const char* text)
{
    HKEY key = OpenCurrent(HKEY_LOCAL_MACHINE);
    if (!key) return FALSE;
    if (!text) text = "";
    LONG rc = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

char* ReadClassesString(const char* name, char* buffer, DWORD capacity, const char* defaultText)
{
    return ReadString(HKEY_CLASSES_ROOT, name, buffer, capacity, defaultText);
}

const char* CurrentKeyPath() { return s_keyPath; }
const char* CurrentKeyClass() { return s_keyClass; }
