// The command that schedules the product's uninstaller, free of the platform. Paths are
// UTF-16, as the registry's wide interface holds them: the installation folder may have
// a name outside the system's ANSI code page.
#ifndef TILO_DIALOGS_REMOVAL_COMMAND_H
#define TILO_DIALOGS_REMOVAL_COMMAND_H

#include <stddef.h>

#include <string>

// The uninstaller's file name in the installation folder.
#define TILO_UNINSTALLER u"uninstal.exe"

// Windows runs a RunOnce command of at most this many characters. The setup reads the
// number from here (installer/tilo.nsi): it takes no folder from which the saver would
// refuse to schedule the uninstaller.
#define TILO_MAX_RUNONCE_COMMAND 260
constexpr size_t kMaxRunOnceCommand = TILO_MAX_RUNONCE_COMMAND;

// The longest uninstaller's path: its command fits with the two quotes of a path with a
// blank, whether or not this one has a blank, so that the saver and the setup take the
// same folders (at most 245 characters without a trailing backslash).
constexpr size_t kMaxUninstallerPath = kMaxRunOnceCommand - 2;

// Characters read for an installation folder or a RunOnce value, terminator included:
// the longest usable command and more, so that a longer value reads as too long.
constexpr size_t kRemovalPathCapacity = 356;

struct RemovalCommand {
    std::u16string uninstaller;  // the uninstaller's path, to check that it is there
    std::u16string command;      // the same, quoted when it holds a blank, for RunOnce
};

// The uninstaller of an installation folder ("C:\Apps\Tilo" gives
// "C:\Apps\Tilo\uninstal.exe"; "C:\Program Files\Tilo" gives the quoted path, so that
// Windows does not try "C:\Program.exe" first). False, and nothing to register, for a
// folder that is empty, relative (its program would be looked for wherever the logon
// starts), holds a quote, or whose uninstaller's path is longer than
// kMaxUninstallerPath (Windows would not run the command): it is never cut.
bool MakeRemovalCommand(const std::u16string& installDir, RemovalCommand* out);

// True when a RunOnce command starts that uninstaller: its program (the quoted part of a
// command that starts with a quote, otherwise the whole command) is the same path, in
// any letter case.
bool StartsUninstaller(const std::u16string& command, const std::u16string& uninstaller);

#endif
