// Copies of Tilo.scr whose "OMCHANT" resource is replaced by bad, odd or very large
// data, run full screen with sound on: the scene keeps turning while the voices meet
// the stream, and a key closes the saver within a second with 0.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <stddef.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/settings_store.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

std::vector<char> CompiledInChant()
{
    std::vector<char> bytes;
    HMODULE saver = LoadLibraryExA(SaverPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!saver) return bytes;
    if (HRSRC res = FindResourceA(saver, "OMCHANT", RT_RCDATA)) {
        const char* p = static_cast<const char*>(LockResource(LoadResource(saver, res)));
        bytes.assign(p, p + SizeofResource(saver, res));
    }
    FreeLibrary(saver);
    return bytes;
}

std::vector<char> FileBytes(const std::string& path)
{
    std::vector<char> bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        fclose(f);
    }
    return bytes;
}

// Wine's UpdateResource stores no data of 0 bytes, so the chant's entry in the copy is
// given a size of 0 in place. A module loaded as a data file is the file mapped as it
// stands: an address in it less the base is the same offset in the file.
bool EmptyTheChant(const std::string& exe)
{
    HMODULE copy = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!copy) return false;
    HRSRC res = FindResourceA(copy, "OMCHANT", RT_RCDATA);
    const char* base = reinterpret_cast<const char*>(reinterpret_cast<UINT_PTR>(copy) & ~UINT_PTR(3));
    long offset = res ? static_cast<long>(reinterpret_cast<const char*>(res) - base) : -1;
    FreeLibrary(copy);
    FILE* f = offset < 0 ? nullptr : fopen(exe.c_str(), "r+b");
    if (!f) return false;
    const DWORD zero = 0;
    bool ok = fseek(f, offset + offsetof(IMAGE_RESOURCE_DATA_ENTRY, Size), SEEK_SET) == 0 &&
              fwrite(&zero, sizeof zero, 1, f) == 1;
    return fclose(f) == 0 && ok;
}

struct ChantCase {
    const char* label;
    std::vector<char> (*bytes)();
};

const ChantCase kCases[] = {
    {"Empty", [] { return std::vector<char>(); }},
    {"OneByte", [] { return std::vector<char>(1, 'O'); }},
    {"RandomBytes",
     [] {
         std::vector<char> v(65536);
         unsigned x = 12345;
         for (char& c : v) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
         return v;
     }},
    {"Truncated",
     [] {
         std::vector<char> v = CompiledInChant();
         v.resize(v.size() / 2);
         return v;
     }},
    {"Damaged",
     [] {
         std::vector<char> v = CompiledInChant();
         for (size_t i = v.size() / 3; i < v.size() / 3 + 3000; ++i) v[i] ^= 0x5A;
         return v;
     }},
    {"TwoChannels", [] { return FileBytes(TestChantPath("stereo.ogg")); }},
    {"AnotherRate", [] { return FileBytes(TestChantPath("narrow.ogg")); }},
    {"LinksInTwoFormats", [] { return FileBytes(TestChantPath("chained.ogg")); }},
    {"TenMinutes", [] { return FileBytes(TestChantPath("long.ogg")); }},
    {"FiftyMegabytes", [] { return FileBytes(TestChantPath("large.ogg")); }},
};

class ReplacedChant : public ::testing::TestWithParam<ChantCase> {
protected:
    void SetUp() override
    {
        MovePointer(400, 300);
        SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "enable sound", 1);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "tilo_chant_" + GetParam().label;
        CreateDirectoryA(dir_.c_str(), nullptr);
        exe_ = dir_ + "\\Tilo.scr";
        ASSERT_TRUE(CopyFileA(SaverPath().c_str(), exe_.c_str(), FALSE));
        std::vector<char> chant = GetParam().bytes();
        if (chant.empty()) {
            ASSERT_TRUE(EmptyTheChant(exe_));
        } else {
            HANDLE update = BeginUpdateResourceA(exe_.c_str(), FALSE);
            ASSERT_TRUE(update);
            BOOL ok =
                UpdateResourceA(update, RT_RCDATA, "OMCHANT", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                chant.data(), static_cast<DWORD>(chant.size()));
            ASSERT_TRUE(EndUpdateResourceA(update, !ok) && ok);
        }
        // The copy holds exactly the new data.
        HMODULE copy = LoadLibraryExA(exe_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(copy);
        HRSRC res = FindResourceA(copy, "OMCHANT", RT_RCDATA);
        EXPECT_EQ(res ? SizeofResource(copy, res) : 0, chant.size());
        FreeLibrary(copy);
    }
    void TearDown() override
    {
        saver.Kill();
        DeleteFileA(exe_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    ProductKeyBackup key;
    std::string dir_, exe_;
    SaverProcess saver;
};

}  // namespace

TEST_P(ReplacedChant, SaverKeepsTurningAndClosesWithinASecond)
{
    ASSERT_TRUE(saver.Start("/s", {}, exe_));
    ASSERT_TRUE(WaitForSaverWindow(saver));
    const DWORD started = timeGetTime();
    ScreenMotion m = WatchScreen(800);
    EXPECT_GT(m.lit, 2000) << "black";
    EXPECT_GT(m.changed, 20) << "frozen with the first voice";
    // Past the second voice's start, 3.2 s in.
    while (timeGetTime() - started < 3600) PumpFor(20);
    m = WatchScreen(500);
    EXPECT_GT(m.changed, 20) << "frozen with the second voice";

    const DWORD pressed = timeGetTime();
    PressKey(VK_ESCAPE);
    const DWORD code = saver.WaitExit(5000);
    const DWORD took = timeGetTime() - pressed;
    printf("closed %lu ms after the key\n", took);
    EXPECT_EQ(code, 0u);
    EXPECT_LT(took, 1000u);
}

INSTANTIATE_TEST_SUITE_P(Each, ReplacedChant, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ChantCase>& info) { return info.param.label; });
