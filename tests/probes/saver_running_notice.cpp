// Exits with 1 when the system has been told that a screen saver is running, else 0.
// A process of its own, because a process keeps the first answer it read.
#include <windows.h>

int main()
{
    BOOL running = FALSE;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) return 2;
    return running ? 1 : 0;
}
