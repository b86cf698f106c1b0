#include "shell/saver_main.h"

#include "shell/cmdline.h"
#include "shell/fault_guard.h"
#include "shell/password.h"
#include "shell/saver_hooks.h"
#include "shell/saver_window.h"
#include "support/process.h"

bool g_bWin9x = false;

namespace {

const char* NextCodeUnit(const char* p) { return CharNextA(p); }

struct Dispatch {
    const char* args;
};

int RunMode_(void* context)
{
    const char* args = static_cast<Dispatch*>(context)->args;
    ModeRequest request = ScanRunMode(args, g_bWin9x);
    switch (request.mode) {
    case RunMode::ConfigNoOwner:
        CloseRunningSaver();
        return ShowConfigDialog(nullptr);
    case RunMode::ConfigForeground: {
        // A saver window as owner would be disabled by the dialog and hide it: the
        // user could reach neither.
        HWND owner = GetForegroundWindow();
        if (BelongsToSaverWindow(owner)) owner = nullptr;
        CloseRunningSaver();
        return ShowConfigDialog(owner);
    }
    case RunMode::Saver:
        return RunSaver(nullptr);
    case RunMode::Preview: {
        HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(request.handle));
        // The desktop never destroys a child of its own, so a preview there would never end.
        if (request.handle == 0 || !IsWindow(parent) || parent == GetDesktopWindow()) return -1;
        return RunSaver(parent);
    }
    case RunMode::ChangePassword:
        ChangePasswordMode(reinterpret_cast<HWND>(static_cast<UINT_PTR>(request.handle)));
        return 0;
    case RunMode::Invalid:
        break;
    }
    return -1;
}

}  // namespace

int SaverMain(HINSTANCE instance, HINSTANCE, const char* args, int)
{
    g_hInstance = instance;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    g_bWin9x = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    Dispatch dispatch = {args};
    return RunGuarded(RunMode_, &dispatch, -1);
}

void SkipProgramName()
{
    const char* args = SkipProgramText(GetCommandLineA(), NextCodeUnit);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? (startup.wShowWindow & 0xFFFF) : SW_SHOWDEFAULT;
    ExitProcess(static_cast<UINT>(
        SaverMain(reinterpret_cast<HINSTANCE>(GetModuleHandleA(nullptr)), nullptr, args, show)));
}
