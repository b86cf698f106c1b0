#include "support/message_box.h"

#include <string.h>

std::string MessageBoxText(HWND box)
{
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

HWND FindDialogTitled(const char* prefix)
{
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
        char title[256] = {};
        GetWindowTextA(w, title, sizeof title);
        if (strncmp(title, prefix, strlen(prefix)) == 0 && IsWindowVisible(w)) return w;
    }
    return nullptr;
}

std::vector<std::string> DialogTexts(HWND dialog)
{
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[1024] = {};
        GetWindowTextA(child, text, sizeof text);
        // An image control's text is the resource number of its image.
        if (static_cast<unsigned char>(text[0]) == 0xFF)
            texts.push_back("#" + std::to_string(static_cast<unsigned char>(text[1]) |
                                                 static_cast<unsigned char>(text[2]) << 8));
        else
            texts.push_back(text);
    }
    return texts;
}

HWND FocusOf(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus ? info.hwndFocus : dialog;
}

int ImagesShown(HWND dialog)
{
    int shown = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        LONG type = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;
        if (lstrcmpiA(cls, "Static") != 0 || (type != SS_ICON && type != SS_BITMAP)) continue;
        if (SendMessageA(c, STM_GETIMAGE, type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP, 0)) ++shown;
    }
    return shown;
}
