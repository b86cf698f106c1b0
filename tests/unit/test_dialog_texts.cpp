// The dialogs' static texts in the fonts Wine draws them in: each must fit its control as
// the control draws it (word-wrapped at its width, in its font), at 96 and at 144 dpi.
// A process takes Wine's "LogPixels" when it starts, so each resolution is measured in a
// child process of this program started with the value set; the value is put back after.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <string>

#include "resources/resource.h"
#include "support/process.h"
#include "support/registry.h"
#include "support/saver_process.h"

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

// Run by DialogTexts.EveryStaticTextFitsItsControlAt96And144Dpi in a process of its own.
TEST(DialogTexts, DISABLED_EveryStaticTextFitsItsControlAtThisProcesssDpi)
{
    // Aware of the resolution, as the saver's manifest declares it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    ASSERT_TRUE(UseSaverResources());
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    HDC screen = GetDC(nullptr);
    const DWORD dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    DWORD stored = 96;
    GetDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", &stored);
    ASSERT_EQ(dpi, stored) << "the process does not draw at Wine's LogPixels";

    for (int id : {IDD_FRAMERATE, IDD_ABOUT, IDD_CONFIG}) {
        HWND dialog = CreateDialogParamA(g_hInstance, MAKEINTRESOURCEA(id), nullptr, Inert, 0);
        ASSERT_TRUE(dialog) << "dialog " << id;
        // In the fonts Windows draws it in: Windows' dialog base units at 96 dpi.
        RECT units = {0, 0, 4, 8};
        MapDialogRect(dialog, &units);
        if (dpi == 96) {
            EXPECT_TRUE(units.right == 6 && units.bottom == 13)
                << "dialog " << id << ": base units " << units.right << " x " << units.bottom;
        }
        int measured = 0;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = {}, text[512] = {};
            GetClassNameA(c, cls, sizeof cls);
            LONG style = GetWindowLongA(c, GWL_STYLE), kind = style & SS_TYPEMASK;
            if (lstrcmpiA(cls, "Static") != 0 || (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT) ||
                GetWindowTextA(c, text, sizeof text) == 0)
                continue;
            ++measured;
            RECT has, needs = {0, 0, 0, 0};
            GetClientRect(c, &has);
            needs.right = has.right;
            HDC dc = GetDC(c);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)));
            DrawTextA(dc, text, -1, &needs,
                      DT_CALCRECT | DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
            SelectObject(dc, old);
            ReleaseDC(c, dc);
            EXPECT_TRUE(needs.right <= has.right && needs.bottom <= has.bottom)
                << "dialog " << id << " at " << dpi << " dpi: \"" << text << "\" needs " << needs.right
                << " x " << needs.bottom << " pixels, has " << has.right << " x " << has.bottom;
        }
        DestroyWindow(dialog);
        EXPECT_GT(measured, 0) << "dialog " << id;
    }
}

TEST(DialogTexts, EveryStaticTextFitsItsControlAt96And144Dpi)
{
    char self[MAX_PATH], temp[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    GetTempPathA(sizeof temp, temp);
    SavedValue logPixels(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    // A process that starts at another resolution than the last one registers Wine's
    // bitmap fonts for its own ("MS Sans Serif" of 120 dpi at 144). 96 comes last, so
    // that the prefix is left as a process at the usual resolution leaves it; after a
    // failure at 144 the next process finds the resolution changed and does the same.
    for (DWORD dpi : {144u, 96u}) {
        ASSERT_TRUE(SetDword(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", dpi));
        const std::string report = std::string(temp) + TestName() + "-" + std::to_string(dpi) + ".xml";
        DeleteFileA(report.c_str());
        SaverProcess child;
        ASSERT_TRUE(child.Start("--gtest_also_run_disabled_tests --gtest_output=xml:\"" + report +
                                    "\" --gtest_filter=DialogTexts.DISABLED_*",
                                {}, self));
        EXPECT_EQ(child.WaitExit(60000), 0u) << dpi << " dpi";
        std::string xml;
        {
            std::ifstream in(report);
            xml.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        DeleteFileA(report.c_str());
        // The report shows that the one test ran, and holds its failures.
        EXPECT_NE(xml.find("<testsuites tests=\"1\" failures=\"0\""), std::string::npos) << dpi << " dpi:\n"
                                                                                         << xml;
    }
}
