// The structured fault guard around a whole run.
#ifndef TILO_SHELL_FAULT_GUARD_H
#define TILO_SHELL_FAULT_GUARD_H

// Runs fn(context) under a structured fault guard. A fault that nothing else handles
// goes to the system's UnhandledExceptionFilter; when that selects the guard, the
// saver-running notice is withdrawn and faultResult is returned.
int RunGuarded(int (*fn)(void*), void* context, int faultResult);

#endif
