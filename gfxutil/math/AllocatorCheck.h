#pragma once
// The math layer relies on zero-byte allocations returning distinct non-null pointers and on
// releasing a null pointer doing nothing. A replaced global operator new/delete may break that;
// the check below finds it and warns once.

#include <cstddef>
#include <cstdio>

using AllocateFunction = void* (*)(std::size_t size);
using ReleaseFunction = void (*)(void* pointer);

// True when two zero-byte allocations give two distinct non-null pointers. Releases what it got
// and releases a null pointer once.
bool ZeroByteAllocationsConform(AllocateFunction allocate, ReleaseFunction release);

// Writes the four warning lines about a non-conforming allocator to `stream`.
void WriteAllocatorWarning(std::FILE* stream);

// Checks the global operator new/delete the first time it is called in the process and warns on
// stderr (the debugger output here) when they do not conform.
void CheckGlobalAllocatorOnce();
