#include "platform/d3d9/Volume.h"

#include "platform/d3d9/PixelFormats.h"
#include "platform/d3d9/Texture.h"

#include <new>

Volume* Volume::Create(const D3DVOLUME_DESC& desc, IDirect3DVolumeTexture9* container) {
    const PixelFormatInfo* info = FindPixelFormat(desc.Format);
    if (!info || !info->sampled || desc.Width == 0 || desc.Height == 0 || desc.Depth == 0)
        return nullptr;
    try {
        return new Volume(desc, container);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

Volume::Volume(const D3DVOLUME_DESC& desc, IDirect3DVolumeTexture9* container)
    : desc_(desc), container_(container) {
    bytesPerPixel_ = FindPixelFormat(desc.Format)->bytesPerPixel;
    rowPitch_ = (desc.Width * bytesPerPixel_ + 3) & ~3u;
    slicePitch_ = rowPitch_ * desc.Height;
    data_.assign(size_t(slicePitch_) * desc.Depth, 0);
}

HRESULT Volume::QueryInterface(REFIID riid, void** object) {
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirect3DVolume9) {
        *object = static_cast<IDirect3DVolume9*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT Volume::GetDevice(IDirect3DDevice9** device) {
    return container_->GetDevice(device);
}

HRESULT Volume::GetContainer(REFIID riid, void** container) {
    if (!container)
        return D3DERR_INVALIDCALL;
    return container_->QueryInterface(riid, container);
}

HRESULT Volume::GetDesc(D3DVOLUME_DESC* desc) {
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

HRESULT Volume::LockBox(D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags) {
    if (!locked || locked_)
        return D3DERR_INVALIDCALL;
    if (desc_.Pool == D3DPOOL_DEFAULT && !(desc_.Usage & D3DUSAGE_DYNAMIC))
        return D3DERR_INVALIDCALL;
    size_t offset = 0;
    if (box) {
        if (box->Left >= box->Right || box->Top >= box->Bottom || box->Front >= box->Back ||
            box->Right > desc_.Width || box->Bottom > desc_.Height || box->Back > desc_.Depth)
            return D3DERR_INVALIDCALL;
        offset = size_t(box->Front) * slicePitch_ + size_t(box->Top) * rowPitch_ +
                 size_t(box->Left) * bytesPerPixel_;
    }
    locked_ = true;
    if (!(flags & D3DLOCK_READONLY))
        Changed();
    locked->RowPitch = INT(rowPitch_);
    locked->SlicePitch = INT(slicePitch_);
    locked->pBits = data_.data() + offset;
    return D3D_OK;
}

HRESULT Volume::UnlockBox() {
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

void Volume::Changed() {
    decodedValid_ = false;
    if (owner_)
        owner_->MarkStale();
}

TexelView Volume::View() {
    if (!decodedValid_) {
        decoded_.resize(size_t(desc_.Width) * desc_.Height * desc_.Depth);
        DWORD* out = decoded_.data();
        for (UINT z = 0; z < desc_.Depth; ++z)
            for (UINT y = 0; y < desc_.Height; ++y, out += desc_.Width)
                DecodePixels(desc_.Format, data_.data() + size_t(z) * slicePitch_ + size_t(y) * rowPitch_,
                             out, desc_.Width);
        decodedValid_ = true;
    }
    TexelView view;
    view.texels = decoded_.data();
    view.width = int(desc_.Width);
    view.height = int(desc_.Height);
    view.depth = int(desc_.Depth);
    view.pitch = view.width;
    view.slicePitch = view.width * view.height;
    return view;
}
