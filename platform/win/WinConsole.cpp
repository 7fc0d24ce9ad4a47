#include <io.h>
#include <windows.h>

#include "platform/Console.h"

// The null device counts as a character device and so as a terminal for the
// C library; only a console answers GetConsoleMode.
bool IsInteractive(std::FILE* stream)
{
    if (stream == nullptr)
        return false;
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    DWORD mode = 0;
    return handle != -1 && GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}
