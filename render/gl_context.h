// The one OpenGL rendering context of the process, with its fixed projection and scene
// state (depth test, blending, culling, two positional lights).
#ifndef TILO_RENDER_GL_CONTEXT_H
#define TILO_RENDER_GL_CONTEXT_H

#include <windows.h>

extern HDC g_hDC;  // the device context drawn into; ShowFrame shows each good frame
extern HGLRC g_hRC;
extern HWND g_hGLWnd;  // the window g_hDC belongs to

// How frames reach a child window whose top-level window is this process's own (the
// settings dialog's frame). Wine 8 never shows OpenGL drawn into a child window, nor
// GDI drawing into a child that has a pixel format. There such a child gets no pixel
// format: the frames are drawn into a hidden top-level window of its size, and each is
// read back and copied into the child with GDI, again on every repaint. Detect chooses
// the copy under Wine (ntdll's wine_get_version) and drawing into the child elsewhere;
// the benchmark sets one or the other. A child of another process's window (the
// preview of /p) is always drawn into directly.
enum class ChildFrames { Detect, Direct, Copied };
extern ChildFrames g_ChildFrames;

// True when the window has a current context with projection and scene state in place.
// On failure everything acquired is released and the user has been shown why.
bool CreateGLContext(HWND window, int colourBits);
// Releases what CreateGLContext acquired; safe with nothing acquired and when repeated.
void DestroyGLContext();
// Shows the frame just drawn: swaps the buffers of g_hDC, or copies the frame into the
// child window.
bool ShowFrame();
// The child window that frames are copied into, or null when they are not copied.
HWND CopiedFrameWindow();

int PickPixelFormat(HDC dc, int colourBits);
// Viewport and perspective for a drawing area of width by height pixels whose bottom
// left corner lies at (x, y) of the window.
void SetProjection(int width, int height, int x = 0, int y = 0);
bool InitSceneState();

// Message texts shown to the user, also looked for by the tests.
#define TILO_MSG_NO_DC "Can't Create A GL Device Context."
#define TILO_MSG_NO_FORMAT                                                                                   \
    "Your video card doesn't appear to support\nhardware acceleration for OpenGL. Make "                     \
    "sure\nyou have installed the most current drivers\nfor your card."
#define TILO_MSG_SET_FORMAT "Can't Set The PixelFormat."
#define TILO_MSG_NO_RC "Can't Create A GL Rendering Context."
#define TILO_MSG_ACTIVATE "Can't Activate The GL Rendering Context."
#define TILO_MSG_INIT "Initialization Failed."
#define TILO_CAPTION_ERROR "ERROR"
#define TILO_CAPTION_SAVER_ERROR "Tilo Screen Saver Error"
#define TILO_MSG_RELEASE_DC_RC "Release Of DC And RC Failed."
#define TILO_MSG_RELEASE_RC "Release Rendering Context Failed."
#define TILO_MSG_RELEASE_DC "Release Device Context Failed."
#define TILO_CAPTION_SHUTDOWN "SHUTDOWN ERROR"

#endif
