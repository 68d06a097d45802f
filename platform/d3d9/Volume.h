#pragma once
// A three-dimensional block of texels: one level of a volume texture. It shares the reference
// count of its texture.

#include "platform/d3d9/Surface.h"

class Volume : public IDirect3DVolume9 {
public:
    // Returns null when the memory cannot be had.
    static Volume* Create(const D3DVOLUME_DESC& desc, IDirect3DVolumeTexture9* container);
    ~Volume() override = default;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return container_->AddRef(); }
    ULONG Release() override { return container_->Release(); }
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT GetContainer(REFIID riid, void** container) override;
    HRESULT GetDesc(D3DVOLUME_DESC* desc) override;
    HRESULT LockBox(D3DLOCKED_BOX* locked, const D3DBOX* box, DWORD flags) override;
    HRESULT UnlockBox() override;

    const D3DVOLUME_DESC& Desc() const { return desc_; }
    BYTE* Bits() { return data_.data(); }
    UINT RowPitch() const { return rowPitch_; }
    UINT SlicePitch() const { return slicePitch_; }
    UINT BytesPerPixel() const { return bytesPerPixel_; }
    TexelView View();
    void SetOwner(SampledTexture* owner) { owner_ = owner; }
    // Called after the pixels were written directly, so sampled copies are rebuilt.
    void Changed();

private:
    Volume(const D3DVOLUME_DESC& desc, IDirect3DVolumeTexture9* container);

    D3DVOLUME_DESC desc_;
    IDirect3DVolumeTexture9* container_;
    SampledTexture* owner_ = nullptr;
    UINT bytesPerPixel_ = 0;
    UINT rowPitch_ = 0;
    UINT slicePitch_ = 0;
    std::vector<BYTE> data_;
    std::vector<DWORD> decoded_;
    bool decodedValid_ = false;
    bool locked_ = false;
};
