#pragma once
// Bytes the program holds on the heap right now, as the allocator in use counts them: the
// sanitizer's allocator when it is built in, glibc's otherwise (large blocks included).

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC does not install its header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();

inline std::size_t HeapBytesInUse() {
    return __sanitizer_get_current_allocated_bytes();
}
#else
#include <malloc.h>

inline std::size_t HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}
#endif
