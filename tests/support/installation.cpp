#include "support/installation.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include "support/registry.h"
#include "support/saver_process.h"
#include "support/settings_store.h"
#include "support/unix_command.h"
#include "support/waiting.h"

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tilo";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kDesktopKey[] = "Control Panel\\Desktop";
const char kDefaultFolder[] = "C:\\Program Files\\Tilo";

namespace {

// What the setup counts: whole kilobytes of each file.
DWORD Kilobytes(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return data.nFileSizeLow / 1024;
}

std::vector<char> ReadAll(const std::string& path)
{
    std::vector<char> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    return bytes;
}

}  // namespace

std::string SystemSaverPath()
{
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\Tilo.scr";
}

std::vector<std::string> ListedSavers()
{
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, sizeof dir);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((std::string(dir) + "\\*.scr").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return names;
}

void ExpectSaverRunsFrom(const std::string& program)
{
    SaverProcess saver;
    std::string name = program.find(' ') == std::string::npos ? program : "\"" + program + "\"";
    ASSERT_TRUE(saver.StartRaw(name + " /s", program)) << program;
    HWND window = WaitForSaverWindow(saver);
    ASSERT_TRUE(window) << program;
    RECT rc = {};
    GetWindowRect(window, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom, GetSystemMetrics(SM_CYSCREEN));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(saver.WaitExit(10000), 0u) << program;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameBytes(const std::string& a, const std::string& b)
{
    std::vector<char> x = ReadAll(a);
    return !x.empty() && x == ReadAll(b);
}

std::string LongPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    return GetLongPathNameA(path.c_str(), full, sizeof full) ? full : path;
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "w");
    if (!f) return false;
    fputs(text.c_str(), f);
    return fclose(f) == 0;
}

bool DeleteFolderByHand(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    return RemoveDirectoryA(folder.c_str()) != 0;
}

void ExpectInstalled(const Installed& e)
{
    const std::string saver = e.folder + "\\Tilo.scr", uninstaller = e.folder + "\\uninstal.exe";
    EXPECT_TRUE(SameBytes(saver, SaverPath())) << saver;
    EXPECT_TRUE(FileExists(uninstaller)) << uninstaller;

    // The value the saver's "Remove Tilo" reads: a string, the folder without a trailing
    // backslash.
    std::vector<BYTE> raw;
    DWORD type = 0;
    EXPECT_TRUE(GetRaw(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir", &raw, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::string text;
    EXPECT_TRUE(GetString(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY, "install_dir", &text));
    EXPECT_EQ(text, e.folder);

    const std::pair<const char*, std::string> strings[] = {
        {"DisplayName", "Tilo Screen Saver"},
        {"DisplayVersion", e.version},
        {"Publisher", "Corvane"},
        {"DisplayIcon", saver},
        {"InstallLocation", e.folder},
        {"UninstallString", "\"" + uninstaller + "\""},
        {"QuietUninstallString", "\"" + uninstaller + "\" /S"},
    };
    for (const auto& s : strings) {
        text = "<missing>";
        GetString(HKEY_LOCAL_MACHINE, kUninstallKey, s.first, &text);
        EXPECT_EQ(text, s.second) << s.first;
    }
    DWORD value = 0;
    EXPECT_TRUE(GetDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoModify", &value) && value == 1);
    EXPECT_TRUE(GetDword(HKEY_LOCAL_MACHINE, kUninstallKey, "NoRepair", &value) && value == 1);
    DWORD kb = Kilobytes(saver) + Kilobytes(uninstaller) + (e.systemCopy ? Kilobytes(SystemSaverPath()) : 0);
    EXPECT_TRUE(GetDword(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize", &value));
    EXPECT_EQ(value, kb);

    EXPECT_EQ(FileExists(SystemSaverPath()), e.systemCopy);
    if (e.systemCopy) {
        EXPECT_TRUE(SameBytes(SystemSaverPath(), SaverPath()));
        bool listed = false;
        for (const std::string& name : ListedSavers()) listed |= _stricmp(name.c_str(), "Tilo.scr") == 0;
        EXPECT_TRUE(listed) << "the Display control panel does not find Tilo.scr";
    }

    if (e.current == Current::kUnchanged) return;
    // The system starts the saver from this value unquoted: a short name without blanks.
    std::string current;
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", &current));
    EXPECT_EQ(current.find(' '), std::string::npos) << current;
    EXPECT_STRCASEEQ(LongPath(current).c_str(),
                     LongPath(e.current == Current::kSystemCopy ? SystemSaverPath() : saver).c_str());
    EXPECT_TRUE(GetString(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive", &text));
    EXPECT_EQ(text, "1");
}

void ExpectNothingLeft(const std::string& folder, const std::string& userFile)
{
    EXPECT_FALSE(FileExists(folder + "\\Tilo.scr"));
    EXPECT_FALSE(FileExists(folder + "\\uninstal.exe"));
    if (userFile.empty())
        EXPECT_FALSE(FileExists(folder)) << folder;
    else
        EXPECT_TRUE(FileExists(folder + "\\" + userFile)) << "the user's own file went too";
    EXPECT_FALSE(FileExists(SystemSaverPath()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Corvane"));
}

ReadOnlyFolder::ReadOnlyFolder(const std::string& windowsPath)
{
    CreateDirectoryA(windowsPath.c_str(), nullptr);
    unixPath_ = UnixPath(windowsPath);
    if (unixPath_.empty()) return;
    std::string line = "chattr +i '" + unixPath_ + "' 2>/dev/null || chmod a-w '" + unixPath_ + "'";
    RunUnix(line.c_str());
    // Whatever was used, it holds only if a file cannot be made there now.
    std::string probe = windowsPath + "\\probe.tmp";
    HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ok_ = h == INVALID_HANDLE_VALUE;
    if (!ok_) {
        CloseHandle(h);
        DeleteFileA(probe.c_str());
    }
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (unixPath_.empty()) return;
    std::string line = "chattr -i '" + unixPath_ + "' 2>/dev/null; chmod u+w '" + unixPath_ + "'";
    RunUnix(line.c_str());
}
