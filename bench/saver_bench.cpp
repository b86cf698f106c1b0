// Figures of the full-screen saver under Wine, each from a process of its own:
//   saver_bench frames SECONDS     the saver's own loop without the 30 ms floor
//   saver_bench bare SECONDS       the same eight display lists in a tight loop, once per
//                                  monitor in the saver's viewports where it has several
//   saver_bench first              process start to the saver's first swapped frame
//   saver_bench barefirst          process start to a bare program's first swapped frame
//   saver_bench paced SECONDS      the saver at its 30 ms pace: frames and CPU used
//   saver_bench dark SECONDS       the same with the displays reported off after the
//                                  first frames: the CPU used while nothing is drawn
//   saver_bench copied SECONDS     module-1 frames in the settings dialog's frame, drawn
//                                  off screen and copied in (the path taken under Wine)
//   saver_bench direct SECONDS     the same frames drawn into the frame itself (the plain
//                                  path), each split into drawing and showing
// Each prints one line "name value unit ..." for the script beside it.
#include <windows.h>
#include <commctrl.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "animation/frame_pump.h"
#include "animation/modules.h"
#include "render/gl_context.h"
#include "render/mesh_lists.h"
#include "render/monitors.h"
#include "render/scene.h"
#include "resources/resource.h"
#include "shell/saver_window.h"
#include "support/process.h"
#include "support/saver_process.h"
#include "support/settings_store.h"

namespace {

double NowMs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return 1000.0 * static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Milliseconds since this process was created, on the system clock.
double SinceProcessStartMs()
{
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER a, b;
    a.LowPart = created.dwLowDateTime;
    a.HighPart = created.dwHighDateTime;
    b.LowPart = now.dwLowDateTime;
    b.HighPart = now.dwHighDateTime;
    return static_cast<double>(b.QuadPart - a.QuadPart) / 10000.0;
}

double CpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<double>(k.QuadPart + u.QuadPart) / 10000.0;
}

// Watches the saver from a second thread and closes it. It naps between its looks: a
// thread spinning in the saver's process would take a core from the saver's own
// threads (the interface thread and llvmpipe's), which the bare program never shares.
struct Watch {
    DWORD closeAfterMs;  // after the first frame
    bool stopAtFirstFrame;
    bool displaysOff = false;
    double firstFrameMs = -1;  // since process start
    unsigned framesAtStart = 0, framesAtEnd = 0;
    double startMs = 0, endMs = 0, cpuStart = 0, cpuEnd = 0;

    static DWORD WINAPI Run(LPVOID p)
    {
        Watch* w = static_cast<Watch*>(p);
        while (g_nFramesShown == 0) Sleep(1);
        w->firstFrameMs = SinceProcessStartMs();
        if (!w->stopAtFirstFrame) {
            // Frames after the first few: the lists are compiled by then.
            while (g_nFramesShown < 5) Sleep(1);
            if (w->displaysOff) {
                // As the system reports it: the console display state, 0 for off.
                struct {
                    GUID setting;
                    DWORD length, state;
                } off = {{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, 4, 0};
                SendMessageA(g_hSaverWnd, WM_POWERBROADCAST, 0x8013 /* PBT_POWERSETTINGCHANGE */,
                             reinterpret_cast<LPARAM>(&off));
                Sleep(9000);  // the plays under way end: the chant lasts 8.2 s
            }
            w->framesAtStart = g_nFramesShown;
            w->startMs = NowMs();
            w->cpuStart = CpuMs();
            Sleep(w->closeAfterMs);
            w->framesAtEnd = g_nFramesShown;
            w->endMs = NowMs();
            w->cpuEnd = CpuMs();
        }
        PostMessageA(g_hSaverWnd, WM_CLOSE, 0, 0);
        return 0;
    }
};

void RunWatchedSaver(Watch& watch)
{
    g_hInstance = GetModuleHandleA(nullptr);
    HANDLE t = CreateThread(nullptr, 0, Watch::Run, &watch, 0, nullptr);
    RunSaver(nullptr);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
}

HWND BareWindow()
{
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "TiloBareGL";
    RegisterClassA(&wc);
    int x, y, width, height;
    ScreenToCover(&x, &y, &width, &height);  // the saver's own window: every monitor
    HWND w = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "bare", WS_POPUP | WS_VISIBLE, x, y, width,
                             height, nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return w;
}

// The module-1 frame with nothing around it: clear, place, call the lists, swap. On
// several monitors: one clear of the whole window, then in each monitor's viewport
// (held to it by the scissor) its projection and the lists.
void BareFrame(float spin)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const int passes = MonitorViewportCount();
    if (passes > 0) glEnable(GL_SCISSOR_TEST);
    for (int i = 0; i < (passes > 0 ? passes : 1); ++i) {
        if (passes > 0) {
            const Viewport v = MonitorViewportAt(i);
            glScissor(v.x, v.y, v.width, v.height);
            glViewport(v.x, v.y, v.width, v.height);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(50.0, static_cast<double>(v.width) / v.height, 0.1, 1000.0);
            glMatrixMode(GL_MODELVIEW);
        }
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -41.0f);
        glRotatef(-spin, 0.0f, 1.0f, 0.0f);
        DrawAllMeshes();
    }
    if (passes > 0) glDisable(GL_SCISSOR_TEST);
    SwapBuffers(g_hDC);
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Module-1 frames, unpaced, in the frame of the settings dialog's own template, with
// drawing and showing timed apart.
int SettingsFrames(ChildFrames path, const char* mode, DWORD ms)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    if (!UseSaverResources()) return 1;
    HWND dialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(IDD_CONFIG), nullptr, Inert, 0);
    HWND frame = GetDlgItem(dialog, IDC_PREVIEW_FRAME);
    g_ChildFrames = path;
    if (!frame || !CreateGLContext(frame, 32)) return 1;
    SelectKey(nullptr, TILO_PRODUCT_KEY);
    LoadModuleParams();
    MSG msg;
    auto frameOnce = [&](double* draw, double* show) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        const double a = NowMs();
        DrawModule1();
        glFinish();  // the drawing is done before the show is timed
        const double b = NowMs();
        ShowFrame();
        *draw += b - a;
        *show += NowMs() - b;
    };
    double draw = 0, show = 0;
    for (int i = 0; i < 5; ++i) frameOnce(&draw, &show);
    draw = show = 0;
    unsigned frames = 0;
    const double start = NowMs();
    for (; NowMs() - start < ms; ++frames) frameOnce(&draw, &show);
    const double wall = NowMs() - start;
    RECT rc = {};
    GetClientRect(frame, &rc);
    printf("%s %.3f ms/frame %.3f ms-show %.3f ms-draw %ldx%ld %u frames\n", mode, wall / frames,
           show / frames, draw / frames, rc.right, rc.bottom, frames);
    DestroyGLContext();
    DestroyWindow(dialog);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "";
    double seconds = argc > 2 ? atof(argv[2]) : 5.0;
    DWORD ms = static_cast<DWORD>(seconds * 1000);
    // The saver reads its view from the product key: the defaults, whatever is stored.
    RegDeleteTreeA(HKEY_CURRENT_USER, TILO_PRODUCT_KEY);

    if (!strcmp(mode, "frames") || !strcmp(mode, "paced") || !strcmp(mode, "dark")) {
        if (!strcmp(mode, "frames")) g_dwFrameFloorMs = 0;
        Watch watch{ms, false};
        watch.displaysOff = !strcmp(mode, "dark");
        RunWatchedSaver(watch);
        unsigned frames = watch.framesAtEnd - watch.framesAtStart;
        double wall = watch.endMs - watch.startMs;
        printf("%s %.3f ms/frame %.1f fps %.2f %%cpu %u frames\n", mode, frames ? wall / frames : 0.0,
               1000.0 * frames / wall, 100.0 * (watch.cpuEnd - watch.cpuStart) / wall, frames);
        return 0;
    }
    if (!strcmp(mode, "first")) {
        Watch watch{0, true};
        RunWatchedSaver(watch);
        printf("first %.1f ms\n", watch.firstFrameMs);
        return 0;
    }
    if (!strcmp(mode, "bare") || !strcmp(mode, "barefirst")) {
        HWND w = BareWindow();
        if (!CreateGLContext(w, 32)) return 1;
        if (!strcmp(mode, "barefirst")) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            SwapBuffers(g_hDC);
            printf("barefirst %.1f ms\n", SinceProcessStartMs());
            DestroyGLContext();
            return 0;
        }
        UseMonitorViewports(w);
        float spin = 0;
        for (int i = 0; i < 5; ++i) BareFrame(spin += 0.1f);
        unsigned frames = 0;
        const double cpuStart = CpuMs();
        double start = NowMs(), end = start;
        while ((end = NowMs()) - start < ms) {
            BareFrame(spin += 0.1f);
            ++frames;
        }
        printf("bare %.3f ms/frame %.1f fps %.1f %%cpu %u frames\n", (end - start) / frames,
               1000.0 * frames / (end - start), 100.0 * (CpuMs() - cpuStart) / (end - start), frames);
        DestroyGLContext();
        return 0;
    }
    if (!strcmp(mode, "copied")) return SettingsFrames(ChildFrames::Copied, mode, ms);
    if (!strcmp(mode, "direct")) return SettingsFrames(ChildFrames::Direct, mode, ms);
    fprintf(stderr, "usage: saver_bench frames|bare|first|barefirst|paced|copied|direct [SECONDS]\n");
    return 2;
}
