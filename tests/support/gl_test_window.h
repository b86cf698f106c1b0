// A visible top-level popup with the saver's own rendering context current, for tests
// that draw real frames. OpenGL into a top-level window reaches the screen under Wine;
// into a child window it does not. The mesh lists of an earlier context are forgotten,
// since they went with it.
#ifndef TILO_TESTS_SUPPORT_GL_TEST_WINDOW_H
#define TILO_TESTS_SUPPORT_GL_TEST_WINDOW_H

#include <windows.h>

#include <GL/gl.h>

#include <vector>

#include "render/gl_context.h"
#include "render/mesh_lists.h"

class GLTestWindow {
public:
    GLTestWindow(int width, int height) : width_(width), height_(height)
    {
        WNDCLASSA wc = {};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = nullptr;
        wc.lpszClassName = "TiloGLTestWindow";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, "TiloGLTestWindow", "Tilo GL test", WS_POPUP | WS_VISIBLE, 0,
                                  0, width, height, nullptr, nullptr, wc.hInstance, nullptr);
        if (window_) ok_ = CreateGLContext(window_, 32);
        ForgetMeshLists();
    }
    ~GLTestWindow()
    {
        DestroyGLContext();
        ForgetMeshLists();
        if (window_) DestroyWindow(window_);
    }
    GLTestWindow(const GLTestWindow&) = delete;
    GLTestWindow& operator=(const GLTestWindow&) = delete;

    bool ok() const { return ok_; }
    HWND window() const { return window_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The back buffer as RGBA bytes, bottom row first (OpenGL's order).
    std::vector<unsigned char> ReadBack() const
    {
        std::vector<unsigned char> rgba(static_cast<size_t>(width_) * height_ * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }

private:
    HWND window_ = nullptr;
    bool ok_ = false;
    int width_, height_;
};

// Pixels of an RGBA buffer brighter than black.
inline int LitPixels(const std::vector<unsigned char>& rgba)
{
    int n = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] > 8 || rgba[i + 1] > 8 || rgba[i + 2] > 8) ++n;
    return n;
}

#endif
