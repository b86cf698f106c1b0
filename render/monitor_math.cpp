#include "render/monitor_math.h"

namespace {

int Larger(int a, int b) { return a > b ? a : b; }
int Smaller(int a, int b) { return a < b ? a : b; }

bool SameViewport(const Viewport& a, const Viewport& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool SameRect(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A monitor that lies wholly inside another, larger one (a projector cloned at the
// origin of a larger screen) shows part of that one's picture.
bool InsideAnother(const ScreenRect* monitors, int count, int i)
{
    const ScreenRect& m = monitors[i];
    for (int j = 0; j < count; ++j) {
        const ScreenRect& o = monitors[j];
        if (j != i && !SameRect(o, m) && o.left <= m.left && o.top <= m.top && m.right <= o.right &&
            m.bottom <= o.bottom)
            return true;
    }
    return false;
}

}  // namespace

int MonitorViewports(const ScreenRect* monitors, int count, const ScreenRect& client, Viewport* out, int max)
{
    int written = 0;
    for (int i = 0; i < count && written < max; ++i) {
        const ScreenRect& m = monitors[i];
        if (InsideAnother(monitors, count, i)) continue;
        // The part of the monitor inside the client area. Differences are taken in 64
        // bits: rectangles at opposite ends of the coordinate range cannot wrap.
        const int left = Larger(m.left, client.left), right = Smaller(m.right, client.right);
        const int top = Larger(m.top, client.top), bottom = Smaller(m.bottom, client.bottom);
        if (left >= right || top >= bottom) continue;
        Viewport v;
        v.x = static_cast<int>(static_cast<long long>(left) - client.left);
        v.width = static_cast<int>(static_cast<long long>(right) - left);
        v.height = static_cast<int>(static_cast<long long>(bottom) - top);
        // OpenGL counts rows from the bottom of the window.
        v.y = static_cast<int>(static_cast<long long>(client.bottom) - bottom);
        bool mirror = false;
        for (int j = 0; j < written && !mirror; ++j) mirror = SameViewport(out[j], v);
        if (!mirror) out[written++] = v;
    }
    return written;
}

bool FillsClientArea(const Viewport* viewports, int count, const ScreenRect& client)
{
    if (count != 1) return false;
    const Viewport& v = viewports[0];
    return v.x == 0 && v.y == 0 && static_cast<long long>(v.width) == static_cast<long long>(client.right) - client.left &&
           static_cast<long long>(v.height) == static_cast<long long>(client.bottom) - client.top;
}
