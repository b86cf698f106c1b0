#include "fakes/fake_record.h"

// "verify calls" counts the prompts and "verify returns" the prompts answered, "verify
// window" keeps the window asked about, "verify tick" the tick count at the prompt;
// "verdict" is the answer (default refuse) and "verify fault" makes the prompt fault.
// While "verify hold" is set the prompt stays up (for at most 20 s) and runs the
// thread's messages, as the modal password dialog does.
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    FakeSet("verify calls", FakeGet("verify calls", 0) + 1);
    FakeSet("verify window", static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));
    FakeSet("verify tick", GetTickCount());
    if (FakeGet("verify fault", 0)) FakeFault();
    const DWORD start = GetTickCount();
    for (bool held = FakeGet("verify hold", 0) != 0; held;) {
        // What was posted before the hold was lifted is handled before the prompt ends.
        held = FakeGet("verify hold", 0) != 0 && GetTickCount() - start < 20000;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (held) Sleep(10);
    }
    BOOL verdict = FakeGet("verdict", 0) != 0;
    FakeSet("verify returns", FakeGet("verify returns", 0) + 1);
    return verdict;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) FakeSet("password loads", FakeGet("password loads", 0) + 1);
    if (reason == DLL_PROCESS_DETACH) FakeSet("password frees", FakeGet("password frees", 0) + 1);
    return TRUE;
}
