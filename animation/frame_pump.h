// The self-posted frame pump shared by the saver window and the configuration dialog:
// each WM_NEXT_FRAME drains the host's queue, runs one FrameStep and posts the next
// WM_NEXT_FRAME, so input is never starved and there is no timer.
#ifndef TILO_ANIMATION_FRAME_PUMP_H
#define TILO_ANIMATION_FRAME_PUMP_H

#include <windows.h>

extern bool g_bInFramePump;   // a WM_NEXT_FRAME is being handled
extern bool g_bKeysToEdit;    // dialog only: keys belong to the focused edit control
extern DWORD g_dwCycleStart;  // tick count when the current module began showing
extern DWORD g_dwLastFrame;   // end of the last frame's pacing
extern DWORD g_dwLastMusic;   // when the last music voice was started
extern int g_nMusicVoice;     // the voice started last, 0..2

// Frames are at least this far apart, in milliseconds. Only the benchmark changes it,
// to measure what a frame costs without the floor.
extern DWORD g_dwFrameFloorMs;
constexpr DWORD kFrameFloorMs = 30;
// Frames shown since the process started.
extern unsigned g_nFramesShown;
// A new voice of the chant starts this often, in milliseconds.
constexpr DWORD kMusicRotationMs = 3200;

// Withdraws the stop request and restarts the chain of frames with exactly one request
// in flight: one waiting in the queue is taken out first, and none is posted while a
// frame is being handled, since that frame posts the next one itself.
void RestartFrames(HWND window);

// Starts the chant on voice 0 now and the rotation from it, so that the next voice
// follows kMusicRotationMs later.
void RestartMusicRotation(HWND window);

// Handles one WM_NEXT_FRAME for the host window (the saver window when g_bSaverWindow
// is set, else the configuration dialog).
void PumpFrame(HWND window);
void FrameStep(HWND window);
void PostNextFrame(HWND window);
// A peek for a window's messages, or for a range of them, returns the quit message as
// well. A host's own peek that took it puts it back here for the loop that ends the
// run; true when the message was the quit message.
bool PutBackQuit(const MSG& msg);

// One frame by the drawing routine for a module index (0 and unknown indices draw a
// blank frame), on every monitor that the saver window spans.
int DrawForModule(int index);

#endif
