// A function run on a thread of its own, for what a test must do while its own thread
// sits in a modal loop (the saver's message loop, a dialog): close a window after a
// while, answer a dialog.
#ifndef TILO_TESTS_SUPPORT_BACKGROUND_TASK_H
#define TILO_TESTS_SUPPORT_BACKGROUND_TASK_H

#include <windows.h>

#include <functional>

class BackgroundTask {
public:
    explicit BackgroundTask(std::function<void()> task);
    // Waits for the task, at most 15 s.
    ~BackgroundTask();
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;
    // True when the task has ended within the time.
    bool Join(DWORD milliseconds = 15000);

private:
    static DWORD WINAPI Run(LPVOID self);
    std::function<void()> task_;
    HANDLE thread_ = nullptr;
};

// Polls from any thread for a top-level window of that class and title; null after the time.
HWND PollForWindow(const char* cls, const char* title, DWORD milliseconds);

// Runs a modal dialog on this thread (`open` returns its result) while a second thread
// waits for the dialog of that title and answers it with `act`. A dialog that `act` left
// open is cancelled after 5 s, so that a test fails rather than hangs: `answered` then
// says false, as it does when the dialog never appeared.
INT_PTR AnswerDialog(const char* title, const std::function<INT_PTR()>& open,
                     const std::function<void(HWND)>& act, bool* answered);

#endif
