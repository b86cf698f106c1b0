// What an installation of Tilo leaves in Windows, checked as a whole: the files, the
// registry values the setup writes, the current screen saver, the removal requests.
#ifndef TILO_TESTS_SUPPORT_INSTALLATION_H
#define TILO_TESTS_SUPPORT_INSTALLATION_H

#include <windows.h>

#include <string>
#include <vector>

extern const char kUninstallKey[];
extern const char kRunOnceKey[];
extern const char kDesktopKey[];
extern const char kDefaultFolder[];

// The copy in the system folder, which the Display control panel lists.
std::string SystemSaverPath();
// The screen savers the Display control panel offers: the *.scr files of the system folder.
std::vector<std::string> ListedSavers();

// What SCRNSAVE.EXE names after a setup: its system-folder copy, the copy in its folder,
// or (not checked) whatever the user had chosen.
enum class Current { kSystemCopy, kFolderCopy, kUnchanged };

struct Installed {
    std::string folder;
    bool systemCopy = true;
    Current current = Current::kSystemCopy;
    std::string version;
};
// Checks (with gtest) every file and value of the installation.
void ExpectInstalled(const Installed& expected);
// Checks that nothing the setup writes is left, apart from the current-saver values,
// which the caller checks. userFile: a file of the user's own that must stay in the folder.
void ExpectNothingLeft(const std::string& folder, const std::string& userFile = "");

// Starts the saver as the system does, "<program> /s", and checks that it covers the
// screen and exits with 0 when closed.
void ExpectSaverRunsFrom(const std::string& program);

// path: UTF-8.
bool FileExists(const std::string& path);
bool SameBytes(const std::string& a, const std::string& b);
// The long form of a path that exists; otherwise the path as given.
std::string LongPath(const std::string& path);
bool WriteTextFile(const std::string& path, const std::string& text);
// Deletes the folder and the files in it, as a user does in the file manager.
bool DeleteFolderByHand(const std::string& folder);

// A folder that nobody may change while this lives: its files cannot be created or
// deleted (chmod as a user; as root, which ignores permissions, the immutable attribute).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& windowsPath);
    ~ReadOnlyFolder();
    bool ok() const { return ok_; }

private:
    std::string unixPath_;
    bool ok_ = false;
};

#endif
