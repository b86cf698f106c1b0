// The music player: three voice threads, each playing the requests of its own queue
// through the waveform-audio device, driven from the interface thread by thread
// messages only. The chant plays as up to three overlapping copies when the frame
// step starts the next voice every 3200 ms.
#ifndef TILO_SOUND_MUSIC_PLAYER_H
#define TILO_SOUND_MUSIC_PLAYER_H

#include <windows.h>
#include <mmsystem.h>

#define VOICE_COUNT 3
#define WAVE_BUFFER_COUNT 5
#define WAVE_BUFFER_SIZE 4096  // bytes: 2,048 mono samples, 46.4 ms at 44,100 Hz

// Thread messages of a voice; a voice takes no others.
#define WM_VOICE_INIT 1025  // proves that the thread accepts messages
#define WM_VOICE_PLAY                                                                                        \
    1026                    // wParam: window for WM_VOICE_DONE at the end, or 0; lParam: LocalAlloc'd
                            // 260-byte source name, owned by the voice once delivered
#define WM_VOICE_STOP 1027  // ends the current play; wParam 0 also empties the queue
#define WM_VOICE_QUIT 1028  // ends the current play, then the thread

// Posted (wParam 0, lParam 0) to a play's window when the play has run to the end of its
// stream, without a stop or a quit. A number of its own: WM_APP is the password request
// of the Windows 95/98/Me family on the saver window.
#define WM_VOICE_DONE (WM_APP + 1)

// Touched only by the interface thread. Null / 0 when the slot has no thread.
extern HANDLE g_hVoiceThread[VOICE_COUNT];
extern DWORD g_dwVoiceThreadId[VOICE_COUNT];

// All four are called on the interface thread.
// Creates the voice threads and returns when each accepts messages. A thread that
// cannot be created leaves its slot empty.
void StartMusic();
// Queues a play of the chant on voice 0..2. Nonzero when delivered; 0 for a voice out
// of range or without a thread, and when the request cannot be allocated.
int PlayVoice(HWND window, int voice);
// Ends every voice's current play and empties its queue; does not wait.
void StopMusic();
// Ends every voice thread and waits for each; nothing with no threads.
void ShutdownMusic();

DWORD WINAPI VoiceThreadProc(LPVOID unused);
void CALLBACK WaveDoneCallback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                               DWORD_PTR param2);

// Test hook: called on the voice thread with each output device that a play opens,
// before its buffers are prepared; null for none. Interface thread only.
void SetDeviceOpenedHook(void (*hook)(HWAVEOUT device));

// Test hook: the source name that PlayVoice sends from now on (a null name restores
// "res://OMCHANT", the only one the system plays). Interface thread only.
void SetMusicSourceName(const char* name);

#endif
