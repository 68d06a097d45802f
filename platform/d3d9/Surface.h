#pragma once
// A two-dimensional block of pixels: a texture level, a render target, a depth buffer or an
// off-screen plain surface. Texture levels share the reference count of their texture.

#include "platform/d3d9/DeviceResource.h"

#include <vector>

class SampledTexture;

// Texels as the sampler reads them: A8R8G8B8, `orMask` ORed into every texel read.
struct TexelView {
    const DWORD* texels = nullptr;
    int width = 0;
    int height = 0;
    int depth = 1;
    int pitch = 0;      // in texels
    int slicePitch = 0; // in texels
    DWORD orMask = 0;
};

struct SurfaceDesc {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0;
    UINT height = 0;
    DWORD usage = 0;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    bool lockable = true;
};

class Surface : public DeviceResource<IDirect3DSurface9> {
public:
    // `container` (a texture) owns the surface and holds its references; null for stand-alone
    // surfaces. Returns null when the memory cannot be had.
    static Surface* Create(DeviceLinkPtr link, const SurfaceDesc& desc, IUnknown* container,
                           bool countedInDefaultPool);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    void AddDeviceRef() override;
    void ReleaseDeviceRef() override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetContainer(REFIID riid, void** container) override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    D3DFORMAT Format() const { return desc_.format; }
    UINT Width() const { return desc_.width; }
    UINT Height() const { return desc_.height; }
    DWORD Usage() const { return desc_.usage; }
    UINT Pitch() const { return pitch_; }
    UINT BytesPerPixel() const { return bytesPerPixel_; }
    BYTE* Bits() { return data_.data(); }
    const BYTE* Bits() const { return data_.data(); }
    BYTE* Row(UINT y) { return data_.data() + size_t(y) * pitch_; }
    bool IsLocked() const { return locked_; }

    // Called after the device drew into the surface, so sampled copies are rebuilt.
    void Changed();
    // The pixels as A8R8G8B8 texels (converted and cached for formats that need it).
    TexelView View();

    // Makes the surface lockable or not (the back buffer follows the presentation flags).
    void SetLockable(bool lockable) { desc_.lockable = lockable; }
    // The texture whose sampled views must be refreshed when the pixels change.
    void SetOwner(SampledTexture* owner) { owner_ = owner; }
    SampledTexture* Owner() const { return owner_; }

private:
    Surface(DeviceLinkPtr link, const SurfaceDesc& desc, IUnknown* container, bool counted);

    SurfaceDesc desc_;
    IUnknown* container_;
    DeviceBindable* containerBindings_;
    SampledTexture* owner_ = nullptr;
    UINT bytesPerPixel_ = 0;
    UINT pitch_ = 0;
    std::vector<BYTE> data_;
    std::vector<DWORD> decoded_;
    bool decodedValid_ = false;
    bool locked_ = false;
};

// Copies the pixels of one surface to another of the same format and size.
void CopySurfacePixels(const Surface& source, Surface& target);
