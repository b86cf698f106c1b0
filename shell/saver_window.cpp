#include "shell/saver_window.h"

#include <string.h>

#include "shell/password.h"
#include "shell/saver_hooks.h"
#include "shell/saver_main.h"
#include "support/process.h"

HWND g_hSaverWnd = nullptr;
bool g_bPreview = false;
POINT g_ptMouseRef = {0, 0};
unsigned g_nMouseThreshold = 100;
bool g_bForgiveMouse = false;

namespace {

typedef HIMC(WINAPI* AssociateFn)(HWND, HIMC);

HIMC s_savedImeContext = nullptr;

// Held from the search for a running saver until this process's saver window exists,
// so that of two full-screen starts at the same moment the second finds the first.
const char kFullScreenStartLock[] = "Corvane Tilo full-screen start";
const DWORD kStartLockWaitMs = 10000;
const DWORD kSaverCloseWaitMs = 5000;

// The lock, held; null when it could not be had within the wait, and the search then
// goes on without it. An abandoned lock (its holder was killed) is held all the same.
HANDLE TakeStartLock()
{
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kFullScreenStartLock);
    if (!mutex) return nullptr;
    DWORD w = WaitForSingleObject(mutex, kStartLockWaitMs);
    if (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED) return mutex;
    CloseHandle(mutex);
    return nullptr;
}

void ReleaseStartLock(HANDLE mutex)
{
    if (!mutex) return;
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

AssociateFn ImeAssociate()
{
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    if (!imm) return nullptr;
    return reinterpret_cast<AssociateFn>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmAssociateContext")));
}

void ApplyMovementRule(HWND window)
{
    POINT now;
    if (!GetCursorPos(&now)) return;
    if (!MovedPastThreshold(g_ptMouseRef, now, g_nMouseThreshold)) return;
    if (g_bForgiveMouse && g_bContinue)
        g_bForgiveMouse = false;
    else
        PostMessageA(window, WM_CLOSE, 0, 0);
    g_ptMouseRef = now;
}

// Another window was in front when the full-screen window was made: it may hold the
// keyboard.
bool s_keyboardElsewhere = false;

// Gives the shown full-screen window the keyboard. It became the foreground window while
// it was being made, still hidden, so that keys pressed during the set-up reach it; a
// window that shows as the foreground one normally has the keyboard then. Wine without a
// window manager hands the X keyboard to a window only when the focus changes, and a
// window not yet on the screen cannot take it: the X keyboard stayed with the window in
// front before (another program's), and Esc went there. Taking the focus away and giving
// it back, now that the window shows, hands it over; where it had followed (on Windows,
// under a window manager) the window merely has it again. With no window in front before,
// X gives the keys to the window under the pointer, the saver's: nothing to hand over.
void TakeKeyboard(HWND window)
{
    SetForegroundWindow(window);
    if (!s_keyboardElsewhere) return;
    SetFocus(nullptr);
    SetFocus(window);
}

}  // namespace

void ScreenToCover(int* x, int* y, int* width, int* height)
{
    *x = GetSystemMetrics(SM_XVIRTUALSCREEN);
    *y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    *width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    *height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (*width > 0 && *height > 0) return;
    // A system that knows no virtual screen (Windows 95, NT 4) has one monitor.
    *x = *y = 0;
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

void RestartMovementRule() { GetCursorPos(&g_ptMouseRef); }

bool PasswordAllowsClose(HWND window)
{
    if (g_bPreview || g_bCloseAllowed || !g_bWin9x) return true;
    if (VerifyPassword(window)) return true;
    RestartMovementRule();
    return false;
}

HWND FindRunningSaver()
{
    HWND running = FindWindowA(TILO_SAVER_CLASS, TILO_TITLE_SAVER);
    return running && IsWindow(running) ? running : nullptr;
}

bool BelongsToSaverWindow(HWND window)
{
    for (HWND w = window; w; w = GetWindow(w, GW_OWNER)) {
        char cls[sizeof TILO_SAVER_CLASS + 1];
        if (GetClassNameA(w, cls, sizeof cls) > 0 && strcmp(cls, TILO_SAVER_CLASS) == 0) return true;
    }
    return false;
}

void CloseRunningSaver()
{
    HWND running = FindRunningSaver();
    if (!running) return;
    PostMessageA(running, WM_CLOSE, 0, 0);
    // A saver that stays (its password refused) is left alone after the wait.
    DWORD start = GetTickCount();
    while (IsWindow(running) && GetTickCount() - start < kSaverCloseWaitMs) Sleep(20);
}

bool MovedPastThreshold(POINT reference, POINT now, unsigned threshold)
{
    // 64-bit differences: screen coordinates far apart cannot wrap into a small distance.
    long long dx = static_cast<long long>(now.x) - reference.x;
    long long dy = static_cast<long long>(now.y) - reference.y;
    unsigned long long d = static_cast<unsigned long long>(dx < 0 ? -dx : dx) +
                           static_cast<unsigned long long>(dy < 0 ? -dy : dy);
    return d > threshold;
}

int RunSaver(HWND parent)
{
    WNDCLASSA cls = {};
    cls.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    cls.lpfnWndProc = ShellWindowProc;
    cls.hInstance = g_hInstance;
    cls.hIcon = LoadIconA(g_hInstance, MAKEINTRESOURCEA(100));
    cls.hCursor = nullptr;
    cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    cls.lpszClassName = TILO_SAVER_CLASS;

    DWORD style, exStyle;
    const char* title;
    int x = 0, y = 0, width, height;
    HANDLE lock = nullptr;
    if (parent) {
        RECT rc = {};
        GetClientRect(parent, &rc);
        g_bPreview = true;
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        exStyle = 0;
        title = TILO_TITLE_PREVIEW;
        width = rc.right;
        height = rc.bottom;
    } else {
        ScreenToCover(&x, &y, &width, &height);
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        exStyle = WS_EX_TOPMOST;
        title = TILO_TITLE_SAVER;
        lock = TakeStartLock();
        if (HWND running = FindRunningSaver()) {
            ReleaseStartLock(lock);
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordHook();
    }

    int result = -1;
    if (RegisterClassA(&cls)) {
        g_hSaverWnd = CreateWindowExA(exStyle, TILO_SAVER_CLASS, title, style, x, y, width, height, parent,
                                      nullptr, g_hInstance, nullptr);
    }
    ReleaseStartLock(lock);  // the window can be found from here on, or there is none
    if (g_hSaverWnd) {
        if (!parent) TakeKeyboard(g_hSaverWnd);
        MSG msg;
        BOOL got;
        result = 0;
        while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
            if (got == -1) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (got == 0) result = static_cast<int>(msg.wParam);
    }
    UnloadPasswordHook();
    return result;
}

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        // Keys go to the foreground window. The window can be found from here on, and
        // the saver's set-up takes a few hundred milliseconds, in which a key meant to
        // end it would otherwise reach the window that was in front before, or none.
        if (!g_bPreview) {
            HWND before = GetForegroundWindow();
            s_keyboardElsewhere = before && before != GetDesktopWindow();
            SetForegroundWindow(window);
        }
        if (AssociateFn associate = ImeAssociate()) s_savedImeContext = associate(window, nullptr);
        GetCursorPos(&g_ptMouseRef);
        if (!g_bPreview) SetCursor(nullptr);
        break;
    }
    case WM_DESTROY: {
        AssociateFn associate = ImeAssociate();
        if (associate && s_savedImeContext) associate(window, s_savedImeContext);
        PostQuitMessage(0);
        break;
    }
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (g_bCloseAllowed) return DefWindowProcA(window, message, wParam, lParam);
        if (!g_bPreview) SetCursor(nullptr);
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (g_bPreview) {
            HWND parent = GetParent(window);
            if (parent && IsWindow(parent))
                PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
            return 1;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (g_bCloseAllowed) return DefWindowProcA(window, message, wParam, lParam);
        break;
    case WM_DISPLAYCHANGE:
        // Monitors came or went, or one changed its resolution: the full-screen window
        // covers the new virtual screen. The system may have moved the pointer into the
        // new screen; that is no movement of the user's.
        if (!g_bPreview) {
            int x, y, width, height;
            ScreenToCover(&x, &y, &width, &height);
            SetWindowPos(window, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE);
            RestartMovementRule();
        }
        break;
    case WM_SYSCOMMAND:
        if (!g_bPreview && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
            return 0;
        break;
    case WM_TIMER:
        if (g_bCloseAllowed) return 0;
        Sleep(0);
        break;
    default:
        break;
    }
    return SaverProc(window, message, wParam, lParam);
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_bPreview || g_bCloseAllowed) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CLOSE:
        if (!PasswordAllowsClose(window)) return 0;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_APP:
        if (TakePasswordRequest()) return AskPasswordVerifier(window);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        break;
    }
    if (g_bInPasswordCheck) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_SHOWWINDOW:
        if (wParam) SetCursor(nullptr);
        break;
    case WM_MOUSEMOVE:
        ApplyMovementRule(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
