// The command line as the system hands it over: any bytes. Skipping the program name
// must stay inside the text and stop at an argument or the end; both families must
// agree on every mode but the change-password one; only a mode with a window behind it
// carries a handle.
#include <stdint.h>
#include <string.h>

#include <vector>

#include "shell/cmdline.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// A double-byte code page's step: a byte above 127 leads a pair, but no step passes the
// terminating NUL, as with the platform's CharNextA.
const char* NextPair(const char* p)
{
    if (!*p) return p;
    if (static_cast<unsigned char>(*p) > 127 && p[1]) return p + 2;
    return p + 1;
}

void CheckSkip(const char* line, size_t length, NextCharFn next)
{
    const char* args = SkipProgramText(line, next);
    FUZZ_CHECK(args >= line && args <= line + length);
    unsigned c = static_cast<unsigned char>(*args);
    FUZZ_CHECK(c == 0 || c > 32);
    // What is left is text the mode scan can take.
    ScanRunMode(args, false);
}

bool CarriesHandle(RunMode mode) { return mode == RunMode::Preview || mode == RunMode::ChangePassword; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const char* line = text.data();
    size_t length = strlen(line);

    CheckSkip(line, length, NextByte);
    CheckSkip(line, length, NextPair);

    ModeRequest nt = ScanRunMode(line, false);
    ModeRequest older = ScanRunMode(line, true);
    if (older.mode == RunMode::ChangePassword)
        FUZZ_CHECK(nt.mode == RunMode::Invalid && nt.handle == 0);
    else
        FUZZ_CHECK(nt.mode == older.mode && nt.handle == older.handle);
    FUZZ_CHECK(CarriesHandle(older.mode) || older.handle == 0);

    // A handle is the digits at the start; any text behind them is ignored.
    uint32_t handle = ParseWindowHandle(line);
    size_t digits = strspn(line, "0123456789");
    FUZZ_CHECK(digits > 0 || handle == 0);
    std::vector<char> cut(line, line + digits);
    cut.push_back('\0');
    FUZZ_CHECK(ParseWindowHandle(cut.data()) == handle);
    return 0;
}
