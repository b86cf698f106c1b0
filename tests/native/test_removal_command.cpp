#include <gtest/gtest.h>

#include "dialogs/removal_command.h"

TEST(RemovalCommand, TheUninstallerOfTheFolderQuotedWhenItHoldsABlank)
{
    RemovalCommand r;
    ASSERT_TRUE(MakeRemovalCommand("C:\\Apps\\Tilo", &r));
    EXPECT_EQ(r.command, "C:\\Apps\\Tilo\\uninstal.exe");
    EXPECT_EQ(r.uninstaller, r.command);
    ASSERT_TRUE(MakeRemovalCommand("C:\\Program Files\\Tilo\\", &r));
    EXPECT_EQ(r.uninstaller, "C:\\Program Files\\Tilo\\uninstal.exe");
    EXPECT_EQ(r.command, "\"C:\\Program Files\\Tilo\\uninstal.exe\"");
    ASSERT_TRUE(MakeRemovalCommand("\\\\server\\share\\Tilo", &r));
    EXPECT_EQ(r.command, "\\\\server\\share\\Tilo\\uninstal.exe");
}

TEST(RemovalCommand, NothingForAFolderThatIsEmptyRelativeQuotedOrTooLong)
{
    RemovalCommand r;
    for (const char* folder : {"", "\\", "Tilo", "\\Tilo", "C:Tilo", "\\\\\\x", "C:\\Apps\\\"Tilo\""})
        EXPECT_FALSE(MakeRemovalCommand(folder, &r)) << folder;
    // With its uninstaller and terminator the command fits 356 bytes, or is refused whole.
    std::string longest = "C:\\" + std::string(339, 'x');  // 342 characters
    EXPECT_TRUE(MakeRemovalCommand(longest, &r));
    EXPECT_EQ(r.command.size(), kRemovalPathCapacity - 1);
    EXPECT_FALSE(MakeRemovalCommand(longest + "x", &r));
    std::string blank = "C:\\ " + std::string(336, 'x');  // 340, quoted: 355
    EXPECT_TRUE(MakeRemovalCommand(blank, &r));
    EXPECT_FALSE(MakeRemovalCommand(blank + "x", &r));
}
