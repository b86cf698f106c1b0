#include <gtest/gtest.h>

#include <GL/gl.h>

#include "render/gl_context.h"
#include "support/process.h"
#include "support/screenshot.h"
#include "support/waiting.h"

namespace {

HWND MakeTopLevel(int width, int height)
{
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TiloGLProbe";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "TiloGLProbe", "GL probe", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

}  // namespace

TEST(GLContext, CreatesCurrentContextWithSceneStateAndReleasesIt)
{
    HWND w = MakeTopLevel(320, 200);
    ASSERT_TRUE(w);
    ASSERT_TRUE(CreateGLContext(w, 32));
    EXPECT_EQ(g_hModule, GetModuleHandleA(nullptr));
    EXPECT_EQ(g_hGLWnd, w);
    EXPECT_EQ(wglGetCurrentContext(), g_hRC);

    PIXELFORMATDESCRIPTOR pfd = {};
    int format = GetPixelFormat(g_hDC);
    ASSERT_GT(format, 0);
    DescribePixelFormat(g_hDC, format, sizeof pfd, &pfd);
    EXPECT_EQ(pfd.cColorBits, 32);
    EXPECT_GE(pfd.cDepthBits, 16);  // the platform's own pick has no depth buffer
    EXPECT_TRUE(pfd.dwFlags & PFD_DOUBLEBUFFER);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 200);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat pos[4];
    glGetLightfv(GL_LIGHT1, GL_POSITION, pos);
    EXPECT_FLOAT_EQ(pos[0], 100.0f);
    EXPECT_FLOAT_EQ(pos[1], 200.0f);
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    DestroyGLContext();
    EXPECT_EQ(g_hRC, nullptr);
    EXPECT_EQ(g_hDC, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    // Again, and with nothing acquired: nothing happens and no message is shown.
    DestroyGLContext();
    EXPECT_EQ(FindWindowA(nullptr, TILO_CAPTION_SHUTDOWN), nullptr);
    DestroyWindow(w);
}

TEST(GLContext, ZeroHeightClientGivesOnePixelViewport)
{
    HWND w = MakeTopLevel(64, 64);
    ASSERT_TRUE(CreateGLContext(w, 32));
    SetProjection(300, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective: m[0] = f / aspect, m[5] = f, with aspect = 300 / 1.
    EXPECT_NEAR(projection[5] / projection[0], 300.0f, 0.01f);
    DestroyGLContext();
    DestroyWindow(w);
}

TEST(GLContext, PickedFormatBeatsThePlatformsOwnChoice)
{
    HWND w = MakeTopLevel(32, 32);
    HDC dc = GetDC(w);
    int picked = PickPixelFormat(dc, 32);
    ASSERT_GT(picked, 0);
    PIXELFORMATDESCRIPTOR pfd = {};
    DescribePixelFormat(dc, picked, sizeof pfd, &pfd);
    EXPECT_EQ(pfd.cDepthBits, 16);
    EXPECT_FALSE(pfd.dwFlags & PFD_GENERIC_FORMAT);
    EXPECT_EQ(PickPixelFormat(dc, 12), [&] {  // nothing scores: the platform's choice stands
        PIXELFORMATDESCRIPTOR request = {};
        request.nSize = sizeof request;
        request.nVersion = 1;
        request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        request.cColorBits = 32;
        request.cDepthBits = 24;
        return ChoosePixelFormat(dc, &request);
    }());
    ReleaseDC(w, dc);
    DestroyWindow(w);
}

TEST(GLContext, ChildOfAWindowOfOursGetsItsFramesCopiedInWithoutAPixelFormat)
{
    HWND parent = MakeTopLevel(400, 300);
    auto child = [&] {
        return CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 20, 30, 200, 150,
                               parent, nullptr, nullptr, nullptr);
    };
    HWND frame = child();
    ASSERT_TRUE(CreateGLContext(frame, 32));  // Wine's own: copied
    EXPECT_EQ(CopiedFrameWindow(), frame);
    HDC dc = GetDC(frame);
    EXPECT_EQ(GetPixelFormat(dc), 0);
    ReleaseDC(frame, dc);
    const HWND surface = g_hGLWnd;
    RECT rc = {};
    GetClientRect(surface, &rc);
    EXPECT_FALSE(IsWindowVisible(surface));
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.bottom, 150);

    auto centre = [] {
        Screenshot shot;
        EXPECT_TRUE(shot.Capture());
        return shot.at(120, 105) & 0xFFFFFF;
    };
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_TRUE(ShowFrame());
    EXPECT_TRUE(WaitUntil([&] { return centre() == 0x00FF00u; }, 3000));
    // A repaint shows the last frame again, where the frame's own painting is black:
    // the screen is blacked out first, so that only the repaint can bring the frame back.
    HDC black = GetDC(frame);
    RECT all = {0, 0, 200, 150};
    FillRect(black, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(frame, black);
    ASSERT_TRUE(WaitUntil([&] { return centre() == 0; }, 3000));
    InvalidateRect(frame, nullptr, TRUE);
    UpdateWindow(frame);
    EXPECT_TRUE(WaitUntil([&] { return centre() == 0x00FF00u; }, 3000)) << "the repaint left it black";

    DestroyGLContext();
    EXPECT_FALSE(IsWindow(surface));
    EXPECT_EQ(CopiedFrameWindow(), nullptr);
    InvalidateRect(frame, nullptr, TRUE);
    UpdateWindow(frame);
    EXPECT_TRUE(WaitUntil([&] { return centre() != 0x00FF00u; }, 3000));

    // As on Windows: drawn into the child itself.
    g_ChildFrames = ChildFrames::Direct;
    HWND direct = child();
    ASSERT_TRUE(CreateGLContext(direct, 32));
    EXPECT_EQ(g_hGLWnd, direct);
    EXPECT_GT(GetPixelFormat(g_hDC), 0);
    EXPECT_EQ(CopiedFrameWindow(), nullptr);
    DestroyGLContext();
    g_ChildFrames = ChildFrames::Detect;
    DestroyWindow(parent);
}
