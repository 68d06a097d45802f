#include "gfxutil/texture/D3DX9Tex.h"
#include "gfxutil/texture/SurfaceLoader.h"
#include "gfxutil/texture/TextureRequirements.h"

namespace {

// One level of one face of a 2D, cube or volume texture, locked for as long as the object lives.
class LockedLevel {
public:
    LockedLevel(IDirect3DBaseTexture9* texture, UINT face, UINT level, DWORD flags)
        : texture_(texture), type_(texture->GetType()), face_(static_cast<D3DCUBEMAP_FACES>(face)),
          level_(level) {
        result_ = Lock(flags);
    }
    ~LockedLevel() {
        if (SUCCEEDED(result_))
            Unlock();
    }
    LockedLevel(const LockedLevel&) = delete;
    LockedLevel& operator=(const LockedLevel&) = delete;

    HRESULT Result() const { return result_; }

    PixelSource AsSource(const PALETTEENTRY* palette) const {
        PixelSource s;
        s.bits = bits_;
        s.rowPitch = rowPitch_;
        s.slicePitch = slicePitch_;
        s.format = format_;
        s.palette = palette;
        s.width = width_;
        s.height = height_;
        s.depth = depth_;
        return s;
    }

    PixelTarget AsTarget(const PALETTEENTRY* palette) const {
        PixelTarget t;
        t.bits = bits_;
        t.rowPitch = rowPitch_;
        t.slicePitch = slicePitch_;
        t.format = format_;
        t.palette = palette;
        t.width = width_;
        t.height = height_;
        t.depth = depth_;
        return t;
    }

private:
    HRESULT Lock(DWORD flags) {
        if (type_ == D3DRTYPE_VOLUMETEXTURE) {
            auto* volume = static_cast<IDirect3DVolumeTexture9*>(texture_);
            D3DVOLUME_DESC desc;
            D3DLOCKED_BOX box;
            HRESULT hr = volume->GetLevelDesc(level_, &desc);
            if (SUCCEEDED(hr))
                hr = volume->LockBox(level_, &box, nullptr, flags);
            if (FAILED(hr))
                return hr;
            Describe(desc.Format, desc.Width, desc.Height, desc.Depth, box.pBits, box.RowPitch,
                     box.SlicePitch);
            return hr;
        }
        D3DSURFACE_DESC desc;
        D3DLOCKED_RECT rect;
        HRESULT hr;
        if (type_ == D3DRTYPE_CUBETEXTURE) {
            auto* cube = static_cast<IDirect3DCubeTexture9*>(texture_);
            hr = cube->GetLevelDesc(level_, &desc);
            if (SUCCEEDED(hr))
                hr = cube->LockRect(face_, level_, &rect, nullptr, flags);
        } else {
            auto* flat = static_cast<IDirect3DTexture9*>(texture_);
            hr = flat->GetLevelDesc(level_, &desc);
            if (SUCCEEDED(hr))
                hr = flat->LockRect(level_, &rect, nullptr, flags);
        }
        if (FAILED(hr))
            return hr;
        Describe(desc.Format, desc.Width, desc.Height, 1, rect.pBits, rect.Pitch,
                 rect.Pitch * INT(desc.Height));
        return hr;
    }

    void Unlock() {
        if (type_ == D3DRTYPE_VOLUMETEXTURE)
            static_cast<IDirect3DVolumeTexture9*>(texture_)->UnlockBox(level_);
        else if (type_ == D3DRTYPE_CUBETEXTURE)
            static_cast<IDirect3DCubeTexture9*>(texture_)->UnlockRect(face_, level_);
        else
            static_cast<IDirect3DTexture9*>(texture_)->UnlockRect(level_);
    }

    void Describe(D3DFORMAT format, UINT width, UINT height, UINT depth, void* bits, INT rowPitch,
                  INT slicePitch) {
        format_ = format;
        width_ = width;
        height_ = height;
        depth_ = depth;
        bits_ = static_cast<BYTE*>(bits);
        rowPitch_ = static_cast<std::size_t>(rowPitch);
        slicePitch_ = static_cast<std::size_t>(slicePitch);
    }

    IDirect3DBaseTexture9* texture_;
    D3DRESOURCETYPE type_;
    D3DCUBEMAP_FACES face_;
    UINT level_;
    HRESULT result_ = E_FAIL;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    UINT width_ = 0;
    UINT height_ = 0;
    UINT depth_ = 1;
    BYTE* bits_ = nullptr;
    std::size_t rowPitch_ = 0;
    std::size_t slicePitch_ = 0;
};

struct LevelZeroSize {
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
};

HRESULT TopLevelSize(IDirect3DBaseTexture9* texture, D3DRESOURCETYPE type, LevelZeroSize& size) {
    if (type == D3DRTYPE_VOLUMETEXTURE) {
        D3DVOLUME_DESC desc;
        const HRESULT hr = static_cast<IDirect3DVolumeTexture9*>(texture)->GetLevelDesc(0, &desc);
        size = {desc.Width, desc.Height, desc.Depth};
        return hr;
    }
    D3DSURFACE_DESC desc;
    const HRESULT hr = type == D3DRTYPE_CUBETEXTURE
                           ? static_cast<IDirect3DCubeTexture9*>(texture)->GetLevelDesc(0, &desc)
                           : static_cast<IDirect3DTexture9*>(texture)->GetLevelDesc(0, &desc);
    size = {desc.Width, desc.Height, 1};
    return hr;
}

DWORD DefaultMipFilter(const LevelZeroSize& size, D3DRESOURCETYPE type) {
    const bool powersOfTwo =
        IsPowerOfTwo(size.width) && IsPowerOfTwo(size.height) && IsPowerOfTwo(size.depth);
    DWORD filter = powersOfTwo ? D3DX_FILTER_BOX : (D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER);
    if (type == D3DRTYPE_CUBETEXTURE)
        filter |= D3DX_FILTER_MIRROR;
    return filter;
}

HRESULT FilterLevel(IDirect3DBaseTexture9* texture, UINT face, UINT from, UINT to,
                    const PALETTEENTRY* palette, DWORD filter) {
    const LockedLevel source(texture, face, from, D3DLOCK_READONLY);
    if (FAILED(source.Result()))
        return source.Result();
    const LockedLevel target(texture, face, to, 0);
    if (FAILED(target.Result()))
        return target.Result();
    return LoadPixels(target.AsTarget(palette), source.AsSource(palette), filter, 0);
}

} // namespace

HRESULT D3DXFilterTexture(IDirect3DBaseTexture9* baseTexture, const PALETTEENTRY* palette, UINT srcLevel,
                          DWORD filter) {
    if (!baseTexture)
        return D3DERR_INVALIDCALL;
    const D3DRESOURCETYPE type = baseTexture->GetType();
    if (type != D3DRTYPE_TEXTURE && type != D3DRTYPE_CUBETEXTURE && type != D3DRTYPE_VOLUMETEXTURE)
        return D3DERR_INVALIDCALL;
    const UINT levels = baseTexture->GetLevelCount();
    if (srcLevel == D3DX_DEFAULT)
        srcLevel = 0;
    if (srcLevel >= levels)
        return D3DERR_INVALIDCALL;
    if (filter == D3DX_DEFAULT) {
        LevelZeroSize size;
        if (const HRESULT hr = TopLevelSize(baseTexture, type, size); FAILED(hr))
            return hr;
        filter = DefaultMipFilter(size, type);
    }
    if (!IsValidFilter(filter))
        return D3DERR_INVALIDCALL;
    const DWORD kind = filter & 0xFF;
    const bool chained = kind == D3DX_FILTER_POINT || kind == D3DX_FILTER_BOX;
    const UINT faces = type == D3DRTYPE_CUBETEXTURE ? 6 : 1;
    for (UINT face = 0; face < faces; ++face) {
        for (UINT level = srcLevel + 1; level < levels; ++level) {
            const HRESULT hr =
                FilterLevel(baseTexture, face, chained ? level - 1 : srcLevel, level, palette, filter);
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}
