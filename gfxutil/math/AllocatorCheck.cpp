#include "gfxutil/math/AllocatorCheck.h"

#include <new>

bool ZeroByteAllocationsConform(AllocateFunction allocate, ReleaseFunction release) {
    void* first = allocate(0);
    void* second = allocate(0);
    const bool conform = first != nullptr && second != nullptr && first != second;
    release(first);
    if (second != first) {
        release(second);
    }
    release(nullptr);
    return conform;
}

void WriteAllocatorWarning(std::FILE* stream) {
    std::fputs("D3DX: (WARN) Overloaded ::new and ::delete operators do not conform to C++ standards:\n"
               "D3DX: (WARN) An allocation of zero bytes should return a unique non-null pointer to at\n"
               "D3DX: (WARN) least zero bytes. Deletion of a null pointer should quietly do nothing.\n"
               "D3DX: (WARN) D3DX relies upon this behavior.\n",
               stream);
}

namespace {

// The nothrow form, so a replaced operator new that throws counts as failing instead of
// throwing out of a math call.
void* GlobalAllocate(std::size_t size) {
    return ::operator new(size, std::nothrow);
}
void GlobalRelease(void* pointer) {
    ::operator delete(pointer);
}

} // namespace

void CheckGlobalAllocatorOnce() {
    static bool checked = false;
    if (checked) {
        return;
    }
    checked = true;
    if (!ZeroByteAllocationsConform(GlobalAllocate, GlobalRelease)) {
        WriteAllocatorWarning(stderr);
    }
}
