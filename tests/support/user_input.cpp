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

void ClickAt(int x, int y)
{
    MovePointer(x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    PumpFor(60);
}

void Click(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
