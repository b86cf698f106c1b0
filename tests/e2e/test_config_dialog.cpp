// The settings dialog of the real Tilo.scr, opened as the system opens it and worked
// from outside as a user would: its live frame, caption and chant, the view keys, its
// controls, and what it leaves in the registry.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "render/gl_context.h"
#include "resources/resource.h"
#include "support/message_box.h"
#include "support/registry.h"
#include "support/saver_process.h"
#include "support/screenshot.h"
#include "support/settings_store.h"
#include "support/sound_capture.h"
#include "support/sound_levels.h"
#include "support/user_input.h"
#include "support/waiting.h"

namespace {

const char kRateCaption[] = "Tilo Settings ~ (animation frames per second: ";
const double kSilent = DbToLevel(-60);
const double kHeard = DbToLevel(-50);

int Lit(const std::vector<DWORD>& pixels)
{
    int n = 0;
    for (DWORD p : pixels) n += Classify(p) != Hue::Black;
    return n;
}

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override { MovePointer(5, 5); }
    void TearDown() override { saver.Kill(); }

    // Opens the dialog and waits until its caption counts the frames drawn.
    void Open(const char* args = "/c")
    {
        ASSERT_TRUE(saver.Start(args));
        dialog = WaitForConfigDialog(saver);
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(WaitUntil([&] { return Drawing(); }, 15000)) << TextOf(dialog);
        SetForegroundWindow(dialog);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));
    }
    bool Drawing() { return TextOf(dialog).rfind(kRateCaption, 0) == 0; }
    HWND Item(int id) { return GetDlgItem(dialog, id); }
    DWORD ExitCode() { return saver.WaitExit(10000); }
    static void Store(const char* name, DWORD value)
    {
        SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, name, value);
    }

    // The frame's pixels on the screen.
    std::vector<DWORD> FramePixels()
    {
        RECT f = {};
        GetWindowRect(Item(IDC_PREVIEW_FRAME), &f);
        Screenshot shot;
        EXPECT_TRUE(shot.Capture());
        std::vector<DWORD> pixels;
        for (int y = f.top; y < f.bottom; ++y)
            for (int x = f.left; x < f.right; ++x) pixels.push_back(shot.at(x, y) & 0xFFFFFF);
        return pixels;
    }

    // The caption's close box, found by asking the dialog what lies under the points
    // of its caption.
    POINT CloseBox()
    {
        RECT w = {};
        GetWindowRect(dialog, &w);
        const int y = w.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        int first = -1, last = -1;
        for (int x = w.right - 1; x > w.right - 80; --x) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutA(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 5000, &hit);
            if (hit != HTCLOSE) continue;
            if (first < 0) first = x;
            last = x;
        }
        return {(first + last) / 2, y};
    }

    ProductKeyBackup key;
    SaverProcess saver;
    HWND dialog = nullptr;
};

}  // namespace

TEST_F(SettingsDialog, OpensCentredWithTheAssemblyTurningInItsFrameAndTheRateInItsCaption)
{
    for (const char* args : {"/c", ""}) {
        SCOPED_TRACE(args);
        Open(args);
        RECT w = {};
        GetWindowRect(dialog, &w);
        EXPECT_EQ(w.left, (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2);
        EXPECT_EQ(w.top, (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2);

        // A second later (or a little more on a busy machine) the assembly has turned.
        const std::vector<DWORD> before = FramePixels();
        PumpFor(1000);
        EXPECT_TRUE(WaitUntil(
            [&] {
                const std::vector<DWORD> after = FramePixels();
                size_t changed = 0;
                for (size_t i = 0; i < before.size() && i < after.size(); ++i)
                    changed += before[i] != after[i];
                return changed > 1000;
            },
            5000))
            << "the assembly does not turn";
        std::map<Hue, size_t> hues;
        for (DWORD p : before) ++hues[Classify(p)];
        int meshColours = 0;
        for (Hue h : {Hue::White, Hue::Red, Hue::Orange, Hue::Green, Hue::LightBlue, Hue::DarkBlue})
            meshColours += hues[h] > 100;
        EXPECT_GE(meshColours, 4);
        EXPECT_GT(hues[Hue::Black], before.size() / 4);

        const double rate = atof(TextOf(dialog).c_str() + strlen(kRateCaption));
        EXPECT_GT(rate, 1.0) << TextOf(dialog);
        EXPECT_LT(rate, 60.0) << TextOf(dialog);  // frames are 30 ms apart at the least
        SetWindowTextA(dialog, "Tilo Settings");
        EXPECT_TRUE(WaitUntil([&] { return Drawing(); }, 3000)) << "the caption is not written anew";

        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(ExitCode(), 1u);
    }
}

TEST_F(SettingsDialog, TheChantSoundsWhileEnableSoundIsTicked)
{
    SoundCapture capture;
    ASSERT_TRUE(capture.Start());
    // The first sound at or after the time, in milliseconds after it; -1 for none.
    auto heardAfter = [&](double ms) {
        Heard h = capture.Listen();
        long i = FirstAbove(h.rms, kHeard, h.WindowAt(ms));
        return i < 0 ? -1.0 : h.TimeOf(i) - ms;
    };

    Store("enable sound", 1);
    double t = timeGetTime();
    Open();
    EXPECT_EQ(SendMessageA(Item(IDC_ENABLE_SOUND), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(WaitUntil([&] { return heardAfter(t) >= 0; }, 5000)) << "no chant while ticked";

    t = timeGetTime();
    Click(Item(IDC_ENABLE_SOUND));
    PumpFor(1500);
    Heard h = capture.Listen();
    long quiet = FirstQuietRun(h.rms, kSilent, 20, h.WindowAt(t));
    ASSERT_GE(quiet, 0);
    EXPECT_LT(h.TimeOf(quiet) - t, 500) << "the chant went on after unticking";
    EXPECT_LT(LastAbove(h.rms, kHeard), quiet);

    t = timeGetTime();
    Click(Item(IDC_ENABLE_SOUND));
    EXPECT_TRUE(WaitUntil([&] { return heardAfter(t) >= 0; }, 3000)) << "no chant when ticked again";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ExitCode(), 1u);

    Store("enable sound", 0);
    t = timeGetTime();
    Open();
    PumpFor(2500);
    EXPECT_EQ(heardAfter(t), -1.0) << "a chant while unticked";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ExitCode(), 1u);
}

TEST_F(SettingsDialog, KeysAdjustTheViewAndOkWritesItWithTheOtherSettings)
{
    Store("mod1 depth", 5000);
    Store("mod1 xrot", 1000);
    Open();
    // Home brings module 1's defaults (depth 41: zoom steps of 0.3, pan steps of 0.1).
    for (WORD vk : {VK_HOME, VK_PRIOR, VK_PRIOR, VK_NEXT, VK_LEFT, VK_LEFT, VK_RIGHT, VK_UP,
                    VK_UP,   VK_DOWN,  VK_F2,    VK_F2,   VK_F3,   VK_F4,   VK_F5,    VK_F5,
                    VK_F6,   VK_F6,    VK_F7,    VK_F9,   VK_F9,   VK_F9,   VK_F8})
        PressKey(vk);
    Click(Item(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    const std::pair<const char*, int> expected[] = {
        {"mod1 depth", 4130}, {"mod1 horz", -10}, {"mod1 vert", 10},  {"mod1 xrot", -150},
        {"mod1 yrot", 150},   {"mod1 zrot", 150}, {"mod1 speed", 35}, {"mod1 active", 1},
        {"cycle time", 15},   {"enable sound", 0}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(static_cast<int>(StoredDword(name, 0xBAD)), value) << name;
}

TEST_F(SettingsDialog, CancelTheCloseBoxAndEscWriteNothing)
{
    Store("mod1 depth", 4500);
    Store("enable sound", 0);
    const KeyValues before = ValuesOf(HKEY_CURRENT_USER, TILO_PRODUCT_KEY);
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel", [&] { Click(Item(IDCANCEL)); }},
        {"close box",
         [&] {
             const POINT p = CloseBox();
             ClickAt(p.x, p.y);
         }},
        {"Esc", [] { PressKey(VK_ESCAPE); }},
    };
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        Open();
        PressKey(VK_PRIOR);
        Click(Item(IDC_ENABLE_SOUND));
        leave();
        EXPECT_EQ(ExitCode(), 1u);
        EXPECT_TRUE(ValuesOf(HKEY_CURRENT_USER, TILO_PRODUCT_KEY) == before);
    }
}

TEST_F(SettingsDialog, TheCycleTimeEditClampsOnLosingTheFocusAndTheSpinsArrowsStep)
{
    Open();
    for (int id : {IDC_CYCLE_EDIT, IDC_CYCLE_SPIN, IDC_ENABLE_ALL}) ShowWindow(Item(id), SW_SHOW);
    HWND edit = Item(IDC_CYCLE_EDIT);
    RECT spin = {};
    GetWindowRect(Item(IDC_CYCLE_SPIN), &spin);
    const int quarter = (spin.bottom - spin.top) / 4, middle = (spin.left + spin.right) / 2;
    auto shows = [&](const std::string& text) {
        return WaitUntil([&] { return TextOf(edit) == text; }, 3000);
    };
    const struct {
        const char *typed, *shown, *up, *down;
    } rows[] = {{"0", "1", "2", "1"}, {"12345", "9999", "9999", "9998"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed);
        Click(edit);
        PressKey(VK_END);
        for (int i = 0; i < 5; ++i) PressKey(VK_BACK);
        for (const char* c = r.typed; *c; ++c) PressKey(static_cast<WORD>(*c));
        Click(Item(IDC_ENABLE_ALL));  // the edit loses the focus
        EXPECT_TRUE(shows(r.shown)) << TextOf(edit);
        ClickAt(middle, spin.top + quarter);
        EXPECT_TRUE(shows(r.up)) << TextOf(edit);
        ClickAt(middle, spin.bottom - quarter);
        EXPECT_TRUE(shows(r.down)) << TextOf(edit);
    }
    // Away from the edit, the keys are the view's again.
    Click(Item(IDC_ENABLE_ALL));
    PressKey(VK_PRIOR);
    Click(Item(IDOK));
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_EQ(StoredDword("cycle time"), 9998u);
    EXPECT_EQ(StoredDword("mod1 depth"), 4130u);
}

TEST_F(SettingsDialog, EnableAnimationBringsBackModuleOnesStoredView)
{
    for (int clicks : {1, 2}) {
        SCOPED_TRACE(clicks);
        Store("mod1 depth", 5000);
        Store("mod1 active", 1);
        Open();
        PressKey(VK_PRIOR);  // dropped by the box
        for (int i = 0; i < clicks; ++i) Click(Item(IDC_ENABLE_ANIMATION));
        const bool on = clicks == 2;
        // Unticked, the frame turns black.
        EXPECT_TRUE(WaitUntil([&] { return (Lit(FramePixels()) > 1000) == on; }, 3000));
        Click(Item(IDOK));
        EXPECT_EQ(ExitCode(), 1u);
        EXPECT_EQ(StoredDword("mod1 depth"), 5000u);
        EXPECT_EQ(StoredDword("mod1 active"), on ? 1u : 0u);
    }
}

TEST_F(SettingsDialog, AboutOpensOverItAndTheAnimationPausesWhileItIsOpen)
{
    Open();
    Click(Item(IDC_ABOUT_BUTTON));
    HWND about = WaitForWindow("#32770", "Tilo Screen Saver", 5000, saver.pid());
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
    // Moved off the frame, About leaves it in sight: the last frame stays shown.
    RECT a = {};
    GetWindowRect(about, &a);
    SetWindowPos(about, nullptr, GetSystemMetrics(SM_CXSCREEN) - (a.right - a.left),
                 GetSystemMetrics(SM_CYSCREEN) - (a.bottom - a.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame is repainted where About uncovers it; then it stays as it is.
    std::vector<DWORD> paused = FramePixels(), seen;
    EXPECT_TRUE(WaitUntil(
        [&] {
            PumpFor(200);
            seen = paused;
            paused = FramePixels();
            return Lit(paused) > 1000 && paused == seen;
        },
        3000))
        << "no frame in sight, or frames were drawn while About was open";
    PumpFor(700);
    EXPECT_TRUE(FramePixels() == paused) << "frames were drawn while About was open";
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitWindowGone(about, 5000));
    EXPECT_TRUE(WaitUntil([&] { return FramePixels() != paused; }, 3000)) << "the animation stays paused";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(ExitCode(), 1u);
}

// Run by tests/probes/no_glx.sh on a display without GLX.
TEST_F(SettingsDialog, DISABLED_WithoutOpenGLTheDriverMessageShowsAndItClosesAtOnceWritingNothing)
{
    const KeyValues before = ValuesOf(HKEY_CURRENT_USER, TILO_PRODUCT_KEY);
    ASSERT_TRUE(saver.Start("/c"));
    HWND box = WaitForWindow("#32770", TILO_CAPTION_SAVER_ERROR, 15000, saver.pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), TILO_MSG_NO_FORMAT);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(saver.WaitExit(5000), 1u);
    EXPECT_TRUE(ValuesOf(HKEY_CURRENT_USER, TILO_PRODUCT_KEY) == before);
}
