#include "support/password_fakes.h"

#include "fakes/fake_record.h"
#include "support/registry.h"
#include "support/saver_process.h"

Win98Mode::Win98Mode(const char* exeName, bool reportWin98)
    : key_(std::string("Software\\Wine\\AppDefaults\\") + exeName)
{
    if (reportWin98) RegSetKeyValueA(HKEY_CURRENT_USER, key_.c_str(), "Version", REG_SZ, "win98", 6);
    // Wine prefers its own MPR.DLL even from the program's folder.
    RegSetKeyValueA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), "mpr", REG_SZ, "native", 7);
}

Win98Mode::~Win98Mode() { DeleteTree(HKEY_CURRENT_USER, key_.c_str()); }

std::string SaverBesideFakes()
{
    std::string target = FakesDir() + "/Tilo.scr";
    CopyFileA(SaverPath().c_str(), target.c_str(), FALSE);
    return target;
}

void ResetFakes() { DeleteTree(HKEY_CURRENT_USER, TILO_FAKES_KEY); }
