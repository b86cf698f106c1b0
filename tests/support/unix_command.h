
// Running a Linux command from a Windows test program (Wine starts ELF programs too).
#ifndef TILO_TESTS_SUPPORT_UNIX_COMMAND_H
#define TILO_TESTS_SUPPORT_UNIX_COMMAND_H

#include <string>

// Runs a shell command line and waits for it; its exit status, or -1 when it could not
// be started or did not end within 10 s.
int RunUnix(const char* commandLine);

// The Linux path of a Windows path (Wine's own mapping); empty when there is none.
std::string UnixPath(const std::string& windowsPath);

#endif
