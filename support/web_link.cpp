#include "support/web_link.h"

#include <ctype.h>

namespace {

std::string Lower(const std::string& text)
{
    std::string out = text;
    for (char& c : out) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return out;
}

// The end of the browser's path, just after its ".exe": a quoted path ends at its
// closing quote; an unquoted one at the first ".exe" followed by the end, a blank or a
// quote. An ".exe" inside a folder name ("c:\tools.exec\browser.exe", "c:\x.exe y\")
// is not taken for the end, which would start another program than the one registered.
size_t EndOfProgram(const std::string& command)
{
    static const std::string kExe = ".exe";
    size_t closing = command.empty() || command[0] != '"' ? std::string::npos : command.find('"', 1);
    if (closing != std::string::npos) {
        bool exe =
            closing >= 1 + kExe.size() && command.compare(closing - kExe.size(), kExe.size(), kExe) == 0;
        return exe ? closing : std::string::npos;
    }
    for (size_t at = command.find(".exe"); at != std::string::npos; at = command.find(".exe", at + 1)) {
        size_t after = at + 4;
        if (after == command.size() || command[after] == ' ' || command[after] == '"') return after;
    }
    return std::string::npos;
}

// Where the placeholder for the address starts in the arguments: "%1" with its quotes,
// else a bare %1 that is not the start of a longer number.
size_t Placeholder(const std::string& arguments)
{
    size_t quoted = arguments.find("\"%1\"");
    if (quoted != std::string::npos) return quoted;
    for (size_t at = arguments.find("%1"); at != std::string::npos; at = arguments.find("%1", at + 1))
        if (at + 2 == arguments.size() || !isdigit(static_cast<unsigned char>(arguments[at + 2]))) return at;
    return std::string::npos;
}

}  // namespace

bool AddressOfLink(const std::string& linkText, std::string* address)
{
    std::string lower = Lower(linkText);
    size_t at = lower.find("http");
    if (at == std::string::npos) return false;
    *address = lower.substr(at);
    return true;
}

BrowserStart PlanBrowserStart(const std::string& address, const std::string& registeredCommand)
{
    BrowserStart start = {TILO_FALLBACK_BROWSER, TILO_NEW_WINDOW_SWITCH + address};
    std::string command = Lower(registeredCommand);
    // Blanks before the program are no part of it; the shell starts the same program.
    command.erase(0, command.find_first_not_of(" \t"));
    if (command.find("iexplore.exe") != std::string::npos) return start;
    size_t end = EndOfProgram(command);
    if (end == std::string::npos) return start;

    // The character after ".exe" (a closing quote or a blank) is skipped.
    std::string arguments = end + 1 < command.size() ? command.substr(end + 1) : std::string();
    start.program = command.substr(0, end);
    if (!start.program.empty() && start.program[0] == '"') start.program.erase(0, 1);
    if (arguments.empty()) {
        start.parameters = address;
    } else {
        size_t placeholder = Placeholder(arguments);
        if (placeholder == std::string::npos)
            start.parameters = arguments + " " + address;
        else
            start.parameters = arguments.substr(0, placeholder) + address;
    }
    return start;
}
