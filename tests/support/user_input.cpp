#include "support/user_input.h"

#include "support/waiting.h"

void PressKey(WORD vk, bool alt)
{
    INPUT in[4] = {};
    int n = 0;
    auto add = [&](WORD key, DWORD flags) {
        in[n].type = INPUT_KEYBOARD;
        in[n].ki.wVk = key;
        in[n].ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        in[n].ki.dwFlags = flags;
        ++n;
    };
    if (alt) add(VK_MENU, 0);
    add(vk, 0);
    add(vk, KEYEVENTF_KEYUP);
    if (alt) add(VK_MENU, KEYEVENTF_KEYUP);
    SendInput(n, in, sizeof(INPUT));
    PumpFor(60);
}

void MovePointer(int x, int y)
{
    SetCursorPos(x, y);
    PumpFor(30);
}
