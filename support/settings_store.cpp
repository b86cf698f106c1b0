#include "support/settings_store.h"

#include <string.h>

namespace {

// The longest path in use has 49 characters; room is kept for longer test paths.
char s_keyPath[260];
char s_keyClass[40];

template <typename Char>
size_t Length(const Char* text)
{
    size_t n = 0;
    while (text[n]) ++n;
    return n;
}

template <typename Char>
void CopyText(Char* to, size_t capacity, const Char* from)
{
    if (capacity == 0) return;
    size_t n = from ? Length(from) : 0;
    if (n >= capacity) n = capacity - 1;
    if (n) memcpy(to, from, n * sizeof(Char));
    to[n] = 0;
}

HKEY OpenCurrent(HKEY hive)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(hive, s_keyPath, 0, s_keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

LONG Query(HKEY key, const char* name, char* buffer, DWORD* bytes)
{
    return RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), bytes);
}

// Value names are ASCII; the data is read through the wide interface, whole.
LONG Query(HKEY key, const char* name, wchar_t* buffer, DWORD* bytes)
{
    wchar_t wideName[256];
    if (!MultiByteToWideChar(CP_ACP, 0, name ? name : "", -1, wideName, 256)) return ERROR_INVALID_PARAMETER;
    return RegQueryValueExW(key, wideName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), bytes);
}

// capacity: in characters.
template <typename Char>
Char* ReadString(HKEY hive, const char* name, Char* buffer, DWORD capacity, const Char* defaultText)
{
    if (!buffer || capacity == 0) return buffer;
    bool ok = false;
    if (HKEY key = OpenCurrent(hive)) {
        DWORD bytes = capacity * sizeof(Char);
        if (Query(key, name, buffer, &bytes) == ERROR_SUCCESS) {
            // Stored data need not carry its terminator; a full buffer without one is
            // treated as too long rather than read past its end.
            DWORD size = bytes / sizeof(Char);
            if (size < capacity) {
                buffer[size] = 0;
                ok = true;
            } else if (size == capacity && buffer[size - 1] == 0) {
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

wchar_t* ReadMachineStringW(const char* name, wchar_t* buffer, DWORD capacity, const wchar_t* defaultText)
{
    return ReadString(HKEY_LOCAL_MACHINE, name, buffer, capacity, defaultText);
}

BOOL WriteMachineStringW(const char* name, const wchar_t* text)
{
    wchar_t wideName[256];
    if (!MultiByteToWideChar(CP_ACP, 0, name ? name : "", -1, wideName, 256)) return FALSE;
    HKEY key = OpenCurrent(HKEY_LOCAL_MACHINE);
    if (!key) return FALSE;
    if (!text) text = L"";
    LONG rc = RegSetValueExW(key, wideName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>((Length(text) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

char* ReadClassesString(const char* name, char* buffer, DWORD capacity, const char* defaultText)
{
    return ReadString(HKEY_CLASSES_ROOT, name, buffer, capacity, defaultText);
}

const char* CurrentKeyPath() { return s_keyPath; }
const char* CurrentKeyClass() { return s_keyClass; }
