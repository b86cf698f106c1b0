#include "support/setup_program.h"

#include <mmsystem.h>

#include <stdio.h>
#include <string.h>

#include <functional>

#include "support/message_box.h"
#include "support/registry.h"
#include "support/screenshot.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

// The control that holds the wizard's pages; a message box has none.
const int kPageArea = 1018;

// The window's text without trailing blanks (the setup's captions end with one).
std::string Text(HWND window)
{
    std::string s = TextOf(window);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// The first shown window that passes the test: a top-level one when parent is null,
// otherwise one of the parent's descendants.
HWND FindShown(HWND parent, const std::function<bool(HWND)>& test)
{
    struct Search {
        const std::function<bool(HWND)>* test;
        HWND found;
    } search = {&test, nullptr};
    WNDENUMPROC visit = [](HWND window, LPARAM lParam) -> BOOL {
        Search* s = reinterpret_cast<Search*>(lParam);
        if (!IsWindowVisible(window) || !(*s->test)(window)) return TRUE;
        s->found = window;
        return FALSE;
    };
    if (parent)
        EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    else
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A wizard, or with wizard false a message box, with that caption.
HWND WaitForTopLevel(const std::string& caption, bool wizard, DWORD milliseconds)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindShown(nullptr, [&](HWND window) {
                char cls[64] = {};
                GetClassNameA(window, cls, sizeof cls);
                if (strcmp(cls, "#32770") != 0 || Text(window) != caption) return false;
                bool isWizard = GetDlgItem(window, kPageArea) != nullptr;
                return isWizard == wizard && (wizard || !MessageBoxText(window).empty());
            });
            return found != nullptr;
        },
        milliseconds);
    return found;
}

}  // namespace

std::string SetupPath() { return TILO_SETUP_PATH; }
std::string OlderSetupPath() { return TILO_OLDER_SETUP_PATH; }
const char kOlderVersion[] = TILO_OLDER_VERSION;
const char kUninstallCaption[] = "Tilo Uninstall";

std::string SetupCaption(const std::string& version) { return "Tilo " + version + " Setup"; }

bool StartProgram(SaverProcess& process, const std::string& exe, const std::string& arguments)
{
    // The first program of a prefix that needs the desktop starts the desktop's process
    // as its own child: let that be this one, not a setup whose end is awaited.
    GetDesktopWindow();
    return process.StartUtf8("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments), exe);
}

Step::Step(std::string name) : name_(std::move(name)), start_(timeGetTime()) {}

Step::~Step() { printf("[step] %s: %.2f s\n", name_.c_str(), (timeGetTime() - start_) / 1000.0); }

DWORD RunToEnd(const std::string& step, const std::string& exe, const std::string& arguments,
               DWORD milliseconds)
{
    Step timed(step);
    SaverProcess process;
    if (!StartProgram(process, exe, arguments)) return STILL_ACTIVE;
    return WaitForProcessTree(process.handle(), milliseconds);
}

Wizard::~Wizard()
{
    if (process_) CloseHandle(process_);
}

bool Wizard::Find(const std::string& caption, DWORD milliseconds)
{
    hwnd_ = WaitForTopLevel(caption, true, milliseconds);
    if (!hwnd_) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd_, &pid);
    process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    return process_ != nullptr;
}

bool Wizard::Open(const std::string& exe, const std::string& arguments, const std::string& caption)
{
    return StartProgram(started_, exe, arguments) && Find(caption);
}

std::string Wizard::Walk(std::initializer_list<Page> pages) const
{
    for (const Page& page : pages) {
        const std::string heading = page.heading;
        if (!WaitForText(heading)) return "the page \"" + heading + "\" did not come";
        // The heading comes first: input waits until the wizard has built the rest.
        SyncWith(hwnd_);
        if ((page.keys && !Keys(page.keys)) || (page.text && !Type(page.text)))
            return "no input reached the page \"" + heading + "\"";
        if (page.shot && !Shot(page.shot)) return "no screenshot of the page \"" + heading + "\"";
        if (page.next && !Keys(page.next)) return "the page \"" + heading + "\" could not be left";
    }
    return "";
}

DWORD Wizard::WaitExit(DWORD milliseconds) const
{
    DWORD code = STILL_ACTIVE;
    if (process_ && WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_, &code);
    return code;
}

bool Wizard::WaitForText(const std::string& text, DWORD milliseconds) const
{
    return WaitUntil([&] { return FindShown(hwnd_, [&](HWND window) { return Text(window) == text; }); },
                     milliseconds);
}

std::string Wizard::PageControlText(int id) const
{
    HWND control = FindShown(hwnd_, [&](HWND window) { return GetDlgCtrlID(window) == id; });
    return control ? Text(control) : "<no control " + std::to_string(id) + ">";
}

bool Wizard::Keys(const std::string& keys) const { return XdoKeys(hwnd_, keys); }
bool Wizard::Type(const std::string& text) const { return XdoType(hwnd_, text); }
bool Wizard::Shot(const std::string& name) const
{
    // For a person to look at: the page painted, as far as its thread goes.
    SyncWith(hwnd_);
    PumpFor(300);
    return SaveWindowPng(hwnd_, TestName() + "-" + name);
}

HWND WaitForMessageBox(const std::string& caption, DWORD milliseconds)
{
    return WaitForTopLevel(caption, false, milliseconds);
}

std::string AnswerMessageBox(const std::string& caption, const std::string& shot)
{
    HWND box = WaitForMessageBox(caption);
    if (!box) return "<no message box>";
    std::string text = MessageBoxText(box);
    SaveWindowPng(box, TestName() + "-" + shot);
    XdoKeys(box, "Return");
    WaitWindowGone(box, 5000);
    return text;
}
