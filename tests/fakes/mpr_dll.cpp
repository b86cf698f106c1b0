#include "fakes/fake_record.h"

// Records the provider name and the owner window of each change request; "change
// fault" makes the request fault.
extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD a, DWORD b)
{
    FakeSet("change calls", FakeGet("change calls", 0) + 1);
    FakeSetText("change provider", provider ? provider : "(null)");
    FakeSet("change owner", static_cast<DWORD>(reinterpret_cast<UINT_PTR>(owner)));
    FakeSet("change extra", a | b);
    if (FakeGet("change fault", 0)) FakeFault();
    return 0;
}
