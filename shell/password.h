// The Windows 95/98/Me screen saver password machinery; inert on every other system.
#ifndef TILO_SHELL_PASSWORD_H
#define TILO_SHELL_PASSWORD_H

#include <windows.h>

extern DWORD g_dwLastPasswordCheck;  // tick count at the end of the last prompt; ~0 = never
extern bool g_bInPasswordCheck;      // a prompt is up
extern bool g_bCloseAllowed;         // closing is allowed; input then goes to the defaults

void LoadPasswordHook();
void UnloadPasswordHook();
bool VerifyPassword(HWND window);
void SetSaverRunning(bool running);
void ChangePasswordMode(HWND window);

// The verifier's verdict for the window, or true when none is loaded; used by the
// shell to answer the request that VerifyPassword sends.
BOOL AskPasswordVerifier(HWND window);
// True once for the WM_APP that VerifyPassword sends, and for no other WM_APP: the
// verifier is asked once per prompt, whatever else arrives while the prompt is up.
bool TakePasswordRequest();
bool PasswordVerifierLoaded();

#endif
