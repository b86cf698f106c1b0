// The application's own procedure for the saver window, between the shell's two layers
// (SaverProc, declared by the shell in shell/saver_hooks.h).
#ifndef TILO_ANIMATION_SAVER_PROC_H
#define TILO_ANIMATION_SAVER_PROC_H

#include <windows.h>

#include "shell/saver_hooks.h"

// Private message that drives each frame; posted with both parameters all ones.
#define WM_NEXT_FRAME 7427

extern bool g_bSaverWindow;  // the animation runs in the saver window, not the dialog
extern bool g_bFullScreen;   // the saver window's client area is as wide as the desktop's
extern bool g_bStop;         // stop requested: no further frames
extern bool g_bClosing;      // teardown has run

// The teardown of either host: stops the frames, releases OpenGL, then the music;
// false when it ran already.
bool TearDownAnimation();

#endif
