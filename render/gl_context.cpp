#include "render/gl_context.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <stdlib.h>

#include "render/pixel_format.h"
#include "support/process.h"

HDC g_hDC = nullptr;
HGLRC g_hRC = nullptr;
HWND g_hGLWnd = nullptr;
ChildFrames g_ChildFrames = ChildFrames::Detect;

namespace {

// Frames copied into a child window: the child, its own procedure, the hidden window
// drawn into, and the last frame read back (32-bit BGRA, bottom row first, as both
// OpenGL and a bottom-up DIB order it).
HWND s_frameWnd = nullptr;
WNDPROC s_frameProc = nullptr;
HWND s_surfaceWnd = nullptr;
BITMAPINFO s_frameBitmap = {};
void* s_framePixels = nullptr;
bool s_frameReady = false;

const char kSurfaceClass[] = "TiloFrameSurface";

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool CopiesFrames(HWND window)
{
    if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) return false;
    DWORD owner = 0;
    GetWindowThreadProcessId(GetAncestor(window, GA_ROOT), &owner);
    if (owner != GetCurrentProcessId()) return false;
    if (g_ChildFrames == ChildFrames::Detect) return RunningUnderWine();
    return g_ChildFrames == ChildFrames::Copied;
}

void CopyLastFrame(HDC dc)
{
    const BITMAPINFOHEADER& h = s_frameBitmap.bmiHeader;
    SetDIBitsToDevice(dc, 0, 0, h.biWidth, h.biHeight, 0, 0, 0, h.biHeight, s_framePixels, &s_frameBitmap,
                      DIB_RGB_COLORS);
}

// The child's own painting would leave it black until the next frame.
LRESULT CALLBACK CopiedFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT && s_frameReady) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        CopyLastFrame(dc);
        EndPaint(window, &ps);
        return 0;
    }
    return CallWindowProcA(s_frameProc, window, message, wParam, lParam);
}

// The hidden window that frames for the child are drawn into; null when it or the
// frame buffer cannot be had.
HWND BeginCopiedFrames(HWND frame)
{
    RECT rc = {};
    GetClientRect(frame, &rc);
    const LONG width = rc.right > 1 ? rc.right : 1, height = rc.bottom > 1 ? rc.bottom : 1;
    s_framePixels = malloc(static_cast<size_t>(width) * height * 4);
    if (!s_framePixels) return nullptr;
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = g_hModule;
    wc.lpszClassName = kSurfaceClass;
    RegisterClassA(&wc);  // fails harmlessly when a former context registered it
    s_surfaceWnd = CreateWindowExA(WS_EX_TOOLWINDOW, kSurfaceClass, "", WS_POPUP, 0, 0, width, height,
                                   nullptr, nullptr, g_hModule, nullptr);
    if (!s_surfaceWnd) return nullptr;
    BITMAPINFOHEADER& h = s_frameBitmap.bmiHeader;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    s_frameWnd = frame;
    s_frameProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CopiedFrameProc)));
    return s_surfaceWnd;
}

void EndCopiedFrames()
{
    if (s_frameWnd) {
        SetWindowLongPtrA(s_frameWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_frameProc));
        s_frameWnd = nullptr;
    }
    if (s_surfaceWnd) {
        DestroyWindow(s_surfaceWnd);
        s_surfaceWnd = nullptr;
    }
    free(s_framePixels);
    s_framePixels = nullptr;
    s_frameReady = false;
}

const GLfloat kLightAmbient[4] = {0.4f, 0.4f, 0.4f, 1.0f};
const GLfloat kLightDiffuse[4] = {0.4f, 0.4f, 0.4f, 1.0f};
const GLfloat kLight0Position[4] = {-100.0f, 200.0f, 100.0f, 1.0f};
const GLfloat kLight1Position[4] = {100.0f, 200.0f, 100.0f, 1.0f};

PIXELFORMATDESCRIPTOR Descriptor(int colourBits, int depthBits)
{
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<BYTE>(colourBits);
    pfd.cDepthBits = static_cast<BYTE>(depthBits);
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

bool DescribeFormat(void* context, int index, PixelFormatFields* out)
{
    PIXELFORMATDESCRIPTOR pfd = {};
    if (!DescribePixelFormat(static_cast<HDC>(context), index, sizeof pfd, &pfd)) return false;
    out->dwFlags = pfd.dwFlags;
    out->iPixelType = pfd.iPixelType;
    out->cColorBits = pfd.cColorBits;
    out->cDepthBits = pfd.cDepthBits;
    return true;
}

bool Fail(const char* text, const char* caption)
{
    DestroyGLContext();
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void ReleaseMessage(const char* text)
{
    MessageBoxA(nullptr, text, TILO_CAPTION_SHUTDOWN, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int PickPixelFormat(HDC dc, int colourBits)
{
    PIXELFORMATDESCRIPTOR probe = {};
    int count = DescribePixelFormat(dc, 1, sizeof probe, &probe);
    PIXELFORMATDESCRIPTOR request = Descriptor(32, 24);
    int provisional = ChoosePixelFormat(dc, &request);
    return ChooseScoredFormat(count, provisional, colourBits, DescribeFormat, dc);
}

void SetProjection(int width, int height, int x, int y)
{
    if (height == 0) height = 1;
    glViewport(x, y, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, static_cast<double>(width) / static_cast<double>(height), 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool InitSceneState()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, kLight0Position);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT1, GL_AMBIENT, kLightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, kLight1Position);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    return true;
}

bool CreateGLContext(HWND window, int colourBits)
{
    g_hModule = GetModuleHandleA(nullptr);

    HWND surface = window;
    if (CopiesFrames(window) && !(surface = BeginCopiedFrames(window)))
        return Fail(TILO_MSG_NO_DC, TILO_CAPTION_ERROR);
    g_hGLWnd = surface;
    g_hDC = GetDC(surface);
    if (!g_hDC) return Fail(TILO_MSG_NO_DC, TILO_CAPTION_ERROR);

    int format = PickPixelFormat(g_hDC, colourBits);
    if (format == 0) return Fail(TILO_MSG_NO_FORMAT, TILO_CAPTION_SAVER_ERROR);

    PIXELFORMATDESCRIPTOR pfd = Descriptor(colourBits, 32);
    if (!SetPixelFormat(g_hDC, format, &pfd)) return Fail(TILO_MSG_SET_FORMAT, TILO_CAPTION_ERROR);

    g_hRC = wglCreateContext(g_hDC);
    if (!g_hRC) return Fail(TILO_MSG_NO_RC, TILO_CAPTION_ERROR);

    if (!wglMakeCurrent(g_hDC, g_hRC)) return Fail(TILO_MSG_ACTIVATE, TILO_CAPTION_ERROR);

    RECT rc = {};
    GetClientRect(window, &rc);
    SetProjection(rc.right - rc.left, rc.bottom - rc.top);

    if (!InitSceneState()) return Fail(TILO_MSG_INIT, TILO_CAPTION_ERROR);
    return true;
}

void DestroyGLContext()
{
    if (g_hRC) {
        if (!wglMakeCurrent(nullptr, nullptr)) ReleaseMessage(TILO_MSG_RELEASE_DC_RC);
        if (!wglDeleteContext(g_hRC)) ReleaseMessage(TILO_MSG_RELEASE_RC);
        g_hRC = nullptr;
    }
    if (g_hDC) {
        if (!ReleaseDC(g_hGLWnd, g_hDC)) ReleaseMessage(TILO_MSG_RELEASE_DC);
        g_hDC = nullptr;
    }
    EndCopiedFrames();
}

bool ShowFrame()
{
    if (!s_frameWnd) return SwapBuffers(g_hDC) != FALSE;
    const BITMAPINFOHEADER& h = s_frameBitmap.bmiHeader;
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, h.biWidth, h.biHeight, GL_BGRA_EXT, GL_UNSIGNED_BYTE, s_framePixels);
    s_frameReady = true;
    HDC dc = GetDC(s_frameWnd);
    if (!dc) return false;
    CopyLastFrame(dc);
    ReleaseDC(s_frameWnd, dc);
    return true;
}

HWND CopiedFrameWindow() { return s_frameWnd; }
