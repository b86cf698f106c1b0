// Tilo's setup program and its uninstaller as a user runs them: started from a Windows
// command line, their wizard driven page by page with real input, their message boxes
// read, and their end awaited (the uninstaller hands its work to a copy of itself).
#ifndef TILO_TESTS_SUPPORT_SETUP_PROGRAM_H
#define TILO_TESTS_SUPPORT_SETUP_PROGRAM_H

#include <windows.h>

#include <initializer_list>
#include <string>

#include "support/saver_process.h"

// The built Tilo-setup.exe, and the same setup numbered as an earlier release.
std::string SetupPath();
std::string OlderSetupPath();
extern const char kOlderVersion[];

// The wizard's caption (also its message boxes'): the setup's names its version.
std::string SetupCaption(const std::string& version);
extern const char kUninstallCaption[];

// Prints how long the step took when it ends ("[step] NAME: 1.23 s").
class Step {
public:
    explicit Step(std::string name);
    ~Step();

private:
    std::string name_;
    DWORD start_;
};

// Starts the program as "<exe>" ARGUMENTS: a folder with blanks after /D= stays unquoted,
// as the setup expects it and as a Windows command line can give it. Both in UTF-8.
bool StartProgram(SaverProcess& process, const std::string& exe, const std::string& arguments);
// Runs it to the end of every process it started; the exit code of the last to end, or
// STILL_ACTIVE after the time. A Step named `step`.
DWORD RunToEnd(const std::string& step, const std::string& exe, const std::string& arguments,
               DWORD milliseconds = 30000);

// A wizard window (the setup's or the uninstaller's) of any process.
class Wizard {
public:
    Wizard() = default;
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // What a user does on one page, in this order; null where nothing is done.
    struct Page {
        const char* heading;  // the text the page shows once it has come
        const char* keys;     // pressed (xdotool's names)
        const char* text;     // typed into the field that has the focus
        const char* shot;     // a screenshot of the page (Shot)
        const char* next;     // keys that leave the page
    };

    // Starts the program and waits for its wizard.
    bool Open(const std::string& exe, const std::string& arguments, const std::string& caption);
    // Waits for the wizard with that caption.
    bool Find(const std::string& caption, DWORD milliseconds = 15000);
    // Goes through the pages in turn: "" when all came, otherwise what went wrong first.
    std::string Walk(std::initializer_list<Page> pages) const;
    HWND hwnd() const { return hwnd_; }
    // The exit code of the process that shows the wizard (for the uninstaller, its copy),
    // or STILL_ACTIVE after the time.
    DWORD WaitExit(DWORD milliseconds = 15000) const;
    // Waits until a shown control of the wizard reads exactly `text` (a page's heading).
    bool WaitForText(const std::string& text, DWORD milliseconds = 10000) const;
    // The text of the control with that id on the current page.
    std::string PageControlText(int id) const;
    // Real keys and typing (xdotool) to the wizard.
    bool Keys(const std::string& keys) const;
    bool Type(const std::string& text) const;
    // A screenshot of the wizard as TestName-NAME.png (support/screenshot.h).
    bool Shot(const std::string& name) const;

private:
    SaverProcess started_;
    HWND hwnd_ = nullptr;
    HANDLE process_ = nullptr;
};

// A message box with that caption, of any process; null after the time.
HWND WaitForMessageBox(const std::string& caption, DWORD milliseconds = 10000);
// Waits for that message box, keeps a screenshot of it as TestName-SHOT.png, and presses
// its default button with a real key; its text, or "<no message box>".
std::string AnswerMessageBox(const std::string& caption, const std::string& shot);

#endif
