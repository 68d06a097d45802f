#include "platform/d3d9/FillMemory.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kBlockBytes = 4096;

void FillBytes(BYTE* target, size_t bytes, const BYTE* pattern, size_t patternBytes) {
    // Values whose bytes are all equal are a plain memset.
    if (std::all_of(pattern, pattern + patternBytes, [&](BYTE b) { return b == pattern[0]; })) {
        std::memset(target, pattern[0], bytes);
        return;
    }
    alignas(64) BYTE block[kBlockBytes];
    for (size_t i = 0; i < kBlockBytes; i += patternBytes)
        std::memcpy(block + i, pattern, patternBytes);
    while (bytes >= kBlockBytes) {
        std::memcpy(target, block, kBlockBytes);
        target += kBlockBytes;
        bytes -= kBlockBytes;
    }
    std::memcpy(target, block, bytes);
}

} // namespace

void Fill32(DWORD* target, size_t count, DWORD value) {
#if defined(__x86_64__)
    // The string store fills at the speed of memset without reading the target first.
    if ((value & 0xFF) * 0x01010101u != value) {
        asm volatile("rep stosl" : "+D"(target), "+c"(count) : "a"(value) : "memory");
        return;
    }
#endif
    BYTE pattern[4];
    std::memcpy(pattern, &value, 4);
    FillBytes(reinterpret_cast<BYTE*>(target), count * 4, pattern, 4);
}

void Fill16(WORD* target, size_t count, WORD value) {
#if defined(__x86_64__)
    if ((value & 0xFF) * 0x0101u != value) {
        asm volatile("rep stosw" : "+D"(target), "+c"(count) : "a"(value) : "memory");
        return;
    }
#endif
    BYTE pattern[2];
    std::memcpy(pattern, &value, 2);
    FillBytes(reinterpret_cast<BYTE*>(target), count * 2, pattern, 2);
}
