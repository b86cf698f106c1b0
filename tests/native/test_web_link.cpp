#include <gtest/gtest.h>

#include "support/web_link.h"

namespace {

const std::string kAddress = "http://www.example.org/tilo/";

void ExpectStart(const std::string& command, const std::string& program, const std::string& parameters)
{
    BrowserStart s = PlanBrowserStart(kAddress, command);
    EXPECT_EQ(s.program, program) << command;
    EXPECT_EQ(s.parameters, parameters) << command;
}

}  // namespace

TEST(WebLink, TheAddressRunsFromTheFirstHttpInLowerCase)
{
    std::string address;
    ASSERT_TRUE(AddressOfLink("-new HTTP://WWW.Example.ORG/Tilo/", &address));
    EXPECT_EQ(address, kAddress);
    ASSERT_TRUE(AddressOfLink("https://savetibet.org/", &address));
    EXPECT_EQ(address, "https://savetibet.org/");
    EXPECT_FALSE(AddressOfLink("-new www.example.org", &address));
    EXPECT_FALSE(AddressOfLink("", &address));
}

TEST(WebLink, EachShapeOfRegisteredCommand)
{
    // A quoted path, arguments, the quoted placeholder and what follows it, dropped.
    ExpectStart("\"C:\\Program Files\\Browser\\browser.exe\" -osint -url \"%1\" -x",
                "c:\\program files\\browser\\browser.exe", " -osint -url " + kAddress);
    ExpectStart("c:\\b\\browser.exe \"%1\"", "c:\\b\\browser.exe", kAddress);
    ExpectStart("c:\\b\\browser.exe -nohome", "c:\\b\\browser.exe", "-nohome " + kAddress);
    ExpectStart("\"c:\\b\\browser.exe\"", "c:\\b\\browser.exe", kAddress);
    ExpectStart("c:\\b\\browser.exe", "c:\\b\\browser.exe", kAddress);
    // A bare placeholder is the address's place too, not an argument of its own.
    ExpectStart("c:\\b\\browser.exe %1", "c:\\b\\browser.exe", kAddress);
    ExpectStart("c:\\b\\browser.exe -a %10 %1", "c:\\b\\browser.exe", "-a %10 " + kAddress);
    // Blanks before the program, as some registrations leave them.
    ExpectStart(" \"C:\\rec\\rec.exe\" \"%1\"", "c:\\rec\\rec.exe", " " + kAddress);
    ExpectStart(" \t c:\\b\\browser.exe %1", "c:\\b\\browser.exe", kAddress);
}

TEST(WebLink, InternetExplorerOrNoProgramGivesTheFallbackWithNew)
{
    for (const char* command : {"dummy", "", "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" %1",
                                "c:\\b\\browser.com %1", "\"c:\\b\\browser\" %1"})
        ExpectStart(command, "iexplore.exe", "-new " + kAddress);
}

TEST(WebLink, AnExeInsideAFolderNameIsNotTakenForTheProgram)
{
    ExpectStart("c:\\tools.exec\\browser.exe %1", "c:\\tools.exec\\browser.exe", kAddress);
    ExpectStart("\"c:\\x.exe y\\browser.exe\" \"%1\"", "c:\\x.exe y\\browser.exe", " " + kAddress);
}

TEST(WebLink, LongTextsAreKeptWhole)
{
    std::string folder(300, 'f');
    std::string address = "http://example.org/" + std::string(500, 'p');
    BrowserStart s = PlanBrowserStart(address, "\"c:\\" + folder + "\\browser.exe\" \"%1\"");
    EXPECT_EQ(s.program, "c:\\" + folder + "\\browser.exe");
    EXPECT_EQ(s.parameters, " " + address);
}
