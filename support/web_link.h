// How a link text becomes a browser start, free of the platform: which program is
// started with which parameters, from the link and the registered open command of the
// HTTP protocol. Texts of any length are kept whole; nothing is cut.
#ifndef TILO_SUPPORT_WEB_LINK_H
#define TILO_SUPPORT_WEB_LINK_H

#include <string>

// The program used when no usable browser is registered, and the switch that asks it
// for a new window.
#define TILO_FALLBACK_BROWSER "iexplore.exe"
#define TILO_NEW_WINDOW_SWITCH "-new "

struct BrowserStart {
    std::string program;
    std::string parameters;
};

// The address in a link text: from its first "http" to the end, in lower case. False
// when there is no "http": there is nothing to open.
bool AddressOfLink(const std::string& linkText, std::string* address);

// The start for an address under a registered command (any letter case; "dummy" or
// empty when none could be read). A command that names iexplore.exe, or names no
// program ending in ".exe", gives the fallback browser with "-new " and the address.
// Otherwise the program is the command's path up to its ".exe" (without the blanks
// before it and its opening quote), and the parameters are the command's arguments with the address put where
// its "%1" placeholder stood (quoted or not; what follows it is dropped), or appended
// after a blank when there is no placeholder, or the address alone when there are no
// arguments.
BrowserStart PlanBrowserStart(const std::string& address, const std::string& registeredCommand);

#endif
