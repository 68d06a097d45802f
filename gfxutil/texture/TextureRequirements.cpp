#include "gfxutil/texture/TextureRequirements.h"

#include <algorithm>
#include <cstdint>

#include "gfxutil/texture/D3DX9Tex.h"
#include "gfxutil/texture/FormatTable.h"
#include "gfxutil/texture/TextureComReference.h"

namespace {

constexpr UINT kDefaultSize = 256;

bool IsUnset(UINT value) {
    return value == D3DX_DEFAULT || value == D3DX_DEFAULT_NONPOW2;
}

struct Extent {
    UINT width;
    UINT height;
    UINT depth;
};

Extent DefaultExtent(UINT width, UINT height, UINT depth, D3DRESOURCETYPE type) {
    if (IsUnset(width) && IsUnset(height))
        width = height = kDefaultSize;
    else if (IsUnset(height))
        height = width;
    else if (IsUnset(width))
        width = height;
    width = std::max(width, 1u);
    height = std::max(height, 1u);
    if (type == D3DRTYPE_CUBETEXTURE)
        width = height = std::max(width, height);
    if (IsUnset(depth) || depth == 0)
        depth = 1;
    return {width, height, depth};
}

UINT Limit(UINT value, DWORD maximum) {
    return maximum != 0 ? std::min<UINT>(value, maximum) : value;
}

void ApplyDeviceLimits(Extent& e, const D3DCAPS9& caps, D3DRESOURCETYPE type) {
    if (type == D3DRTYPE_VOLUMETEXTURE) {
        e.width = Limit(e.width, caps.MaxVolumeExtent);
        e.height = Limit(e.height, caps.MaxVolumeExtent);
        e.depth = Limit(e.depth, caps.MaxVolumeExtent);
        return;
    }
    e.width = Limit(e.width, caps.MaxTextureWidth);
    e.height = Limit(e.height, caps.MaxTextureHeight);
    if (type != D3DRTYPE_TEXTURE)
        return;
    const std::uint64_t ratio =
        (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) ? 1 : std::uint64_t{caps.MaxTextureAspectRatio};
    if (ratio == 0)
        return;
    if (e.width > ratio * e.height)
        e.width = static_cast<UINT>(ratio * e.height);
    if (e.height > ratio * e.width)
        e.height = static_cast<UINT>(ratio * e.width);
}

bool RequiresPowerOfTwo(const D3DCAPS9& caps, D3DRESOURCETYPE type) {
    switch (type) {
    case D3DRTYPE_CUBETEXTURE:
        return (caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP_POW2) != 0;
    case D3DRTYPE_VOLUMETEXTURE:
        return (caps.TextureCaps & D3DPTEXTURECAPS_VOLUMEMAP_POW2) != 0;
    default:
        return (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
    }
}

// Power-of-two sizes required, except for single-level textures.
bool HasConditionalNonPowerOfTwo(const D3DCAPS9& caps, D3DRESOURCETYPE type) {
    return type == D3DRTYPE_TEXTURE && (caps.TextureCaps & D3DPTEXTURECAPS_POW2) &&
           (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL);
}

bool CanMipMap(const D3DCAPS9& caps, D3DRESOURCETYPE type) {
    switch (type) {
    case D3DRTYPE_CUBETEXTURE:
        return (caps.TextureCaps & D3DPTEXTURECAPS_MIPCUBEMAP) != 0;
    case D3DRTYPE_VOLUMETEXTURE:
        return (caps.TextureCaps & D3DPTEXTURECAPS_MIPVOLUMEMAP) != 0;
    default:
        return (caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP) != 0;
    }
}

UINT FullChainLength(const Extent& e, D3DRESOURCETYPE type) {
    UINT largest = std::max(e.width, e.height);
    if (type == D3DRTYPE_VOLUMETEXTURE)
        largest = std::max(largest, e.depth);
    UINT levels = 1;
    while (largest > 1) {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

UINT ChooseLevels(UINT requested, const Extent& e, const D3DCAPS9& caps, D3DRESOURCETYPE type, DWORD usage) {
    const bool volume = type == D3DRTYPE_VOLUMETEXTURE;
    const bool allPowersOfTwo =
        IsPowerOfTwo(e.width) && IsPowerOfTwo(e.height) && (!volume || IsPowerOfTwo(e.depth));
    if (!CanMipMap(caps, type) || (HasConditionalNonPowerOfTwo(caps, type) && !allPowersOfTwo))
        return 1;
    const UINT full = FullChainLength(e, type);
    const UINT levels = (requested != 0 && requested <= full) ? requested : full;
    if ((usage & D3DUSAGE_AUTOGENMIPMAP) && levels > 1)
        return 0;
    return levels;
}

HRESULT ChooseFormat(IDirect3DDevice9* device, D3DFORMAT& format, DWORD usage, D3DPOOL pool,
                     D3DRESOURCETYPE type) {
    if (pool == D3DPOOL_SCRATCH) {
        if (format == D3DFMT_UNKNOWN)
            format = D3DFMT_A8R8G8B8;
        return S_OK;
    }
    const D3DFORMAT closest = FindClosestDeviceFormat(device, format, usage, type);
    if (closest == D3DFMT_UNKNOWN)
        return D3DERR_NOTAVAILABLE;
    format = closest;
    return S_OK;
}

} // namespace

UINT NextPowerOfTwo(UINT value) {
    UINT power = 1;
    while (power < value && power < 0x80000000u)
        power <<= 1;
    return power;
}

bool IsPowerOfTwo(UINT value) {
    return value != 0 && (value & (value - 1)) == 0;
}

D3DFORMAT FindClosestDeviceFormat(IDirect3DDevice9* device, D3DFORMAT format, DWORD usage,
                                  D3DRESOURCETYPE resourceType) {
    ComReference<IDirect3D9> d3d;
    D3DDEVICE_CREATION_PARAMETERS creation;
    D3DDISPLAYMODE mode;
    if (FAILED(device->GetDirect3D(d3d.Out())) || !d3d || FAILED(device->GetCreationParameters(&creation)) ||
        FAILED(device->GetDisplayMode(0, &mode)))
        return D3DFMT_UNKNOWN;
    const auto supported = [&](D3DFORMAT candidate) {
        return SUCCEEDED(d3d->CheckDeviceFormat(creation.AdapterOrdinal, creation.DeviceType, mode.Format,
                                                usage, resourceType, candidate));
    };
    return FindClosestFormat(DescribeFormat(format), supported);
}

HRESULT CheckTextureRequirements(IDirect3DDevice9* device, UINT* width, UINT* height, UINT* depth,
                                 UINT* mipLevels, DWORD usage, D3DFORMAT* format, D3DPOOL pool,
                                 D3DRESOURCETYPE resourceType) {
    if (!device || !width || !height || !mipLevels || !format)
        return D3DERR_INVALIDCALL;
    if (usage == D3DX_DEFAULT)
        usage = 0;
    if ((usage & kInvalidTextureUsage) || pool > D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;

    D3DFORMAT chosen = *format;
    if (const HRESULT hr = ChooseFormat(device, chosen, usage, pool, resourceType); FAILED(hr))
        return hr;

    D3DCAPS9 caps{};
    if (const HRESULT hr = device->GetDeviceCaps(&caps); FAILED(hr))
        return hr;
    Extent e = DefaultExtent(*width, *height, depth ? *depth : 1, resourceType);
    if (pool != D3DPOOL_SCRATCH)
        ApplyDeviceLimits(e, caps, resourceType);
    const bool exempt =
        *mipLevels == 1 && HasConditionalNonPowerOfTwo(caps, resourceType) && !IsBlockCompressed(chosen);
    if (RequiresPowerOfTwo(caps, resourceType) && !exempt) {
        e.width = NextPowerOfTwo(e.width);
        e.height = NextPowerOfTwo(e.height);
        e.depth = NextPowerOfTwo(e.depth);
    }
    if (IsBlockCompressed(chosen)) {
        e.width = (e.width + 3) & ~3u;
        e.height = (e.height + 3) & ~3u;
    }

    *mipLevels = ChooseLevels(*mipLevels, e, caps, resourceType, usage);
    *width = e.width;
    *height = e.height;
    if (depth)
        *depth = e.depth;
    *format = chosen;
    return S_OK;
}

// ---- D3DX entry points ----

namespace {

struct OptionalArguments {
    UINT width = D3DX_DEFAULT;
    UINT height = D3DX_DEFAULT;
    UINT depth = 1;
    UINT levels = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;

    OptionalArguments(const UINT* w, const UINT* h, const UINT* d, const UINT* l, const D3DFORMAT* f) {
        if (w)
            width = *w;
        if (h)
            height = *h;
        if (d)
            depth = *d;
        if (l)
            levels = *l;
        if (f)
            format = *f;
    }

    void WriteBack(UINT* w, UINT* h, UINT* d, UINT* l, D3DFORMAT* f) const {
        if (w)
            *w = width;
        if (h)
            *h = height;
        if (d)
            *d = depth;
        if (l)
            *l = levels;
        if (f)
            *f = format;
    }
};

HRESULT CheckOptional(IDirect3DDevice9* device, UINT* width, UINT* height, UINT* depth, UINT* levels,
                      DWORD usage, D3DFORMAT* format, D3DPOOL pool, D3DRESOURCETYPE type) {
    OptionalArguments a(width, height, depth, levels, format);
    const HRESULT hr = CheckTextureRequirements(device, &a.width, &a.height,
                                                type == D3DRTYPE_VOLUMETEXTURE ? &a.depth : nullptr,
                                                &a.levels, usage, &a.format, pool, type);
    if (SUCCEEDED(hr))
        a.WriteBack(width, height, depth, levels, format);
    return hr;
}

} // namespace

HRESULT D3DXCheckTextureRequirements(IDirect3DDevice9* device, UINT* width, UINT* height, UINT* numMipLevels,
                                     DWORD usage, D3DFORMAT* format, D3DPOOL pool) {
    return CheckOptional(device, width, height, nullptr, numMipLevels, usage, format, pool, D3DRTYPE_TEXTURE);
}

HRESULT D3DXCheckCubeTextureRequirements(IDirect3DDevice9* device, UINT* size, UINT* numMipLevels,
                                         DWORD usage, D3DFORMAT* format, D3DPOOL pool) {
    UINT height = size ? *size : D3DX_DEFAULT;
    return CheckOptional(device, size, &height, nullptr, numMipLevels, usage, format, pool,
                         D3DRTYPE_CUBETEXTURE);
}

HRESULT D3DXCheckVolumeTextureRequirements(IDirect3DDevice9* device, UINT* width, UINT* height, UINT* depth,
                                           UINT* numMipLevels, DWORD usage, D3DFORMAT* format, D3DPOOL pool) {
    return CheckOptional(device, width, height, depth, numMipLevels, usage, format, pool,
                         D3DRTYPE_VOLUMETEXTURE);
}
