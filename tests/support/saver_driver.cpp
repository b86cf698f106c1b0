#include "support/saver_driver.h"

#include <map>

#include "fakes/fake_record.h"
#include "shell/saver_window.h"
#include "support/settings_store.h"

HWND WaitForSaverWindow(const SaverProcess& p, DWORD milliseconds)
{
    return WaitForWindow(TILO_SAVER_CLASS, TILO_TITLE_SAVER, milliseconds, p.pid());
}

void SyncWith(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
}

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

namespace {

std::map<HWND, std::map<UINT, std::pair<int, WPARAM>>> s_records;

LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    auto& r = s_records[w][m];
    r.first++;
    r.second = wp;
    if (m == WM_HELP) return 1;
    return DefWindowProcA(w, m, wp, lp);
}

} // namespace

RecordingWindow::RecordingWindow(const char* title, int width, int height, DWORD style)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = "TiloRecordingWindow";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, title, style, 50, 50, width, height, nullptr, nullptr,
                            wc.hInstance, nullptr);
    s_records[hwnd_].clear();
    PumpFor(50);
}

RecordingWindow::~RecordingWindow()
{
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    s_records.erase(hwnd_);
}

int RecordingWindow::count(UINT message) const
{
    auto w = s_records.find(hwnd_);
    if (w == s_records.end()) return 0;
    auto m = w->second.find(message);
    return m == w->second.end() ? 0 : m->second.first;
}

WPARAM RecordingWindow::lastWParam(UINT message) const
{
    auto w = s_records.find(hwnd_);
    if (w == s_records.end()) return 0;
    auto m = w->second.find(message);
    return m == w->second.end() ? 0 : m->second.second;
}

Win98Mode::Win98Mode(const char* exeName, bool reportWin98)
    : key_(std::string("Software\\Wine\\AppDefaults\\") + exeName)
{
    if (reportWin98) RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), "Version", REG_SZ, "win98", 6);
    // Wine prefers its own MPR.DLL even from the program's folder.
    RegSetKeyValueA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), "mpr", REG_SZ, "native", 7);
}

Win98Mode::~Win98Mode() { DeleteTree(HKEY_CURRENT_USER, key_.c_str()); }

std::string SaverBesideFakes()
{
    std::string target = FakesDir() + "/Tilo.scr";
    CopyFileA(SaverPath().c_str(), target.c_str(), FALSE);
    return target;
}

void ResetFakes() { DeleteTree(HKEY_CURRENT_USER, TILO_FAKES_KEY); }

std::string MessageBoxText(HWND box)
{
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

ProductKeyBackup::ProductKeyBackup()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameLen = sizeof name, type = 0, value = 0, size = sizeof value;
            LONG rc = RegEnumValueA(key, i, name, &nameLen, nullptr, &type,
                                    reinterpret_cast<BYTE*>(&value), &size);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc == ERROR_SUCCESS && type == REG_DWORD) values_.emplace_back(name, value);
        }
        RegCloseKey(key);
    }
    DeleteTree(HKEY_CURRENT_USER, TILO_PRODUCT_KEY);
}

ProductKeyBackup::~ProductKeyBackup()
{
    DeleteTree(HKEY_CURRENT_USER, TILO_PRODUCT_KEY);
    for (const auto& v : values_) SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, v.first.c_str(), v.second);
}
