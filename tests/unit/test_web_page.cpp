// OpenWebPage against Wine's shell and registry: a recording program of ours is
// registered as the browser, so what is started can be seen.
#include <gtest/gtest.h>

#include "support/background_task.h"
#include "support/launch_record.h"
#include "support/registry.h"
#include "support/settings_store.h"
#include "support/waiting.h"
#include "support/web_page.h"

namespace {

class WebPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForgetLaunches();
        ASSERT_TRUE(InstallRecorder(kBrowser));
        // Wine's shell looks for a bare "iexplore.exe" in the system folder first: the
        // recorder takes the place of Wine's own there while the test runs, and is
        // preferred to Wine's built-in program of that name.
        ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kOverrides, "iexplore.exe", "native"));
        if (GetFileAttributesA(kExplorerAside) == INVALID_FILE_ATTRIBUTES) {
            ASSERT_TRUE(MoveFileA(kExplorer, kExplorerAside));
        }
        ASSERT_TRUE(InstallRecorder(kExplorer));
    }
    void TearDown() override
    {
        RemoveRecorder(kBrowser);
        MoveFileExA(kExplorerAside, kExplorer, MOVEFILE_REPLACE_EXISTING);
        ForgetLaunches();
    }
    void Register(const std::string& command)
    {
        ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY, "", command));
    }
    // Opens the link and returns the one start it made.
    Launch Open(const std::string& link)
    {
        ForgetLaunches();
        EXPECT_TRUE(OpenWebPage(link.c_str()));
        EXPECT_TRUE(WaitForLaunches(1));
        std::vector<Launch> all = Launches();
        EXPECT_EQ(all.size(), 1u);
        return all.empty() ? Launch{} : all[0];
    }
    static std::string Lower(std::string s)
    {
        for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return s;
    }

    const std::string kBrowser = "C:\\TiloTest\\Web Browser\\browser.exe";
    static constexpr const char* kOverrides = "Software\\Wine\\DllOverrides";
    static constexpr const char* kExplorer = "C:\\windows\\system32\\iexplore.exe";
    static constexpr const char* kExplorerAside = "C:\\windows\\system32\\iexplore.exe.tilo-test";
    const std::string kLink = "-new HTTP://www.Example.org/Tilo/";
    const std::string kAddress = "http://www.example.org/tilo/";
    SavedValue command_{HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY, ""};
    SavedValue override_{HKEY_CURRENT_USER, kOverrides, "iexplore.exe"};
};

}  // namespace

TEST_F(WebPage, EachShapeOfRegisteredCommandStartsTheBrowserWithTheAddress)
{
    const std::string plain = "C:\\TiloTest\\Plain\\browser.exe";
    ASSERT_TRUE(InstallRecorder(plain));
    const struct {
        std::string command, program, arguments;
    } shapes[] = {
        {"\"" + kBrowser + "\" -osint -url \"%1\" --trailing", kBrowser, "-osint -url " + kAddress},
        {plain + " \"%1\"", plain, kAddress},
        {plain + " -nohome", plain, "-nohome " + kAddress},
        {"\"" + kBrowser + "\"", kBrowser, kAddress},
        {"C:\\TiloTest\\Plain\\BROWSER.EXE", plain, kAddress},
    };
    for (const auto& s : shapes) {
        Register(s.command);
        Launch l = Open(kLink);
        EXPECT_EQ(Lower(l.module), Lower(s.program)) << s.command;
        EXPECT_EQ(l.arguments, s.arguments) << s.command;
        EXPECT_EQ(l.show, static_cast<DWORD>(SW_RESTORE));
    }
    RemoveRecorder(plain);
}

TEST_F(WebPage, WithoutACommandOrWithInternetExplorerItStartsIexploreWithNew)
{
    for (const char* command : {"", "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.exe\" %1", "dummy"}) {
        Register(command);
        Launch l = Open(kLink);
        EXPECT_EQ(Lower(l.module), Lower(kExplorer)) << command;
        EXPECT_EQ(l.arguments, "-new " + kAddress) << command;
    }
    RegDeleteTreeA(HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY);
    EXPECT_EQ(Lower(Open(kLink).module), Lower(kExplorer));
}

TEST_F(WebPage, LongAddressesAndCommandsArriveWhole)
{
    std::string address = "http://www.example.org/" + std::string(400, 'p');
    std::string command = "\"" + kBrowser + "\" " + std::string(300, 'x') + " \"%1\"";
    Register(command);
    Launch l = Open("-new " + address);
    EXPECT_EQ(Lower(l.module), Lower(kBrowser));
    EXPECT_EQ(l.arguments, std::string(300, 'x') + " " + address);
}

TEST_F(WebPage, FailuresOpenNothingShowNothingAndTheStoreIsBackOnTheProductKey)
{
    Register("\"C:\\TiloTest\\Missing\\browser.exe\" \"%1\"");
    bool boxShown = false;
    BackgroundTask watcher([&boxShown] {
        HWND box = WaitForWindow("#32770", nullptr, 1500, GetCurrentProcessId());
        boxShown = box != nullptr;
        if (box) PostMessageA(box, WM_CLOSE, 0, 0);
    });
    SelectKey(nullptr, "Software\\TiloTest\\Elsewhere");
    EXPECT_FALSE(OpenWebPage(kLink.c_str()));
    EXPECT_STREQ(CurrentKeyPath(), TILO_PRODUCT_KEY);
    EXPECT_FALSE(OpenWebPage("-new www.example.org"));
    EXPECT_FALSE(OpenWebPage(""));
    watcher.Join();
    EXPECT_FALSE(boxShown);
    EXPECT_TRUE(Launches().empty());
}

// An account that is not an administrator may read the classes root but not change it:
// the registered browser is started all the same.
TEST_F(WebPage, AnAccountThatMayOnlyReadTheClassesRootStartsTheRegisteredBrowser)
{
    Register("\"" + kBrowser + "\" \"%1\"");
    DeniedRights readOnly(HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY, kKeyWriteRights);
    ASSERT_TRUE(readOnly.inForce());
    Launch l = Open(kLink);
    EXPECT_EQ(Lower(l.module), Lower(kBrowser));
    EXPECT_EQ(l.arguments, kAddress);
}
