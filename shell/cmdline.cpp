#include "shell/cmdline.h"

const char* NextByte(const char* p) { return *p ? p + 1 : p; }

static unsigned Code(const char* p) { return static_cast<unsigned char>(*p); }

const char* SkipProgramText(const char* line, NextCharFn next)
{
    const char* p = line ? line : "";
    if (*p == '"') {
        do {
            p = next(p);
        } while (*p && *p != '"');
        if (*p == '"') p = next(p);
    } else {
        while (Code(p) > 32) p = next(p);
    }
    while (Code(p) >= 1 && Code(p) <= 32) p = next(p);
    return p;
}

uint32_t ParseWindowHandle(const char* text)
{
    uint32_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    return value;
}

static const char* SkipBlanks(const char* p)
{
    while (*p == ' ') ++p;
    return p;
}

ModeRequest ScanRunMode(const char* args, bool win9x)
{
    const char* p = args ? args : "";
    for (;; ++p) {
        switch (*p) {
        case '\0':
            return {RunMode::ConfigNoOwner, 0};
        case ' ':
        case '-':
        case '/':
            continue;
        case 'S':
        case 's':
            return {RunMode::Saver, 0};
        case 'P':
        case 'p':
        case 'L':
        case 'l':
            return {RunMode::Preview, ParseWindowHandle(SkipBlanks(p + 1))};
        case 'C':
        case 'c':
            return {RunMode::ConfigForeground, 0};
        case 'A':
        case 'a':
            if (!win9x) return {RunMode::Invalid, 0};
            return {RunMode::ChangePassword, ParseWindowHandle(SkipBlanks(p + 1))};
        default:
            return {RunMode::Invalid, 0};
        }
    }
}
