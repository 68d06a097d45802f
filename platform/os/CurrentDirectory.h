#pragma once
// The process's working directory, as the Win32 call reports it.

#include "platform/os/WinTypes.h"

// Copies the working directory into `buffer` and returns its length without the terminating NUL.
// When `size` is too small (or `buffer` is null) nothing is written and the size needed,
// NUL included, is returned. Returns 0 when the directory cannot be read.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
