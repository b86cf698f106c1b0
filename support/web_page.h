// Opens a web page in a new window of the browser registered for the HTTP protocol.
#ifndef TILO_SUPPORT_WEB_PAGE_H
#define TILO_SUPPORT_WEB_PAGE_H

#include <windows.h>

// The registered open command of the HTTP protocol, under the classes root.
#define TILO_HTTP_COMMAND_KEY "HTTP\\shell\\open\\command"

// Starts the browser for a link text ("-new " and an address; see support/web_link.h)
// and returns at once: TRUE when the start request succeeded. Nothing is shown on
// failure, and a text without "http" opens nothing. The settings store points at the
// product key again afterwards.
BOOL OpenWebPage(const char* linkText);

#endif
