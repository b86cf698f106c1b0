// The command that schedules the product's uninstaller, free of the platform.
#ifndef TILO_DIALOGS_REMOVAL_COMMAND_H
#define TILO_DIALOGS_REMOVAL_COMMAND_H

#include <stddef.h>

#include <string>

// The uninstaller's file name in the installation folder.
#define TILO_UNINSTALLER "uninstal.exe"

// Bytes for an installation folder, its uninstaller's name and the terminator.
constexpr size_t kRemovalPathCapacity = 356;

struct RemovalCommand {
    std::string uninstaller;  // the uninstaller's path, to check that it is there
    std::string command;      // the same, quoted when it holds a blank, for RunOnce
};

// The uninstaller of an installation folder ("C:\Apps\Tilo" gives
// "C:\Apps\Tilo\uninstal.exe"; "C:\Program Files\Tilo" gives the quoted path, so that
// Windows does not try "C:\Program.exe" first). False, and nothing to register, for a
// folder that is empty, relative (its program would be looked for wherever the logon
// starts), holds a quote, or whose command would not fit kRemovalPathCapacity bytes:
// it is never cut.
bool MakeRemovalCommand(const std::string& installDir, RemovalCommand* out);

#endif
