// The test-only password providers of the Windows 95/98/Me family, and the Wine
// settings under which the saver uses them.
#ifndef TILO_TESTS_SUPPORT_PASSWORD_FAKES_H
#define TILO_TESTS_SUPPORT_PASSWORD_FAKES_H

#include <string>

// Sets the saver's program (by file name) to report the Windows 98 platform while alive,
// and to load the test-only MPR.DLL beside it.
class Win98Mode {
public:
    // reportWin98 false: only the library override, the platform stays as it is.
    explicit Win98Mode(const char* exeName, bool reportWin98 = true);
    ~Win98Mode();

private:
    std::string key_;
};

// Copies Tilo.scr beside the test-only provider libraries, so that it loads them.
std::string SaverBesideFakes();

// Resets the values the provider libraries record and answer with.
void ResetFakes();

#endif
