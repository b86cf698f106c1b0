// GCC has no __try/__except; the guard is a scope-table entry for the frame of
// GuardedCall (mingw's __try1/__except1), whose filter consults the system and, when
// the handler is selected, unwinds to the end of the guarded block.
#include <windows.h>

#include <excpt.h>

#include "shell/fault_guard.h"
#include "shell/password.h"

namespace {

int (*volatile s_fn)(void*);
void* volatile s_context;
volatile int s_result;
volatile LONG s_faulted;

}  // namespace

extern "C" LONG __cdecl TiloGuardFilter(EXCEPTION_POINTERS* pointers, void* frame)
{
    LONG verdict = UnhandledExceptionFilter(pointers);
    if (verdict == EXCEPTION_EXECUTE_HANDLER) s_faulted = 1;
    return verdict;
}

__attribute__((noinline)) static void GuardedCall()
{
    __try1(TiloGuardFilter) s_result = s_fn(s_context);
    __except1
}

int RunGuarded(int (*fn)(void*), void* context, int faultResult)
{
    // The guarded state is static: nested guards are not used, and one run per process.
    int (*savedFn)(void*) = s_fn;
    void* savedContext = s_context;
    s_fn = fn;
    s_context = context;
    s_faulted = 0;
    s_result = faultResult;
    GuardedCall();
    int result = s_result;
    bool faulted = s_faulted != 0;
    s_fn = savedFn;
    s_context = savedContext;
    if (faulted) {
        SetSaverRunning(false);
        return faultResult;
    }
    return result;
}
