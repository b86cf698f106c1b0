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

LONG s_lastResult = ERROR_SUCCESS;

// Opens the current key for one query. A missing key is created where the account may
// create it; where it may not, the read finds nothing there, which is no lack of a right
// to read. Null, with s_lastResult set, when there is nothing to query.
HKEY OpenToQuery(HKEY hive)
{
    HKEY key = nullptr;
    s_lastResult = RegOpenKeyExA(hive, s_keyPath, 0, KEY_QUERY_VALUE, &key);
    if (s_lastResult == ERROR_FILE_NOT_FOUND &&
        RegCreateKeyExA(hive, s_keyPath, 0, s_keyClass, REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS)
        s_lastResult = ERROR_SUCCESS;
    return s_lastResult == ERROR_SUCCESS ? key : nullptr;
}

// Opens the current key, creating it when it is missing, for one set.
HKEY OpenToSet(HKEY hive)
{
    HKEY key = nullptr;
    s_lastResult = RegCreateKeyExA(hive, s_keyPath, 0, s_keyClass, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                   nullptr, &key, nullptr);
    return s_lastResult == ERROR_SUCCESS ? key : nullptr;
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
    if (!buffer || capacity == 0) {
        s_lastResult = ERROR_INVALID_PARAMETER;
        return buffer;
    }
    if (HKEY key = OpenToQuery(hive)) {
        DWORD bytes = capacity * sizeof(Char);
        s_lastResult = Query(key, name, buffer, &bytes);
        if (s_lastResult == ERROR_SUCCESS) {
            // Stored data need not carry its terminator; a full buffer without one is
            // treated as too long rather than read past its end.
            DWORD size = bytes / sizeof(Char);
            if (size < capacity)
                buffer[size] = 0;
            else if (buffer[size - 1] != 0)
                s_lastResult = ERROR_MORE_DATA;
        }
        RegCloseKey(key);
    }
    if (s_lastResult != ERROR_SUCCESS) CopyText(buffer, capacity, defaultText);
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
    if (HKEY key = OpenToQuery(HKEY_CURRENT_USER)) {
        BYTE data[4];
        DWORD size = sizeof data;
        DWORD type = REG_NONE;
        s_lastResult = RegQueryValueExA(key, name, nullptr, &type, data, &size);
        // Only a REG_DWORD is a stored number. Four bytes of text or binary data would
        // read as some integer (the text "abc" as 6513249) and be written back as it.
        if (s_lastResult == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof data))
            s_lastResult = ERROR_INVALID_DATA;
        if (s_lastResult == ERROR_SUCCESS) memcpy(&result, data, sizeof result);
        RegCloseKey(key);
    }
    return result;
}

BOOL WriteUserInt(const char* name, int value)
{
    HKEY key = OpenToSet(HKEY_CURRENT_USER);
    if (!key) return FALSE;
    DWORD data = static_cast<DWORD>(value);
    s_lastResult = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return s_lastResult == ERROR_SUCCESS;
}

char* ReadMachineString(const char* name, char* buffer, DWORD capacity, const char* defaultText)
{
    return ReadString(HKEY_LOCAL_MACHINE, name, buffer, capacity, defaultText);
}

BOOL WriteMachineString(const char* name, const char* text)
{
    HKEY key = OpenToSet(HKEY_LOCAL_MACHINE);
    if (!key) return FALSE;
    if (!text) text = "";
    s_lastResult = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                  static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(key);
    return s_lastResult == ERROR_SUCCESS;
}

wchar_t* ReadMachineStringW(const char* name, wchar_t* buffer, DWORD capacity, const wchar_t* defaultText)
{
    return ReadString(HKEY_LOCAL_MACHINE, name, buffer, capacity, defaultText);
}

BOOL WriteMachineStringW(const char* name, const wchar_t* text)
{
    wchar_t wideName[256];
    if (!MultiByteToWideChar(CP_ACP, 0, name ? name : "", -1, wideName, 256)) return FALSE;
    HKEY key = OpenToSet(HKEY_LOCAL_MACHINE);
    if (!key) return FALSE;
    if (!text) text = L"";
    s_lastResult = RegSetValueExW(key, wideName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                  static_cast<DWORD>((Length(text) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return s_lastResult == ERROR_SUCCESS;
}

char* ReadClassesString(const char* name, char* buffer, DWORD capacity, const char* defaultText)
{
    return ReadString(HKEY_CLASSES_ROOT, name, buffer, capacity, defaultText);
}

LONG LastStoreResult() { return s_lastResult; }
const char* CurrentKeyPath() { return s_keyPath; }
const char* CurrentKeyClass() { return s_keyClass; }
