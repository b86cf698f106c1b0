// Command-line scanning: plain text in, a run mode out. No platform calls, so the
// rules can be exercised natively.
#ifndef TILO_SHELL_CMDLINE_H
#define TILO_SHELL_CMDLINE_H

#include <stdint.h>

enum class RunMode {
    ConfigNoOwner,     // end of text: configuration without owner
    ConfigForeground,  // c: configuration owned by the foreground window
    Saver,             // s: full screen
    Preview,           // p or l and a window handle
    ChangePassword,    // a and a window handle
    Invalid,           // anything else
};

struct ModeRequest {
    RunMode mode;
    uint32_t handle;  // the decimal window handle behind p, l or a; 0 otherwise
};

// Steps over one character; the platform's CharNextA in the program, +1 natively.
typedef const char* (*NextCharFn)(const char*);
const char* NextByte(const char* p);

// The argument text behind the program name: a quoted name runs to its closing quote
// (or the end), an unquoted one to the first character at or below the blank; then
// every character from 1 to 32 is skipped.
const char* SkipProgramText(const char* line, NextCharFn next);

// Reads a run of decimal digits, wrapping in 32 bits; stops at the first other character.
uint32_t ParseWindowHandle(const char* text);

// The first significant letter after blanks, dashes and slashes decides; `a` is only
// honoured on the Windows 95/98/Me family.
ModeRequest ScanRunMode(const char* args, bool win9x);

#endif
