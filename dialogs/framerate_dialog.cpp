#include "dialogs/framerate_dialog.h"

#include <stdio.h>

#include <string>

#include "dialogs/removal_command.h"
#include "resources/resource.h"
#include "shell/saver_hooks.h"
#include "shell/saver_window.h"
#include "support/center.h"
#include "support/links.h"
#include "support/process.h"
#include "support/settings_store.h"
#include "support/web_page.h"

namespace {

// Far more removal requests than anyone makes; past it the search gives up rather
// than read the registry without end.
constexpr int kMaxRemovalNames = 10000;

const char kRemovedText[] = "This Screen saver will be removed\nthe next time you start Windows.";
const char kAlreadyText[] =
    "The removal of this screen saver is already scheduled:\nit will be removed the next time you start "
    "Windows.";
const char kRemovedCaption[] = "Screen saver will be removed.";
const char kNotRemovedCaption[] = "Screen saver will not be removed.";
const char kNoFolder[] = "The folder where Tilo was installed is not recorded, or is not a usable path.";
const char kNoUninstaller[] = "There is no uninstal.exe in the folder where Tilo was installed.";
// What was denied, named by the right the account lacks.
const char kFolderDenied[] =
    "Windows did not let Tilo read where it was installed: the right to read the machine's Tilo "
    "key (HKEY_LOCAL_MACHINE\\" TILO_PRODUCT_KEY "), where the folder is recorded, was denied.";
const char kNotRegistered[] = "Windows did not let Tilo register its removal: ";
const char kRunOnceKeyName[] = "the machine's RunOnce key (HKEY_LOCAL_MACHINE\\" TILO_RUNONCE_KEY ")";
const char kHowToRemove[] =
    "To remove Tilo, run uninstal.exe in the folder where it was installed, or remove "
    "Tilo from the list of installed programs in the Control Panel, as an administrator.";

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide interface is UTF-16");

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

void ConfinePointer(HWND dialog)
{
    RECT rc;
    GetWindowRect(dialog, &rc);
    ClipCursor(&rc);
}

bool IsFile(const std::u16string& path)
{
    DWORD attributes = GetFileAttributesW(Wide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first RunOnce name under the current key that is missing or empty, so that earlier
// requests are kept (one too long to read included); empty when there is none within
// kMaxRemovalNames, when the key may not be read (LastStoreResult() then tells), or when a
// name before it already starts the uninstaller (*scheduled is then set): Windows would
// run it twice, and the second run would find the first one at work.
std::string FreeRemovalName(const std::u16string& uninstaller, bool* scheduled)
{
    wchar_t value[kRemovalPathCapacity];
    std::string name = TILO_REMOVAL_VALUE;
    for (int n = 1; n <= kMaxRemovalNames; ++n) {
        ReadMachineStringW(name.c_str(), value, kRemovalPathCapacity, L"");
        LONG result = LastStoreResult();
        if (result == ERROR_ACCESS_DENIED) return std::string();
        if (result == ERROR_FILE_NOT_FOUND || (result == ERROR_SUCCESS && !value[0])) return name;
        if (result == ERROR_SUCCESS && StartsUninstaller(reinterpret_cast<const char16_t*>(value), uninstaller)) {
            *scheduled = true;
            return std::string();
        }
        name = TILO_REMOVAL_VALUE + std::to_string(n);
    }
    return std::string();
}

// Why the value could not be registered under the RunOnce key, from the store's answer.
std::string RunOnceProblem(bool nameFound)
{
    LONG result = LastStoreResult();
    if (result == ERROR_ACCESS_DENIED)
        return std::string(kNotRegistered) +
               (nameFound ? "the right to write under " : "the right to read ") + kRunOnceKeyName +
               " was denied; that needs an administrator's rights.";
    if (!nameFound)
        return std::string(kNotRegistered) + "every name from \"" TILO_REMOVAL_VALUE "\" on under " +
               kRunOnceKeyName + " is taken.";
    return std::string(kNotRegistered) + "writing under " + kRunOnceKeyName + " failed with error " +
           std::to_string(result) + ".";
}

// Writes the removal command unless it is there already (*scheduled); the reason when
// it is not scheduled.
std::string RegisterRemoval(HWND dialog, bool* scheduled)
{
    // Read through the wide interface: the folder may have a name of any script.
    wchar_t folder[kRemovalPathCapacity];
    ReadMachineStringW("install_dir", folder, kRemovalPathCapacity, L"");
    if (LastStoreResult() == ERROR_ACCESS_DENIED) return kFolderDenied;
    RemovalCommand removal;
    if (!MakeRemovalCommand(reinterpret_cast<const char16_t*>(folder), &removal)) return kNoFolder;
    if (!IsFile(removal.uninstaller)) return kNoUninstaller;
    SelectKey(dialog, TILO_RUNONCE_KEY);
    std::string name = FreeRemovalName(removal.uninstaller, scheduled);
    bool written = !name.empty() && WriteMachineStringW(name.c_str(), Wide(removal.command));
    std::string problem = written || *scheduled ? std::string() : RunOnceProblem(!name.empty());
    SelectKey(dialog, TILO_PRODUCT_KEY);
    return problem;
}

}  // namespace

INT_PTR ShowFrameRateWarning(HWND owner, float framesPerSecond)
{
    return DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_FRAMERATE), owner, FrameRateDialogProc,
                           reinterpret_cast<LPARAM>(&framesPerSecond));
}

bool ScheduleRemoval(HWND dialog)
{
    if (g_hSaverWnd) SetWindowPos(g_hSaverWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    bool scheduled = false;
    std::string problem = RegisterRemoval(dialog, &scheduled);
    if (!problem.empty()) {
        std::string text = problem + "\n\n" + kHowToRemove;
        MessageBoxA(dialog, text.c_str(), kNotRemovedCaption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    MessageBoxA(dialog, scheduled ? kAlreadyText : kRemovedText, kRemovedCaption, MB_OK);
    return true;
}

INT_PTR CALLBACK FrameRateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Whatever reaches the dialog, the saver behind it forgives the next large movement
    // of the pointer, which the dialog let move.
    g_bForgiveMouse = true;
    switch (message) {
    case WM_INITDIALOG: {
        CenterOnDesktop(dialog);
        ConfinePointer(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        float rate = lParam ? *reinterpret_cast<const float*>(lParam) : 0.0f;
        char caption[128];
        snprintf(caption, sizeof caption,
                 "Possible framerate problem-- current frame rate: %.1f frames per second.",
                 static_cast<double>(rate));
        SetWindowTextA(dialog, caption);
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            INT_PTR result = 1;
            if (IsDlgButtonChecked(dialog, IDC_DISABLE_WARNING) == BST_CHECKED) {
                SelectKey(dialog, TILO_PRODUCT_KEY);
                WriteUserInt("disable_frame_warn", 1);
                result = kFrameWarningTurnedOff;
            }
            g_bContinue = true;
            ClipCursor(nullptr);
            EndDialog(dialog, result);
            return FALSE;
        }
        case IDCANCEL:
            g_bContinue = false;
            ClipCursor(nullptr);
            EndDialog(dialog, 1);
            return FALSE;
        case IDC_DOWNLOAD_VELIN:
            ClipCursor(nullptr);
            SetWindowPos(dialog, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            OpenWebPage(TILO_LINK_VELIN);
            return FALSE;
        case IDC_REMOVE_TILO:
            ScheduleRemoval(dialog);
            return FALSE;
        default:
            return TRUE;
        }
    default:
        return FALSE;
    }
}
