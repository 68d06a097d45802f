#pragma once
// Fast fills of 16- and 32-bit values, used by Clear. Large fills copy a small filled block
// (held in the first-level cache) over and over, which runs at memset speed.

#include "platform/os/WinTypes.h"

#include <cstddef>

void Fill32(DWORD* target, size_t count, DWORD value);
void Fill16(WORD* target, size_t count, WORD value);
