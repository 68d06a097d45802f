#pragma once
// Reference counting of the COM-style objects (the device's and the utility layer's): created with
// one reference, deleted when the last one is released.

#include "platform/os/WinTypes.h"

template <typename Interface> class ComObject : public Interface {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }
    ULONG RefCount() const { return refs_; }

protected:
    ~ComObject() override = default;

private:
    ULONG refs_ = 1; // the device is used from one thread
};

template <typename T> void SafeRelease(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

// Replaces a held reference with another, taking a reference on the new object first.
template <typename T, typename U> void ReplaceReference(T*& slot, U* object) {
    if (object)
        object->AddRef();
    if (slot)
        slot->Release();
    slot = object;
}
