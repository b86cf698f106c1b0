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
    // Windows starts no program whose path is longer than 259 characters; the quotes
    // around a path with a blank do not count.
    for (const std::u16string& start : {std::u16string(u"C:\\"), std::u16string(u"C:\\ ")}) {
        std::u16string longest = start + std::u16string(246 - start.size(), u'x');
        ASSERT_TRUE(MakeRemovalCommand(longest, &r));
        EXPECT_EQ(r.uninstaller.size(), kMaxUninstallerPath);
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
