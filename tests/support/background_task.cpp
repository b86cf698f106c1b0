#include "support/background_task.h"

BackgroundTask::BackgroundTask(std::function<void()> task) : task_(std::move(task))
{
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

BackgroundTask::~BackgroundTask()
{
    Join();
    if (thread_) CloseHandle(thread_);
}

bool BackgroundTask::Join(DWORD milliseconds)
{
    return thread_ && WaitForSingleObject(thread_, milliseconds) == WAIT_OBJECT_0;
}

DWORD WINAPI BackgroundTask::Run(LPVOID self)
{
    static_cast<BackgroundTask*>(self)->task_();
    return 0;
}

HWND PollForWindow(const char* cls, const char* title, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    HWND found;
    while (!(found = FindWindowA(cls, title)) && GetTickCount() - start < milliseconds) Sleep(10);
    return found;
}

INT_PTR AnswerDialog(const char* title, const std::function<INT_PTR()>& open,
                     const std::function<void(HWND)>& act, bool* answered)
{
    *answered = false;
    BackgroundTask answer([&] {
        HWND dialog = PollForWindow("#32770", title, 10000);
        if (!dialog) return;
        // Shown once its controls are made and it is initialised.
        DWORD start = GetTickCount();
        while (!IsWindowVisible(dialog) && GetTickCount() - start < 5000) Sleep(10);
        act(dialog);
        start = GetTickCount();
        while (IsWindow(dialog) && GetTickCount() - start < 5000) Sleep(10);
        *answered = !IsWindow(dialog);
        if (!*answered) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    return open();
}
