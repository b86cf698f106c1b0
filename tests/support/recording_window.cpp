#include "support/recording_window.h"

#include <map>

#include "support/waiting.h"

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

}  // namespace

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
