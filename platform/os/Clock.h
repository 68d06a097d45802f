#pragma once
// The millisecond clock and the high-resolution performance counter.

#include "platform/os/WinTypes.h"

// Milliseconds since the process started, as an unsigned 32-bit count that wraps after 49.7 days.
// Counting from process start keeps the value small, so its float conversion stays exact.
DWORD timeGetTime();

// A monotonic nanosecond counter. Both return FALSE for a null pointer.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
