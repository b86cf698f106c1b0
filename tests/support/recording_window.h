// A top-level window of the test's own thread that records what it receives: the
// parent of a preview, the owner of a dialog.
#ifndef TILO_TESTS_SUPPORT_RECORDING_WINDOW_H
#define TILO_TESTS_SUPPORT_RECORDING_WINDOW_H

#include <windows.h>

class RecordingWindow {
public:
    RecordingWindow(const char* title, int width, int height, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ~RecordingWindow();
    HWND hwnd() const { return hwnd_; }
    int count(UINT message) const;
    WPARAM lastWParam(UINT message) const;

private:
    HWND hwnd_;
};

#endif
