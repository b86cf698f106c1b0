// The one OpenGL rendering context of the process, with its fixed projection and scene
// state (depth test, blending, culling, two positional lights).
#ifndef TILO_RENDER_GL_CONTEXT_H
#define TILO_RENDER_GL_CONTEXT_H

#include <windows.h>

extern HDC g_hDC;  // swapped by the frame pump after each good frame
extern HGLRC g_hRC;
extern HWND g_hGLWnd;  // the window g_hDC belongs to

// True when the window has a current context with projection and scene state in place.
// On failure everything acquired is released and the user has been shown why.
bool CreateGLContext(HWND window, int colourBits);
// Releases what CreateGLContext acquired; safe with nothing acquired and when repeated.
void DestroyGLContext();

int PickPixelFormat(HDC dc, int colourBits);
void SetProjection(int width, int height);
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
