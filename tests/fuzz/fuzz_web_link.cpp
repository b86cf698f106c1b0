// A link text and a registered HTTP open command, as any bytes (the link first, up to
// the first NUL). Whatever the command, the browser start keeps the address whole at
// the end of its parameters, starts the fallback with "-new " when the command names no
// program, and otherwise a program that is the command's own path (after any blanks
// before it) up to an ".exe" that ends it: never a cut path.
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "support/web_link.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const char* nul = static_cast<const char*>(memchr(bytes, 0, size));
    std::string link(bytes, nul ? nul : bytes + size);
    std::string command = nul ? std::string(nul + 1, bytes + size) : std::string();
    command = command.substr(0, command.find('\0'));  // the registry hands over a C string

    std::string address;
    if (!AddressOfLink(link, &address)) {
        FUZZ_CHECK(Lower(link).find("http") == std::string::npos);
        address = "http://www.example.org/";
    } else {
        FUZZ_CHECK(address.compare(0, 4, "http") == 0);
        FUZZ_CHECK(EndsWith(Lower(link), address) && address == Lower(address));
    }

    BrowserStart start = PlanBrowserStart(address, command);
    FUZZ_CHECK(EndsWith(start.parameters, address));
    if (start.program == TILO_FALLBACK_BROWSER) {
        FUZZ_CHECK(start.parameters == TILO_NEW_WINDOW_SWITCH + address);
        return 0;
    }
    std::string lower = Lower(command);
    FUZZ_CHECK(lower.find("iexplore.exe") == std::string::npos);
    FUZZ_CHECK(EndsWith(start.program, ".exe"));
    // Blanks before the path and an opening quote are dropped; only a closed quote bounds
    // the path.
    size_t at = std::min(lower.find_first_not_of(" \t"), lower.size());
    bool opening = at < lower.size() && lower[at] == '"';
    at += opening;
    bool quoted = opening && lower.find('"', at) != std::string::npos;
    FUZZ_CHECK(lower.compare(at, start.program.size(), start.program) == 0);
    // The path ends there: at the end, a blank, or (quoted) its closing quote.
    size_t after = at + start.program.size();
    if (quoted)
        FUZZ_CHECK(after < lower.size() && lower[after] == '"' &&
                   start.program.find('"') == std::string::npos);
    else
        FUZZ_CHECK(after == lower.size() || lower[after] == ' ' || lower[after] == '"');
    return 0;
}
