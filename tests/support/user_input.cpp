#include "support/user_input.h"

#include <string.h>

#include "support/unix_command.h"
#include "support/waiting.h"

namespace {

bool ToFront(HWND window)
{
    SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
}

bool Xdo(HWND window, const std::string& arguments)
{
    if (!ToFront(window)) return false;
    bool ok = RunUnix(("xdotool " + arguments).c_str()) == 0;
    PumpFor(50);
    return ok;
}

}  // namespace

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

bool XInput(const std::string& xdotoolCommand)
{
    bool ok = RunUnix(("xdotool " + xdotoolCommand).c_str()) == 0;
    PumpFor(50);
    return ok;
}

bool XKeyboardAt(HWND window)
{
    char title[256] = {};
    if (GetWindowTextA(window, title, sizeof title) <= 0 || strchr(title, '\'')) return false;
    const std::string command =
        std::string("xdotool getwindowfocus getwindowname | grep -qxF '") + title + "'";
    return RunUnix(command.c_str()) == 0;
}

bool XdoKeys(HWND window, const std::string& keys) { return Xdo(window, "key --delay 40 " + keys); }

bool XdoType(HWND window, const std::string& text)
{
    // Single-quoted for the shell; a quote in the text is closed, escaped and reopened.
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return Xdo(window, "type --delay 20 " + quoted + "'");
}

bool XdoClick(HWND control)
{
    RECT rc;
    if (!GetWindowRect(control, &rc)) return false;
    return Xdo(GetAncestor(control, GA_ROOT), "mousemove --sync " + std::to_string((rc.left + rc.right) / 2) +
                                                  " " + std::to_string((rc.top + rc.bottom) / 2) +
                                                  " click 1");
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
