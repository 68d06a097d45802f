#pragma once
// What every device resource shares: the link back to its device and the bookkeeping of default
// pool objects, which must all be gone before the device can be reset.

#include "platform/d3d9/ComObject.h"

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
    int liveDefaultPoolResources = 0;
    PendingDraws* pending = nullptr;
};

using DeviceLinkPtr = std::shared_ptr<DeviceLink>;

inline void FinishPendingDraws(const DeviceLinkPtr& link) {
    if (link && link->pending)
        link->pending->FinishDraws();
}

// Counts one default-pool resource for as long as it lives.
class DefaultPoolTicket {
public:
    DefaultPoolTicket(DeviceLinkPtr link, bool counted) : link_(std::move(link)), counted_(counted) {
        if (counted_ && link_)
            ++link_->liveDefaultPoolResources;
    }
    ~DefaultPoolTicket() {
        if (counted_ && link_)
            --link_->liveDefaultPoolResources;
    }
    DefaultPoolTicket(const DefaultPoolTicket&) = delete;
    DefaultPoolTicket& operator=(const DefaultPoolTicket&) = delete;

    const DeviceLinkPtr& Link() const { return link_; }

private:
    DeviceLinkPtr link_;
    bool counted_;
};

inline HRESULT GetLinkedDevice(const DeviceLinkPtr& link, IDirect3DDevice9** device) {
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = link ? link->device : nullptr;
    if (!*device)
        return D3DERR_INVALIDCALL;
    (*device)->AddRef();
    return D3D_OK;
}

// The parts of IDirect3DResource9 that are the same for every resource.
template <typename Interface> class DeviceResource : public ComObject<Interface> {
public:
    DeviceResource(DeviceLinkPtr link, D3DPOOL pool, bool countedInDefaultPool)
        : ticket_(std::move(link), countedInDefaultPool && pool == D3DPOOL_DEFAULT), pool_(pool) {}

    HRESULT GetDevice(IDirect3DDevice9** device) override { return GetLinkedDevice(ticket_.Link(), device); }
    ULONG Release() override {
        if (this->RefCount() == 1)
            FinishPendingDraws(ticket_.Link()); // recorded draws may still read it
        return ComObject<Interface>::Release();
    }
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

private:
    DefaultPoolTicket ticket_;
    D3DPOOL pool_;
    DWORD priority_ = 0;
};
