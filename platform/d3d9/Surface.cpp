#include "platform/d3d9/Surface.h"

#include "platform/d3d9/PixelFormats.h"
#include "platform/d3d9/Texture.h"

#include <cstring>
#include <new>

Surface* Surface::Create(DeviceLinkPtr link, const SurfaceDesc& desc, IUnknown* container,
                         bool countedInDefaultPool) {
    const PixelFormatInfo* info = FindPixelFormat(desc.format);
    if (!info || desc.width == 0 || desc.height == 0)
        return nullptr;
    try {
        return new Surface(std::move(link), desc, container, countedInDefaultPool);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Surface::Surface(DeviceLinkPtr link, const SurfaceDesc& desc, IUnknown* container, bool counted)
    : DeviceResource(std::move(link), desc.pool, counted && !container), desc_(desc), container_(container),
      containerBindings_(dynamic_cast<DeviceBindable*>(container)) {
    bytesPerPixel_ = FindPixelFormat(desc.format)->bytesPerPixel;
    pitch_ = (desc.width * bytesPerPixel_ + 3) & ~3u;
    data_.assign(size_t(pitch_) * desc.height, 0);
}

HRESULT Surface::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DResource9 || riid == IID_IDirect3DSurface9) {
        *object = static_cast<IDirect3DSurface9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Surface::AddRef() {
    return container_ ? container_->AddRef() : DeviceResource::AddRef();
}

ULONG Surface::Release() {
    return container_ ? container_->Release() : DeviceResource::Release();
}

void Surface::AddDeviceRef() {
    if (containerBindings_)
        containerBindings_->AddDeviceRef();
    else
        DeviceResource::AddDeviceRef();
}

void Surface::ReleaseDeviceRef() {
    if (containerBindings_)
        containerBindings_->ReleaseDeviceRef();
    else
        DeviceResource::ReleaseDeviceRef();
}

HRESULT Surface::GetContainer(REFIID riid, void** container) {
    if (!container)
        return D3DERR_INVALIDCALL;
    if (container_)
        return container_->QueryInterface(riid, container);
    IDirect3DDevice9* device = nullptr;
    if (FAILED(GetDevice(&device)))
        return E_NOINTERFACE;
    const HRESULT hr = device->QueryInterface(riid, container);
    device->Release();
    return hr;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = desc_.format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = desc_.usage;
    desc->Pool = desc_.pool;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = desc_.width;
    desc->Height = desc_.height;
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (!locked || !desc_.lockable || locked_)
        return D3DERR_INVALIDCALL;
    FinishPendingDraws(Link());
    UINT left = 0, top = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            UINT(rect->right) > desc_.width || UINT(rect->bottom) > desc_.height)
            return D3DERR_INVALIDCALL;
        left = UINT(rect->left);
        top = UINT(rect->top);
    }
    locked_ = true;
    if (!(flags & D3DLOCK_READONLY))
        Changed();
    locked->Pitch = INT(pitch_);
    locked->pBits = data_.data() + size_t(top) * pitch_ + size_t(left) * bytesPerPixel_;
    return D3D_OK;
}

HRESULT Surface::UnlockRect() {
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

void Surface::Changed() {
    decodedValid_ = false;
    if (owner_)
        owner_->MarkStale();
}

TexelView Surface::View() {
    TexelView view;
    view.width = int(desc_.width);
    view.height = int(desc_.height);
    if (desc_.format == D3DFMT_A8R8G8B8 || desc_.format == D3DFMT_X8R8G8B8) {
        view.texels = reinterpret_cast<const DWORD*>(data_.data());
        view.pitch = int(pitch_ / 4);
        view.orMask = desc_.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0;
    } else {
        if (!decodedValid_) {
            decoded_.resize(size_t(desc_.width) * desc_.height);
            for (UINT y = 0; y < desc_.height; ++y)
                DecodePixels(desc_.format, Row(y), decoded_.data() + size_t(y) * desc_.width, desc_.width);
            decodedValid_ = true;
        }
        view.texels = decoded_.data();
        view.pitch = int(desc_.width);
    }
    view.slicePitch = view.pitch * view.height;
    return view;
}

void CopySurfacePixels(const Surface& source, Surface& target) {
    const UINT rowBytes = source.Width() * source.BytesPerPixel();
    for (UINT y = 0; y < source.Height(); ++y)
        std::memcpy(target.Row(y), source.Bits() + size_t(y) * source.Pitch(), rowBytes);
    target.Changed();
}
