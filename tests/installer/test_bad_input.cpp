// What can go wrong around the setup and the uninstaller: two at once, a folder deleted
// by hand, a folder that cannot be written, a file that another program holds. Each ends
// with a clear message (or, silent, exit code 2) and a consistent state. Each test has a
// Wine prefix of its own.
#include <gtest/gtest.h>

#include <vector>

#include "resources/version.h"
#include "support/installation.h"
#include "support/registry.h"
#include "support/settings_store.h"
#include "support/setup_program.h"
#include "support/unix_command.h"
#include "support/waiting.h"

namespace {

const std::string kCaption = SetupCaption(TILO_VERSION_TEXT);

// The setup's pages from the folder page on, with what a user types there.
std::string InstallFromTheFolderPage(const Wizard& w, const char* keys = nullptr,
                                     const char* folder = nullptr)
{
    return w.Walk({{"Choose Install Location", keys, folder, nullptr, "Return"},
                   {"Installation Complete", nullptr, nullptr, nullptr, "Return"},
                   {"Completing Tilo Setup", nullptr, nullptr, nullptr, "Return"}});
}

void ExpectNothingInstalled()
{
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY));
    EXPECT_FALSE(FileExists(SystemSaverPath()));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"));
}

}  // namespace

TEST(TwoAtOnce, TheSecondSetupSaysSoAndTheFirstGoesOn)
{
    Wizard w;
    ASSERT_TRUE(w.Open(SetupPath(), "", kCaption));
    ASSERT_TRUE(w.WaitForText("Choose Components"));

    EXPECT_EQ(RunToEnd("second setup, silent", SetupPath(), "/S"), 2u);
    SaverProcess second;
    ASSERT_TRUE(StartProgram(second, SetupPath(), ""));
    EXPECT_NE(AnswerMessageBox(kCaption, "second").find("already running"), std::string::npos);
    EXPECT_EQ(second.WaitExit(10000), 2u);
    ExpectNothingInstalled();

    ASSERT_TRUE(w.Keys("alt+n"));
    ASSERT_EQ(InstallFromTheFolderPage(w), "");
    EXPECT_EQ(w.WaitExit(), 0u);
    ExpectInstalled({kDefaultFolder, true, Current::kSystemCopy, TILO_VERSION_TEXT});
    // Once the first has ended, the next may run: here, an update.
    EXPECT_EQ(RunToEnd("setup after the first ended", SetupPath(), "/S"), 0u);
}

TEST(FolderDeletedByHand, TheUninstallerSaysSoAndRemovesTheRest)
{
    const std::string folder = "C:\\Apps\\Tilo";
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), "/S /D=" + folder), 0u);
    Wizard w;
    ASSERT_TRUE(w.Open(folder + "\\uninstal.exe", "", kUninstallCaption));
    ASSERT_TRUE(w.WaitForText("Choose Components"));
    // It runs from a copy of itself, so the folder can go meanwhile.
    ASSERT_TRUE(DeleteFolderByHand(folder));
    ASSERT_TRUE(w.Keys("Return"));
    EXPECT_NE(AnswerMessageBox(kUninstallCaption, "message").find("no longer holds Tilo"), std::string::npos);
    ASSERT_EQ(w.Walk({{"Uninstallation Complete", nullptr, nullptr, nullptr, "Return"},
                      {"Completing Tilo Uninstall", nullptr, nullptr, nullptr, "Return"}}),
              "");
    EXPECT_EQ(w.WaitExit(), 0u);
    ExpectNothingLeft(folder);
    EXPECT_FALSE(FileExists("C:\\Apps"));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"));
}

TEST(FolderDeletedByHand, SetupAgainInstallsAfreshWhereItWas)
{
    const std::string folder = "C:\\Apps\\Tilo";
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), "/S /D=" + folder), 0u);
    ASSERT_TRUE(DeleteFolderByHand(folder));
    ASSERT_EQ(RunToEnd("setup after the folder was deleted", SetupPath(), "/S"), 0u);
    ExpectInstalled({folder, true, Current::kSystemCopy, TILO_VERSION_TEXT});
}

TEST(ReadOnlyFolder, TheSetupRefusesItSilentlyAndOnTheFolderPage)
{
    ReadOnlyFolder locked("C:\\Locked");
    ASSERT_TRUE(locked.ok());
    EXPECT_EQ(RunToEnd("silent install into a read-only folder", SetupPath(), "/S /D=C:\\Locked\\Tilo"), 2u);
    ExpectNothingInstalled();
    EXPECT_FALSE(FileExists("C:\\Locked\\Tilo"));

    Wizard w;
    ASSERT_TRUE(w.Open(SetupPath(), "", kCaption));
    ASSERT_EQ(w.Walk({{"Choose Components", nullptr, nullptr, nullptr, "alt+n"},
                      {"Choose Install Location", nullptr, "C:\\Locked\\Tilo", nullptr, "Return"}}),
              "");
    EXPECT_NE(AnswerMessageBox(kCaption, "message").find("cannot write to C:\\Locked\\Tilo"),
              std::string::npos);
    // The user stays on the folder page and chooses another.
    ASSERT_EQ(InstallFromTheFolderPage(w, "End shift+Home", "C:\\Apps\\Tilo"), "");
    EXPECT_EQ(w.WaitExit(), 0u);
    ExpectInstalled({"C:\\Apps\\Tilo", true, Current::kSystemCopy, TILO_VERSION_TEXT});
    EXPECT_FALSE(FileExists("C:\\Locked\\Tilo"));
}

TEST(ReadOnlyFolder, TheUninstallerSaysSoAndTiloStaysUntilItCanGo)
{
    const std::string folder = "C:\\Apps\\Tilo", uninstaller = folder + "\\uninstal.exe";
    const Installed installed = {folder, true, Current::kSystemCopy, TILO_VERSION_TEXT};
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), "/S /D=" + folder), 0u);
    {
        ReadOnlyFolder locked(folder);
        ASSERT_TRUE(locked.ok());
        EXPECT_EQ(RunToEnd("silent uninstall from a read-only folder", uninstaller, "/S"), 2u);
        ExpectInstalled(installed);

        Wizard w;
        ASSERT_TRUE(w.Open(uninstaller, "", kUninstallCaption));
        ASSERT_EQ(w.Walk({{"Choose Components", nullptr, nullptr, nullptr, "Return"}}), "");
        EXPECT_NE(AnswerMessageBox(kUninstallCaption, "message").find("cannot be deleted"),
                  std::string::npos);
        // Cancel, the one button left, closes it.
        ASSERT_EQ(w.Walk({{"Uninstallation Aborted", nullptr, nullptr, "aborted", "Return"}}), "");
        EXPECT_EQ(w.WaitExit(), 2u);
        ExpectInstalled(installed);
    }
    EXPECT_EQ(RunToEnd("uninstall once the folder may be changed", uninstaller, "/S"), 0u);
    ExpectNothingLeft(folder);
}

TEST(SystemCopyInUse, TheUninstallerRemovesNothingUntilItIsClosed)
{
    const std::string uninstaller = std::string(kDefaultFolder) + "\\uninstal.exe",
                      saver = std::string(kDefaultFolder) + "\\Tilo.scr";
    const Installed installed = {kDefaultFolder, true, Current::kSystemCopy, TILO_VERSION_TEXT};
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), "/S"), 0u);
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver", uninstaller));
    // Marked for deletion before the system copy was tried, it is read-only again after.
    ASSERT_TRUE(SetFileAttributesA(saver.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        // Held as a program that runs it holds it: others may read it, none may delete it.
        HANDLE held = CreateFileA(SystemSaverPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(RunToEnd("silent uninstall while the system copy is in use", uninstaller, "/S"), 2u);
        CloseHandle(held);
    }
    ExpectInstalled(installed);
    EXPECT_EQ(GetFileAttributesA(saver.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver"));
    EXPECT_EQ(RunToEnd("silent uninstall once it is closed", uninstaller, "/S"), 0u);
    ExpectNothingLeft(kDefaultFolder);
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kRunOnceKey, "kill_saver"));
}

// A virus scanner or the search indexer holds a file open and lets others read, write and
// delete it: a deletion that waits for it is a deletion. The uninstall completes, and the
// Uninstall entry goes with the uninstaller, whatever the holders do after.
TEST(HeldWithDeleteSharing, TheUninstallCompletesAndEachCopyGoesWithItsHolder)
{
    const std::string folder = "C:\\Apps\\Tilo", uninstaller = folder + "\\uninstal.exe";
    ASSERT_EQ(RunToEnd("silent install", SetupPath(), "/S /D=" + folder), 0u);
    std::vector<HANDLE> held;
    for (const std::string& copy : {folder + "\\Tilo.scr", SystemSaverPath()}) {
        held.push_back(CreateFileA(copy.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(held.back(), INVALID_HANDLE_VALUE) << copy;
    }
    EXPECT_EQ(RunToEnd("silent uninstall while both copies are held", uninstaller, "/S"), 0u);
    EXPECT_FALSE(FileExists(uninstaller));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, TILO_PRODUCT_KEY));
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"));

    for (HANDLE h : held) CloseHandle(h);
    EXPECT_FALSE(FileExists(folder + "\\Tilo.scr"));
    EXPECT_FALSE(FileExists(SystemSaverPath()));
    // The folders that the held copy kept go at the next start of Windows.
    ASSERT_EQ(RunUnix("wineboot -r"), 0);
    ExpectNothingLeft(folder);
    EXPECT_FALSE(FileExists("C:\\Apps"));
}
