// The About dialog, opened in this process with the saver's resources and driven from a
// second thread; a recording program of ours is registered as the browser and the mail
// program. Each test runs in a process of its own.
#include <gtest/gtest.h>

#include "dialogs/about_dialog.h"
#include "resources/resource.h"
#include "support/background_task.h"
#include "support/launch_record.h"
#include "support/message_box.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/web_page.h"

namespace {

const char kMailCommandKey[] = "mailto\\shell\\open\\command";

class AboutDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseSaverResources());
        ASSERT_TRUE(InstallRecorder(kBrowser));
        ASSERT_TRUE(InstallRecorder(kMailer));
        ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY, "", "\"" + kBrowser + "\" \"%1\""));
        ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, kMailCommandKey, "", "\"" + kMailer + "\" \"%1\""));
        ForgetLaunches();
    }
    void TearDown() override
    {
        RemoveRecorder(kBrowser);
        RemoveRecorder(kMailer);
        ForgetLaunches();
    }
    // Opens the dialog and answers it with `act` from a second thread; its result.
    INT_PTR WithAbout(const std::function<void(HWND)>& act)
    {
        bool answered = false;
        INT_PTR result = AnswerDialog(
            "Tilo Screen Saver", [] { return ShowAboutDialog(nullptr); }, act, &answered);
        EXPECT_TRUE(answered) << "the dialog did not close";
        return result;
    }

    const std::string kBrowser = "C:\\TiloTest\\Browser\\browser.exe";
    const std::string kMailer = "C:\\TiloTest\\Mail\\mailer.exe";
    SavedValue http_{HKEY_CLASSES_ROOT, TILO_HTTP_COMMAND_KEY, ""};
    SavedValue mail_{HKEY_CLASSES_ROOT, kMailCommandKey, ""};
};

}  // namespace

TEST_F(AboutDialog, ShowsItsTextsAndIconsAndEachLinkButtonStartsItsProgramAndKeepsItOpen)
{
    std::vector<std::string> texts;
    int images = 0;
    bool openThroughout = true;
    INT_PTR result = WithAbout([&](HWND d) {
        texts = DialogTexts(d);
        images = ImagesShown(d);
        int pressed = 0;
        for (int id : {IDC_VISIT_SITE, IDC_SEND_MAIL, IDC_CAMPAIGN_FOR_TIBET, IDC_TIBET_SOCIETY}) {
            PostMessageA(d, WM_COMMAND, id, 0);
            openThroughout &= WaitForLaunches(++pressed) && IsWindowVisible(d);
        }
        PostMessageA(FocusOf(d), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(images, 2);
    EXPECT_TRUE(openThroughout);
    const std::vector<std::string> expected = {"#104",
                                               "#104",
                                               "",
                                               "OK",
                                               "Visit My Web Site",
                                               "Send Me Email",
                                               "",
                                               "The International Campaign for Tibet",
                                               "The Tibet Society and The Tibet Relief Fund",
                                               "Please join me in supporting the Tibetan people in the "
                                               "struggle to preserve their heritage and reclaim "
                                               "their homeland.  For more information visit these web sites:",
                                               "Tilo Screen Saver",
                                               "Version 1.0",
                                               "A screen saver by Corvane"};
    EXPECT_EQ(texts, expected);

    std::vector<Launch> l = Launches();
    ASSERT_EQ(l.size(), 4u);
    EXPECT_STRCASEEQ(l[0].module.c_str(), kBrowser.c_str());
    EXPECT_EQ(l[0].arguments, "http://www.example.org/tilo/");
    EXPECT_EQ(l[0].show, static_cast<DWORD>(SW_RESTORE));
    EXPECT_STRCASEEQ(l[1].module.c_str(), kMailer.c_str());
    EXPECT_EQ(l[1].arguments, "\"mailto:tilo@example.org?subject=Tilo screen saver\"");
    EXPECT_EQ(l[1].show, static_cast<DWORD>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(l[2].arguments, "https://savetibet.org/");
    EXPECT_EQ(l[3].arguments, "https://www.tibetsociety.com/");
}

TEST_F(AboutDialog, OkAndTheCloseBoxCloseIt)
{
    EXPECT_EQ(WithAbout([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); }), 1);
    EXPECT_EQ(WithAbout([](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }), 1);
    EXPECT_TRUE(Launches().empty());
}
