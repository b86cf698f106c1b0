// Shared by the test-only provider libraries: they record each call under
// HKCU\Software\TiloTest\Fakes and take their answers from values there.
#ifndef TILO_TESTS_FAKES_FAKE_RECORD_H
#define TILO_TESTS_FAKES_FAKE_RECORD_H

#include <windows.h>

#define TILO_FAKES_KEY "Software\\TiloTest\\Fakes"

inline DWORD FakeGet(const char* name, DWORD fallback)
{
    DWORD value = fallback, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, TILO_FAKES_KEY, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return value;
}

inline void FakeSet(const char* name, DWORD value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, TILO_FAKES_KEY, name, REG_DWORD, &value, sizeof value);
}

inline void FakeSetText(const char* name, const char* text)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, TILO_FAKES_KEY, name, REG_SZ, text,
                    static_cast<DWORD>(lstrlenA(text) + 1));
}

// A real access violation, for the fault guard's end-to-end test.
inline void FakeFault() { *static_cast<volatile int*>(nullptr) = 1; }

#endif
