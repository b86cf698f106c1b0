#include "fakes/fake_record.h"

// "verify calls" counts the prompts, "verify window" keeps the window asked about,
// "verify tick" the tick count at the prompt; "verdict" is the answer (default refuse)
// and "verify fault" makes the prompt fault.
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    FakeSet("verify calls", FakeGet("verify calls", 0) + 1);
    FakeSet("verify window", static_cast<DWORD>(reinterpret_cast<UINT_PTR>(window)));
    FakeSet("verify tick", GetTickCount());
    if (FakeGet("verify fault", 0)) FakeFault();
    return FakeGet("verdict", 0) != 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) FakeSet("password loads", FakeGet("password loads", 0) + 1);
    if (reason == DLL_PROCESS_DETACH) FakeSet("password frees", FakeGet("password frees", 0) + 1);
    return TRUE;
}
