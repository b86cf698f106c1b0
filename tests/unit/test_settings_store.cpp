#include <gtest/gtest.h>

#include "support/registry.h"
#include "support/settings_store.h"

namespace {

// A window of a known class, to see which class a created key records.
HWND MakeWindowOfClass(const char* cls)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    RegisterClassA(&wc);
    return CreateWindowExA(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace

TEST(SettingsStore, FirstReadCreatesKeyWithSelectingWindowsClassAndReturnsDefault)
{
    ScratchKey scratch;
    HWND w = MakeWindowOfClass("TiloStoreProbeClass");
    ASSERT_TRUE(w);
    SelectKey(w, scratch.path().c_str());
    ASSERT_FALSE(scratch.exists());
    EXPECT_EQ(ReadUserInt("disable_frame_warn", 7), 7);
    EXPECT_TRUE(scratch.exists());
    EXPECT_EQ(KeyClass(HKEY_CURRENT_USER, scratch.path().c_str()), "TiloStoreProbeClass");
    DestroyWindow(w);
}

TEST(SettingsStore, SelectKeyWithoutWindowKeepsTheClassAndCutsLongClassNames)
{
    ScratchKey scratch;
    HWND w = MakeWindowOfClass("AClassNameThatIsMuchLongerThanThirtyNineCharacters");
    ASSERT_TRUE(w);
    SelectKey(w, "Software\\TiloTest\\Elsewhere");
    SelectKey(nullptr, scratch.path().c_str());
    EXPECT_STREQ(CurrentKeyClass(), "AClassNameThatIsMuchLongerThanThirtyNin");
    ASSERT_TRUE(WriteUserInt("x", 1));
    EXPECT_EQ(KeyClass(HKEY_CURRENT_USER, scratch.path().c_str()), "AClassNameThatIsMuchLongerThanThirtyNin");
    DestroyWindow(w);
    DeleteTree(HKEY_CURRENT_USER, "Software\\TiloTest\\Elsewhere");
}

TEST(SettingsStore, IntegersRoundTripAsFourByteDwords)
{
    ScratchKey scratch;
    SelectKey(nullptr, scratch.path().c_str());
    ASSERT_TRUE(WriteUserInt("mod1 xrot", -9000));
    std::vector<BYTE> raw;
    DWORD type = 0;
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, scratch.path().c_str(), "mod1 xrot", &raw, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(raw.size(), 4u);
    EXPECT_EQ(ReadUserInt("mod1 xrot", 0), -9000);
    EXPECT_EQ(ReadUserInt("missing", -9999), -9999);
}

// Only a REG_DWORD is a number: text or binary data of any length, four bytes
// included, reads as the default.
TEST(SettingsStore, ValuesOfAnotherTypeOrSizeReadAsDefault)
{
    ScratchKey scratch;
    SelectKey(nullptr, scratch.path().c_str());
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const struct {
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {{REG_BINARY, eight, 8},    {REG_QWORD, eight, 8},     {REG_SZ, "1", 2},
                 {REG_SZ, "abc", 4},        {REG_MULTI_SZ, "ab\0", 4}, {REG_BINARY, "abc", 4},
                 {REG_EXPAND_SZ, "abc", 4}, {REG_DWORD, eight, 3},     {REG_DWORD_BIG_ENDIAN, eight, 4}};
    for (const auto& c : cases) {
        ASSERT_TRUE(SetBinary(HKEY_CURRENT_USER, scratch.path().c_str(), "v", c.data, c.size, c.type));
        EXPECT_EQ(ReadUserInt("v", 42), 42) << "type " << c.type << ", " << c.size << " bytes";
    }
    ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, scratch.path().c_str(), "v", 10000));
    EXPECT_EQ(ReadUserInt("v", 42), 10000);
}

TEST(SettingsStore, MachineStringsStoreTheirTerminatorAndLongOnesReadAsDefault)
{
    ScratchKey scratch;
    SelectKey(nullptr, scratch.path().c_str());
    ASSERT_TRUE(WriteMachineString("install_dir", "abc"));
    std::vector<BYTE> raw;
    DWORD type = 0;
    ASSERT_TRUE(GetRaw(HKEY_LOCAL_MACHINE, scratch.path().c_str(), "install_dir", &raw, &type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ASSERT_EQ(raw.size(), 4u);
    EXPECT_EQ(raw[3], 0);

    char buffer[8];
    EXPECT_STREQ(ReadMachineString("install_dir", buffer, sizeof buffer, "dflt"), "abc");
    ASSERT_TRUE(WriteMachineString("long", "0123456789"));
    EXPECT_STREQ(ReadMachineString("long", buffer, sizeof buffer, "dflt"), "dflt");
    EXPECT_STREQ(ReadMachineString("absent", buffer, sizeof buffer, ""), "");
    // A default longer than the buffer is cut, never written past its end.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_STREQ(ReadMachineString("absent", small, sizeof small, "toolong"), "too");
}

TEST(SettingsStore, UnterminatedStringDataIsNotReadPastTheBuffer)
{
    ScratchKey scratch;
    SelectKey(nullptr, scratch.path().c_str());
    // Exactly the buffer's size and no terminator: taken as too long.
    ASSERT_TRUE(SetBinary(HKEY_LOCAL_MACHINE, scratch.path().c_str(), "raw", "abcd", 4, REG_BINARY));
    char buffer[4];
    EXPECT_STREQ(ReadMachineString("raw", buffer, sizeof buffer, "no"), "no");
    char bigger[8];
    EXPECT_STREQ(ReadMachineString("raw", bigger, sizeof bigger, "no"), "abcd");
}

TEST(SettingsStore, ClassesRootEmptyNameReadsTheDefaultValue)
{
    ScratchKey scratch;
    ASSERT_TRUE(SetBinary(HKEY_CLASSES_ROOT, scratch.path().c_str(), "", "\"b.exe\" %1", 11, REG_SZ));
    SelectKey(nullptr, scratch.path().c_str());
    char buffer[256];
    EXPECT_STREQ(ReadClassesString("", buffer, sizeof buffer, "dummy"), "\"b.exe\" %1");
    EXPECT_STREQ(ReadClassesString("other", buffer, sizeof buffer, "dummy"), "dummy");
}

TEST(SettingsStore, KeyThatCannotBeOpenedGivesDefaultsAndFailedWrites)
{
    // A path through a value-less, invalid name: an empty component cannot be created.
    SelectKey(nullptr, "Software\\TiloTest\\\\bad\\\\");
    EXPECT_EQ(ReadUserInt("x", 5), 5);
    char buffer[8];
    EXPECT_STREQ(ReadMachineString("x", buffer, sizeof buffer, "d"), "d");
}
