#include "shell/password.h"

#include "shell/saver_main.h"

DWORD g_dwLastPasswordCheck = 0xFFFFFFFFu;
bool g_bInPasswordCheck = false;
bool g_bCloseAllowed = false;

namespace {

typedef BOOL(WINAPI* VerifyFn)(HWND);
typedef DWORD(WINAPI* ChangeFn)(LPCSTR, HWND, DWORD, DWORD);

HMODULE s_verifierLibrary = nullptr;
VerifyFn s_verifier = nullptr;
// Set from VerifyPassword's WM_APP until the window takes it: a WM_APP that anyone else
// sends or posts while the prompt is up must not reach the verifier.
bool s_bRequestSent = false;

// Prompts closer together than this are taken as one close request.
const DWORD kPromptGapMs = 200;

}  // namespace

void SetSaverRunning(bool running)
{
    if (!g_bWin9x) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &previous, 0);
}

void UnloadPasswordHook()
{
    if (!g_bWin9x || !s_verifierLibrary) return;
    FreeLibrary(s_verifierLibrary);
    s_verifierLibrary = nullptr;
    if (s_verifier) {
        s_verifier = nullptr;
        SetSaverRunning(false);
    }
}

void LoadPasswordHook()
{
    if (!g_bWin9x) return;
    if (s_verifierLibrary) UnloadPasswordHook();

    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) == ERROR_SUCCESS &&
        value != 0) {
        s_verifierLibrary = LoadLibraryA("PASSWORD.CPL");
        if (s_verifierLibrary) {
            s_verifier = reinterpret_cast<VerifyFn>(
                reinterpret_cast<void*>(GetProcAddress(s_verifierLibrary, "VerifyScreenSavePwd")));
            if (s_verifier)
                SetSaverRunning(true);
            else
                UnloadPasswordHook();
        }
    }
    RegCloseKey(key);
}

bool PasswordVerifierLoaded() { return s_verifier != nullptr; }

bool TakePasswordRequest()
{
    if (!g_bInPasswordCheck || !s_bRequestSent) return false;
    s_bRequestSent = false;
    return true;
}

BOOL AskPasswordVerifier(HWND window) { return s_verifier ? s_verifier(window) : TRUE; }

bool VerifyPassword(HWND window)
{
    if (g_bInPasswordCheck || g_bCloseAllowed) return false;
    if (!s_verifier) {
        g_bCloseAllowed = true;
        return true;
    }
    DWORD now = GetTickCount();
    if (g_dwLastPasswordCheck != 0xFFFFFFFFu && now - g_dwLastPasswordCheck < kPromptGapMs) return false;

    g_bInPasswordCheck = true;
    MSG msg;
    PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);

    // A message sent to a window of this thread goes straight to its procedure: nothing
    // else is handled between the flag and the request.
    s_bRequestSent = true;
    bool verdict = SendMessageA(window, WM_APP, 0, 0) != 0;
    s_bRequestSent = false;
    g_bCloseAllowed = verdict;
    g_bInPasswordCheck = false;
    if (!verdict) SetCursor(nullptr);
    g_dwLastPasswordCheck = GetTickCount();
    return verdict;
}

void ChangePasswordMode(HWND window)
{
    HWND owner = (window && IsWindow(window)) ? window : GetForegroundWindow();
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (!mpr) return;
    ChangeFn change =
        reinterpret_cast<ChangeFn>(reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA")));
    if (change) change("SCRSAVE", owner, 0, 0);
    FreeLibrary(mpr);
}
