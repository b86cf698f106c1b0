#include "support/web_page.h"

#include <shellapi.h>

#include "support/settings_store.h"
#include "support/web_link.h"

namespace {

// Room for the registered command. A longer one reads as missing, and the fallback
// browser opens the page: a command is never cut.
constexpr DWORD kCommandCapacity = 2048;

}  // namespace

BOOL OpenWebPage(const char* linkText)
{
    std::string address;
    if (!linkText || !AddressOfLink(linkText, &address)) return FALSE;

    char command[kCommandCapacity];
    SelectKey(nullptr, TILO_HTTP_COMMAND_KEY);
    ReadClassesString("", command, sizeof command, "dummy");
    SelectKey(nullptr, TILO_PRODUCT_KEY);
    BrowserStart start = PlanBrowserStart(address, command);

    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // A start that fails is not reported: without NO_UI the shell would hold the
    // caller in an error box of its own.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetDesktopWindow();
    info.lpFile = start.program.c_str();
    info.lpParameters = start.parameters.c_str();
    info.nShow = SW_RESTORE;
    BOOL started = ShellExecuteExA(&info);
    // The browser is not waited for; its handle is only released.
    if (started && info.hProcess) CloseHandle(info.hProcess);
    return started;
}
