#pragma once
// What every device resource shares: the link back to its device, its two kinds of references and
// the bookkeeping of default-pool objects the caller still holds, which block a device reset.

#include "platform/d3d9/Direct3D9.h"
#include "platform/os/ComObject.h"

#include <memory>

// Drawing the device has recorded but not yet done. Whoever reads or changes a resource's pixels,
// or frees a resource, first has the device finish it.
class PendingDraws {
public:
    virtual void FinishDraws() = 0;

protected:
    ~PendingDraws() = default;
};

// Outlives the device while resources remain: a resource released after its device finds
// `device` null instead of a dangling pointer.
struct DeviceLink {
    IDirect3DDevice9* device = nullptr;
    int heldDefaultPoolResources = 0;
    PendingDraws* pending = nullptr;
};

using DeviceLinkPtr = std::shared_ptr<DeviceLink>;

inline void FinishPendingDraws(const DeviceLinkPtr& link) {
    if (link && link->pending)
        link->pending->FinishDraws();
}

// Counts one default-pool resource while the caller holds a reference to it.
class DefaultPoolTicket {
public:
    DefaultPoolTicket(DeviceLinkPtr link, bool counted)
        : link_(std::move(link)), counted_(counted && link_) {}
    ~DefaultPoolTicket() { Drop(); }
    DefaultPoolTicket(const DefaultPoolTicket&) = delete;
    DefaultPoolTicket& operator=(const DefaultPoolTicket&) = delete;

    void Hold() {
        if (counted_ && !held_) {
            ++link_->heldDefaultPoolResources;
            held_ = true;
        }
    }
    void Drop() {
        if (held_) {
            --link_->heldDefaultPoolResources;
            held_ = false;
        }
    }
    const DeviceLinkPtr& Link() const { return link_; }

private:
    DeviceLinkPtr link_;
    bool counted_;
    bool held_ = false;
};

// The references the device takes for its own bindings (a texture on a stage, a render target or
// depth buffer, a stream, the indices). They keep the object in memory while it is bound, but they
// are not the caller's: they do not block a reset, and a reset drops them.
class DeviceBindable {
public:
    virtual void AddDeviceRef() = 0;
    virtual void ReleaseDeviceRef() = 0;

protected:
    ~DeviceBindable() = default;
};

DeviceBindable* BindableOf(IDirect3DBaseTexture9* texture);
inline DeviceBindable* BindableOf(DeviceBindable* resource) {
    return resource;
}

// Points one of the device's bindings at `object` (or at nothing), moving the device's reference.
template <typename T> void Rebind(T*& slot, T* object) {
    if (object)
        BindableOf(object)->AddDeviceRef();
    T* old = slot;
    slot = object;
    if (old)
        BindableOf(old)->ReleaseDeviceRef();
}

template <typename T> void Unbind(T*& slot) {
    Rebind(slot, static_cast<T*>(nullptr));
}

inline HRESULT GetLinkedDevice(const DeviceLinkPtr& link, IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = link ? link->device : nullptr;
    if (!*device)
        return D3DERR_INVALIDCALL;
    (*device)->AddRef();
    return D3D_OK;
}

// The parts of IDirect3DResource9 that are the same for every resource. AddRef and Release count
// the caller's references; the count they return includes the device's bindings as well.
template <typename Interface> class DeviceResource : public Interface, public DeviceBindable {
public:
    DeviceResource(DeviceLinkPtr link, D3DPOOL pool, bool countedInDefaultPool)
        : ticket_(std::move(link), countedInDefaultPool && pool == D3DPOOL_DEFAULT), pool_(pool) {
        ticket_.Hold();
    }

    ULONG AddRef() override {
        if (callerRefs_++ == 0)
            ticket_.Hold();
        return callerRefs_ + deviceRefs_;
    }
    ULONG Release() override {
        if (--callerRefs_ == 0)
            ticket_.Drop();
        return DeleteWhenUnreferenced();
    }
    void AddDeviceRef() override { ++deviceRefs_; }
    void ReleaseDeviceRef() override {
        --deviceRefs_;
        DeleteWhenUnreferenced();
    }

    HRESULT GetDevice(IDirect3DDevice9** device) override { return GetLinkedDevice(ticket_.Link(), device); }
    DWORD SetPriority(DWORD priority) override {
        const DWORD old = priority_;
        if (pool_ == D3DPOOL_MANAGED)
            priority_ = priority;
        return old;
    }
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}

    D3DPOOL Pool() const { return pool_; }
    const DeviceLinkPtr& Link() const { return ticket_.Link(); }

protected:
    ~DeviceResource() override = default;

private:
    ULONG DeleteWhenUnreferenced() {
        const ULONG left = callerRefs_ + deviceRefs_;
        if (left == 0) {
            FinishPendingDraws(ticket_.Link()); // recorded draws may still read it
            delete this;
        }
        return left;
    }

    DefaultPoolTicket ticket_;
    D3DPOOL pool_;
    DWORD priority_ = 0;
    ULONG callerRefs_ = 1; // the device is used from one thread
    ULONG deviceRefs_ = 0;
};
