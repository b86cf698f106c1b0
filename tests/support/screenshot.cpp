#include "support/screenshot.h"

#include <math.h>
#include <stdio.h>

#include <algorithm>

#include "support/unix_command.h"
#include "support/waiting.h"

const char* Name(Hue h)
{
    const char* names[] = {"black", "white", "red", "orange", "green", "light blue", "dark blue", "other"};
    return names[static_cast<int>(h)];
}

Hue Classify(DWORD bgrx)
{
    const double b = (bgrx & 0xFF) / 255.0, g = ((bgrx >> 8) & 0xFF) / 255.0,
                 r = ((bgrx >> 16) & 0xFF) / 255.0;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (hi < 0.05) return Hue::Black;
    if (hi - lo < 0.25 * hi) return Hue::White;
    double h;
    if (hi == r)
        h = 60.0 * fmod((g - b) / (hi - lo) + 6.0, 6.0);
    else if (hi == g)
        h = 60.0 * ((b - r) / (hi - lo) + 2.0);
    else
        h = 60.0 * ((r - g) / (hi - lo) + 4.0);
    if (h >= 340.0 || h < 20.0) return Hue::Red;
    if (h < 70.0) return Hue::Orange;
    if (h >= 90.0 && h < 160.0) return Hue::Green;
    if (h >= 185.0 && h < 225.0) return Hue::LightBlue;
    if (h >= 225.0 && h < 260.0) return Hue::DarkBlue;
    return Hue::Other;
}

bool Screenshot::Capture()
{
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        ok = BitBlt(mem, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        pixels.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + width * height);
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool Screenshot::CaptureXScreen(const std::string& keepAs)
{
    char ppm[64], line[512];
    snprintf(ppm, sizeof ppm, "/tmp/tilo_xscreen_%lu.ppm", GetCurrentProcessId());
    int n = snprintf(line, sizeof line, "import -window root -depth 8 ppm:%s", ppm);
    if (!keepAs.empty())
        snprintf(line + n, sizeof line - n,
                 " && mkdir -p \\\"$TILO_BUILD_DIR/screenshots\\\" && convert %s "
                 "\\\"$TILO_BUILD_DIR/screenshots/%s.png\\\"",
                 ppm, keepAs.c_str());
    if (RunUnix(line) != 0) return false;
    std::string path = std::string("Z:") + ppm;
    for (char& c : path)
        if (c == '/') c = '\\';
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    int w = 0, h = 0, max = 0;
    bool ok = fscanf(f, "P6 %d %d %d", &w, &h, &max) == 3 && max == 255 && w > 0 && h > 0 && fgetc(f) != EOF;
    std::vector<unsigned char> rgb;
    if (ok) {
        rgb.resize(static_cast<size_t>(w) * h * 3);
        ok = fread(rgb.data(), 1, rgb.size(), f) == rgb.size();
    }
    fclose(f);
    DeleteFileA(path.c_str());
    if (!ok) return false;
    width = w;
    height = h;
    pixels.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (static_cast<DWORD>(rgb[3 * i]) << 16) | (static_cast<DWORD>(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
    return true;
}

bool SaveWindowPng(HWND window, const std::string& name)
{
    RECT rc;
    if (!GetWindowRect(window, &rc)) return false;
    char line[512];
    snprintf(line, sizeof line,
             "mkdir -p \\\"$TILO_BUILD_DIR/screenshots\\\" && import -window root -crop %ldx%ld+%ld+%ld "
             "\\\"$TILO_BUILD_DIR/screenshots/%s.png\\\"",
             rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top, name.c_str());
    return RunUnix(line) == 0;
}

bool Screenshot::SaveBmp(const std::string& path) const
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = -height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + bytes;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    fwrite(pixels.data(), 4, pixels.size(), f);
    fclose(f);
    return true;
}

namespace {

const int kGrid = 7;

RECT Within(const Screenshot& s, const RECT* area)
{
    RECT r = {0, 0, s.width, s.height};
    if (area) IntersectRect(&r, &r, area);
    return r;
}

int LitOnGrid(const Screenshot& s, const RECT& r)
{
    int lit = 0;
    for (int y = r.top; y < r.bottom; y += kGrid)
        for (int x = r.left; x < r.right; x += kGrid)
            if (s.at(x, y) & 0xFFFFFF) ++lit;
    return lit;
}

}  // namespace

ScreenMotion WatchScreen(DWORD apartMs, DWORD lightWithinMs, const RECT* area)
{
    Screenshot earlier, a, b;
    ScreenMotion m;
    if (!earlier.Capture()) return m;
    const RECT r = Within(earlier, area);
    const DWORD start = GetTickCount();
    while (a.Capture() && ((m.lit = LitOnGrid(a, r)) == 0 || a.pixels == earlier.pixels) &&
           GetTickCount() - start < lightWithinMs)
        PumpFor(50);
    PumpFor(apartMs);
    if (a.pixels.empty() || !b.Capture()) return ScreenMotion();
    for (int y = r.top; y < r.bottom; y += kGrid)
        for (int x = r.left; x < r.right; x += kGrid)
            if ((a.at(x, y) ^ b.at(x, y)) & 0xFFFFFF) ++m.changed;
    return m;
}
