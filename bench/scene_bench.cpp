// Times the mesh display lists and module 1's frames at the screen's size (1920 x 1080
// on the bench display): the compile of the eight lists on a fresh context, and
// DrawModule1 + SwapBuffers without pacing. Run through bench/scene_bench.sh.
#include <windows.h>

#include <GL/gl.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "animation/modules.h"
#include "animation/saver_proc.h"
#include "render/gl_context.h"
#include "render/mesh_lists.h"
#include "render/meshes/meshes.h"
#include "render/scene.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND OpenWindow(int width, int height)
{
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TiloSceneBench";
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_TOPMOST, "TiloSceneBench", "Tilo scene bench", WS_POPUP | WS_VISIBLE, 0, 0,
                           width, height, nullptr, nullptr, wc.hInstance, nullptr);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Module 1's own view, as a fresh registry gives it, without touching the registry.
void DefaultView()
{
    FillDefaultModules(g_Modules, MODULE_COUNT);
    SelectModule(1);
    g_nCurModule = 1;
    g_bSaverWindow = true;
}

}  // namespace

int main(int argc, char** argv)
{
    const int contexts = argc > 1 ? atoi(argv[1]) : 5;
    const int frames = argc > 2 ? atoi(argv[2]) : 300;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    DefaultView();

    std::vector<double> compile, frame;
    char renderer[256] = "";
    for (int run = 0; run < contexts; ++run) {
        HWND window = OpenWindow(width, height);
        if (!window || !CreateGLContext(window, 32)) {
            fprintf(stderr, "no OpenGL context\n");
            return 1;
        }
        ForgetMeshLists();
        if (run == 0)
            snprintf(renderer, sizeof renderer, "%s, OpenGL %s",
                     reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                     reinterpret_cast<const char*>(glGetString(GL_VERSION)));
        Pump();
        glFinish();
        glLoadIdentity();
        const double t0 = Now();
        DrawAllMeshes();
        glFinish();
        compile.push_back(Now() - t0);

        g_fSpin = 0.0f;
        for (int i = 0; i < 20; ++i) {  // warm-up
            DrawModule1();
            SwapBuffers(g_hDC);
        }
        Pump();
        const double t1 = Now();
        int shown = 0;
        for (int i = 0; i < frames; ++i)
            if (DrawModule1()) {
                SwapBuffers(g_hDC);
                ++shown;
            }
        glFinish();
        frame.push_back((Now() - t1) / frames);
        if (shown != frames) fprintf(stderr, "%d of %d frames reported an error\n", frames - shown, frames);
        DestroyGLContext();
        DestroyWindow(window);
        Pump();
    }

    printf("display %d x %d, %s\n", width, height, renderer);
    int triangles = 0;
    for (const MeshData* m : {&g_Mesh0, &g_Mesh1, &g_Mesh2, &g_Mesh3, &g_Mesh4, &g_Mesh5, &g_Mesh6, &g_Mesh7})
        triangles += m->indexCount / 3;
    printf("compile of the eight lists (%d triangles): median %.1f ms, min %.1f, max %.1f (%d contexts)\n",
           triangles, Median(compile) * 1e3, *std::min_element(compile.begin(), compile.end()) * 1e3,
           *std::max_element(compile.begin(), compile.end()) * 1e3, contexts);
    const double perFrame = Median(frame);
    printf("DrawModule1 + SwapBuffers, unpaced: median %.2f ms per frame = %.1f frames/s (min %.2f, max %.2f "
           "ms; "
           "%d frames per context)\n",
           perFrame * 1e3, 1.0 / perFrame, *std::min_element(frame.begin(), frame.end()) * 1e3,
           *std::max_element(frame.begin(), frame.end()) * 1e3, frames);
    return 0;
}
