// Waits for the driver message of a saver that finds no OpenGL (caption and text as the
// renderer defines them), checks its text, owner and buttons, and dismisses it with OK.
// Used where the saver must run on a display of its own, which a Windows test program
// cannot give a child process under Wine.
//   message_box_check [TIMEOUT_MS]   exit 0: found, as expected, dismissed
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "render/gl_context.h"

int main(int argc, char** argv)
{
    const std::string expected = TILO_MSG_NO_FORMAT;
    DWORD timeout = argc > 1 ? strtoul(argv[1], nullptr, 10) : 20000;
    DWORD start = GetTickCount();
    HWND box = nullptr;
    while (!(box = FindWindowA("#32770", TILO_CAPTION_SAVER_ERROR)) && GetTickCount() - start < timeout)
        Sleep(50);
    if (!box) {
        printf("no message box titled \"%s\"\n", TILO_CAPTION_SAVER_ERROR);
        return 1;
    }
    int failures = 0;
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    if (expected != text) {
        printf("text is \"%s\"\n", text);
        ++failures;
    }
    if (GetWindow(box, GW_OWNER)) {
        printf("the message box has an owner\n");
        ++failures;
    }
    if (!GetDlgItem(box, IDOK) || GetDlgItem(box, IDCANCEL)) {
        printf("the message box does not offer OK alone\n");
        ++failures;
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < 5000) Sleep(20);
    if (IsWindow(box)) {
        printf("the message box did not close\n");
        ++failures;
    }
    return failures ? 1 : 0;
}
