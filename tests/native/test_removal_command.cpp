#include <gtest/gtest.h>

#include "dialogs/removal_command.h"

TEST(RemovalCommand, TheUninstallerOfTheFolderQuotedWhenItHoldsABlank)
{
    RemovalCommand r;
    ASSERT_TRUE(MakeRemovalCommand(u"C:\\Apps\\Tilo", &r));
    EXPECT_EQ(r.command, u"C:\\Apps\\Tilo\\uninstal.exe");
    EXPECT_EQ(r.uninstaller, r.command);
    ASSERT_TRUE(MakeRemovalCommand(u"C:\\Program Files\\Tilo\\", &r));
    EXPECT_EQ(r.uninstaller, u"C:\\Program Files\\Tilo\\uninstal.exe");
    EXPECT_EQ(r.command, u"\"C:\\Program Files\\Tilo\\uninstal.exe\"");
    ASSERT_TRUE(MakeRemovalCommand(u"\\\\server\\share\\Tilo", &r));
    EXPECT_EQ(r.command, u"\\\\server\\share\\Tilo\\uninstal.exe");
}

TEST(RemovalCommand, NothingForAFolderThatIsEmptyRelativeQuotedOrTooLong)
{
    RemovalCommand r;
    for (const char16_t* folder :
         {u"", u"\\", u"Tilo", u"\\Tilo", u"C:Tilo", u"\\\\\\x", u"C:\\Apps\\\"Tilo\""})
        EXPECT_FALSE(MakeRemovalCommand(folder, &r));
    // Windows runs no RunOnce command longer than 260 characters: the quoted command of
    // the longest folder, with a blank, is that long; without one the limit is the same.
    for (const std::u16string& start : {std::u16string(u"C:\\ "), std::u16string(u"C:\\")}) {
        std::u16string longest = start + std::u16string(245 - start.size(), u'x');
        ASSERT_TRUE(MakeRemovalCommand(longest, &r));
        EXPECT_EQ(r.uninstaller.size(), kMaxUninstallerPath);
        EXPECT_LE(r.command.size(), kMaxRunOnceCommand);
        EXPECT_FALSE(MakeRemovalCommand(longest + u"x", &r));
    }
}

TEST(RemovalCommand, ARunOnceCommandStartsTheUninstallerQuotedOrNotInAnyLetterCase)
{
    const std::u16string u = u"C:\\Program Files\\Tilo\\uninstal.exe";
    EXPECT_TRUE(StartsUninstaller(u"\"c:\\program files\\tilo\\UNINSTAL.EXE\" /S", u));
    EXPECT_TRUE(StartsUninstaller(u, u));
    EXPECT_FALSE(StartsUninstaller(u + u" /S", u));
    EXPECT_FALSE(StartsUninstaller(u"\"C:\\Program Files\\Other\\uninstal.exe\"", u));
}
