// Waits for a message box of a given caption, checks its text, owner and buttons, and
// dismisses it with OK. Used where the saver must run on a display of its own, which a
// Windows test program cannot give a child process under Wine.
//   message_box_check CAPTION TEXT [TIMEOUT_MS]   exit 0: found, as expected, dismissed
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: message_box_check CAPTION TEXT [TIMEOUT_MS]\n");
        return 2;
    }
    // The text arrives with "\n" written as two characters.
    std::string expected;
    for (const char* p = argv[2]; *p; ++p) {
        if (p[0] == '\\' && p[1] == 'n') {
            expected += '\n';
            ++p;
        } else {
            expected += *p;
        }
    }
    DWORD timeout = argc > 3 ? strtoul(argv[3], nullptr, 10) : 20000;
    DWORD start = GetTickCount();
    HWND box = nullptr;
    while (!(box = FindWindowA("#32770", argv[1])) && GetTickCount() - start < timeout) Sleep(50);
    if (!box) {
        printf("no message box titled \"%s\"\n", argv[1]);
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
