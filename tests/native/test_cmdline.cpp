#include <gtest/gtest.h>

#include <string>

#include "shell/cmdline.h"

namespace {

ModeRequest Scan(const char* args, bool win9x = false) { return ScanRunMode(args, win9x); }

std::string Skip(const char* line) { return SkipProgramText(line, NextByte); }

}  // namespace

TEST(CommandLine, EmptyOrBlankArgumentsOpenConfigurationWithoutOwner)
{
    EXPECT_EQ(Scan("").mode, RunMode::ConfigNoOwner);
    EXPECT_EQ(Scan("   ").mode, RunMode::ConfigNoOwner);
    EXPECT_EQ(Scan("--//").mode, RunMode::ConfigNoOwner);
    EXPECT_EQ(Scan(nullptr).mode, RunMode::ConfigNoOwner);
}

TEST(CommandLine, OnlyTheFirstLetterCounts)
{
    for (const char* a : {"/s", "-s", "S", "/S", "/save", " - /s x"})
        EXPECT_EQ(Scan(a).mode, RunMode::Saver) << a;
    EXPECT_EQ(Scan("/config").mode, RunMode::ConfigForeground);
    EXPECT_EQ(Scan("/c:1234").mode, RunMode::ConfigForeground);
    EXPECT_EQ(Scan("/x").mode, RunMode::Invalid);
    EXPECT_EQ(Scan("/1").mode, RunMode::Invalid);
    EXPECT_EQ(Scan("\t/s").mode, RunMode::Invalid);  // only blanks, dashes and slashes are skipped
    EXPECT_EQ(Scan("\xe9s").mode, RunMode::Invalid);
}

TEST(CommandLine, PreviewReadsDecimalHandleAfterBlanks)
{
    EXPECT_EQ(Scan("/p 1234").mode, RunMode::Preview);
    EXPECT_EQ(Scan("/p 1234").handle, 1234u);
    EXPECT_EQ(Scan("/p1234").handle, 1234u);
    EXPECT_EQ(Scan("/l   77x").handle, 77u);
    EXPECT_EQ(Scan("/L 77").mode, RunMode::Preview);
    EXPECT_EQ(Scan("/p:1234").handle, 0u);
    EXPECT_EQ(Scan("/p").handle, 0u);
    EXPECT_EQ(Scan("/p -5").handle, 0u);
    EXPECT_EQ(Scan("/p 0x10").handle, 0u);
}

TEST(CommandLine, HandleDigitsWrapInThirtyTwoBits)
{
    EXPECT_EQ(ParseWindowHandle("4294967295"), 4294967295u);
    EXPECT_EQ(ParseWindowHandle("4294967296"), 0u);
    EXPECT_EQ(ParseWindowHandle("4294967297"), 1u);
    // A thousand digits neither overflow anything nor take long.
    std::string many(1000, '9');
    EXPECT_EQ(ParseWindowHandle(many.c_str()), static_cast<uint32_t>(ParseWindowHandle(many.c_str())));
    EXPECT_EQ(ParseWindowHandle("12a3"), 12u);
}

TEST(CommandLine, ChangePasswordOnlyOnTheOlderFamily)
{
    EXPECT_EQ(Scan("/a 1234", false).mode, RunMode::Invalid);
    ModeRequest r = Scan("/a 1234", true);
    EXPECT_EQ(r.mode, RunMode::ChangePassword);
    EXPECT_EQ(r.handle, 1234u);
    EXPECT_EQ(Scan("-A", true).handle, 0u);
}

TEST(ProgramName, QuotedNameIsSkippedWholeWithBlanksInside)
{
    EXPECT_EQ(Skip("\"C:\\Program Files\\Tilo.scr\" /s"), "/s");
    EXPECT_EQ(Skip("\"C:\\a b\\Tilo.scr\"/p 5"), "/p 5");
    // An unclosed quote consumes the whole line.
    EXPECT_EQ(Skip("\"C:\\a b\\Tilo.scr /s"), "");
}

TEST(ProgramName, UnquotedNameEndsAtTheFirstBlankOrControlCharacter)
{
    EXPECT_EQ(Skip("Tilo.scr /s"), "/s");
    EXPECT_EQ(Skip("Tilo.scr\t\t /c"), "/c");
    EXPECT_EQ(Skip("Tilo.scr"), "");
    EXPECT_EQ(Skip("T\xe9l\xf6.scr  /s"), "/s");  // bytes above 127 belong to the name
    EXPECT_EQ(Skip(""), "");
    EXPECT_EQ(Skip("   /s"), "/s");
}
