#include "gfxutil/texture/TextureFromMemory.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "gfxutil/image/ImageDecoder.h"
#include "gfxutil/texture/FormatTable.h"
#include "gfxutil/texture/SurfaceLoader.h"
#include "gfxutil/texture/TextureComReference.h"
#include "gfxutil/texture/TextureRequirements.h"

namespace {

using Palette = std::array<PALETTEENTRY, 256>;

constexpr UINT kCubeFaces = 6;

// ---- Sizes and filters ----

UINT SizeFromImage(UINT requested, UINT imageSize) {
    if (requested == D3DX_DEFAULT_NONPOW2)
        return imageSize;
    if (requested == 0 || requested == D3DX_DEFAULT)
        return NextPowerOfTwo(imageSize);
    return requested;
}

struct Filters {
    DWORD level;
    DWORD mip;
    bool mipFiltering; // further levels come from D3DXFilterTexture
};

Filters ChooseFilters(DWORD filter, DWORD mipFilter, D3DRESOURCETYPE type) {
    const DWORD cubeMirror = type == D3DRTYPE_CUBETEXTURE ? D3DX_FILTER_MIRROR : 0;
    if (filter == D3DX_DEFAULT)
        filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER | cubeMirror;
    if (mipFilter == D3DX_DEFAULT)
        mipFilter = D3DX_FILTER_BOX | cubeMirror;
    const DWORD mipKind = mipFilter & 0xFF;
    const bool mipFiltering =
        (filter & 0xFF) == D3DX_FILTER_NONE || mipKind == D3DX_FILTER_POINT || mipKind == D3DX_FILTER_BOX;
    return {filter, mipFilter, mipFiltering};
}

// ---- Palette and colour key ----

D3DCOLOR EntryColour(const PALETTEENTRY& e) {
    return (DWORD{e.peFlags} << 24) | (DWORD{e.peRed} << 16) | (DWORD{e.peGreen} << 8) | e.peBlue;
}

bool IsGreyRamp(const Palette& palette) {
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = palette[i];
        if (e.peRed != i || e.peGreen != i || e.peBlue != i || e.peFlags != 255)
            return false;
    }
    return true;
}

bool IsRgb332Ramp(const Palette& palette) {
    static constexpr BYTE kThreeBits[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    static constexpr BYTE kTwoBits[4] = {0, 85, 170, 255};
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = palette[i];
        if (e.peRed != kThreeBits[i >> 5] || e.peGreen != kThreeBits[(i >> 2) & 7] ||
            e.peBlue != kTwoBits[i & 3] || e.peFlags != 255)
            return false;
    }
    return true;
}

bool AllOpaque(const Palette& palette) {
    return std::all_of(palette.begin(), palette.end(),
                       [](const PALETTEENTRY& e) { return e.peFlags == 255; });
}

// What the loading works from: the image's pixel format (perhaps reinterpreted) and palette.
struct SourceDescription {
    D3DFORMAT format;
    Palette palette;
    bool hasPalette;
    D3DCOLOR colorKey;
};

SourceDescription DescribeSource(const DecodedImage& image, D3DCOLOR colorKey, D3DFORMAT requested) {
    SourceDescription s{image.format, {}, !image.palette.empty(), colorKey};
    if (!s.hasPalette) {
        s.palette.fill(PALETTEENTRY{0xFF, 0xFF, 0xFF, 0xFF});
        return s;
    }
    std::copy_n(image.palette.begin(), std::min<std::size_t>(256, image.palette.size()), s.palette.begin());
    if (s.colorKey != 0) {
        for (PALETTEENTRY& e : s.palette)
            if (EntryColour(e) == s.colorKey)
                e = PALETTEENTRY{0, 0, 0, 0};
        s.colorKey = 0; // applied to the palette
    }
    if (requested != D3DFMT_P8 && s.format == D3DFMT_P8) {
        // Indices into these palettes are the pixel values themselves.
        if (IsGreyRamp(s.palette))
            s.format = D3DFMT_L8;
        else if (IsRgb332Ramp(s.palette))
            s.format = D3DFMT_R3G3B2;
    }
    return s;
}

// A format with room for the colour key's transparency, close to the image's own layout.
D3DFORMAT FormatWithKeyAlpha(D3DFORMAT format) {
    const FormatDescriptor& d = DescribeFormat(format);
    const bool keyable =
        d.kind == FormatKind::Colour || d.kind == FormatKind::Palette || d.kind == FormatKind::Luminance;
    if (!keyable || d.alpha != 0)
        return format;
    FormatDescriptor layout = d;
    layout.format = D3DFMT_UNKNOWN;
    layout.alpha = 1;
    const D3DFORMAT closest = FindClosestFormat(layout, [](D3DFORMAT) { return true; });
    return closest != D3DFMT_UNKNOWN ? closest : format;
}

D3DFORMAT ChooseFormat(const TextureRequest& request, const SourceDescription& source) {
    D3DFORMAT format = request.format;
    if (format == D3DFMT_UNKNOWN) {
        format = PublicImageFormat(source.format);
        if (source.colorKey != 0)
            format = FormatWithKeyAlpha(format);
        if (request.pool != D3DPOOL_SCRATCH && format == D3DFMT_R8G8B8)
            format = D3DFMT_X8R8G8B8;
    }
    if (request.palette) {
        std::copy(source.palette.begin(), source.palette.end(), request.palette);
        if (source.hasPalette)
            return format;
    }
    if (format == D3DFMT_A8P8)
        return D3DFMT_A8R8G8B8;
    if (format == D3DFMT_P8)
        return AllOpaque(source.palette) ? D3DFMT_X8R8G8B8 : D3DFMT_A8R8G8B8;
    return format;
}

// ---- Creating and filling ----

struct TextureShape {
    UINT width;
    UINT height;
    UINT depth;
    UINT levels;
    DWORD usage;
    D3DFORMAT format;
};

HRESULT CreateOfType(IDirect3DDevice9* device, D3DRESOURCETYPE type, const TextureShape& shape, DWORD usage,
                     D3DPOOL pool, ComReference<IDirect3DBaseTexture9>& texture) {
    HRESULT hr;
    if (type == D3DRTYPE_CUBETEXTURE) {
        IDirect3DCubeTexture9* cube = nullptr;
        hr = device->CreateCubeTexture(shape.width, shape.levels, usage, shape.format, pool, &cube, nullptr);
        texture = ComReference<IDirect3DBaseTexture9>(cube);
    } else if (type == D3DRTYPE_VOLUMETEXTURE) {
        IDirect3DVolumeTexture9* volume = nullptr;
        hr = device->CreateVolumeTexture(shape.width, shape.height, shape.depth, shape.levels, usage,
                                         shape.format, pool, &volume, nullptr);
        texture = ComReference<IDirect3DBaseTexture9>(volume);
    } else {
        IDirect3DTexture9* flat = nullptr;
        hr = device->CreateTexture(shape.width, shape.height, shape.levels, usage, shape.format, pool, &flat,
                                   nullptr);
        texture = ComReference<IDirect3DBaseTexture9>(flat);
    }
    if (SUCCEEDED(hr) && !texture)
        return E_FAIL;
    if (FAILED(hr))
        texture.Reset();
    return hr;
}

struct LevelLoad {
    const SourceDescription& source;
    const PALETTEENTRY* targetPalette;
    DWORD filter;
};

bool IsPaletteFormat(D3DFORMAT format) {
    return format == D3DFMT_P8 || format == D3DFMT_A8P8;
}

HRESULT LoadLevel(IDirect3DBaseTexture9* texture, UINT face, UINT level, const DecodedImage& image,
                  const LevelLoad& load) {
    const D3DRESOURCETYPE type = texture->GetType();
    const PALETTEENTRY* sourcePalette = load.source.palette.data();
    if (type == D3DRTYPE_VOLUMETEXTURE) {
        ComReference<IDirect3DVolume9> volume;
        if (const HRESULT hr =
                static_cast<IDirect3DVolumeTexture9*>(texture)->GetVolumeLevel(level, volume.Out());
            FAILED(hr))
            return hr;
        const RECT& r = image.sourceRect;
        const D3DBOX box{UINT(r.left), UINT(r.top), UINT(r.right), UINT(r.bottom), image.front, image.back};
        return D3DXLoadVolumeFromMemory(volume.Get(), load.targetPalette, nullptr, image.pixels,
                                        load.source.format, image.rowPitch, image.slicePitch, sourcePalette,
                                        &box, load.filter, load.source.colorKey);
    }
    ComReference<IDirect3DSurface9> surface;
    const HRESULT hr = type == D3DRTYPE_CUBETEXTURE
                           ? static_cast<IDirect3DCubeTexture9*>(texture)->GetCubeMapSurface(
                                 static_cast<D3DCUBEMAP_FACES>(face), level, surface.Out())
                           : static_cast<IDirect3DTexture9*>(texture)->GetSurfaceLevel(level, surface.Out());
    if (FAILED(hr))
        return hr;
    return D3DXLoadSurfaceFromMemory(surface.Get(), load.targetPalette, nullptr, image.pixels,
                                     load.source.format, image.rowPitch, sourcePalette, &image.sourceRect,
                                     load.filter, load.source.colorKey);
}

std::vector<const DecodedImage*> LevelsOf(const DecodedImage& face) {
    std::vector<const DecodedImage*> levels;
    for (const DecodedImage* level = &face; level; level = level->nextMip.get())
        levels.push_back(level);
    return levels;
}

HRESULT FillFace(IDirect3DBaseTexture9* texture, UINT face, const DecodedImage& image, const LevelLoad& load,
                 const Filters& filters) {
    const std::vector<const DecodedImage*> imageLevels = LevelsOf(image);
    const UINT textureLevels = texture->GetLevelCount();
    const UINT fromImage = std::min<UINT>(textureLevels, static_cast<UINT>(imageLevels.size()));
    for (UINT level = 0; level < fromImage; ++level)
        if (const HRESULT hr = LoadLevel(texture, face, level, *imageLevels[level], load); FAILED(hr))
            return hr;
    if (!filters.mipFiltering) {
        for (UINT level = fromImage; level < textureLevels; ++level)
            if (const HRESULT hr = LoadLevel(texture, face, level, *imageLevels.back(), load); FAILED(hr))
                return hr;
    }
    return S_OK;
}

HRESULT Fill(IDirect3DBaseTexture9* texture, const std::vector<const DecodedImage*>& faces,
             const LevelLoad& load, const Filters& filters) {
    for (UINT face = 0; face < faces.size(); ++face)
        if (const HRESULT hr = FillFace(texture, face, *faces[face], load, filters); FAILED(hr))
            return hr;
    const UINT imageLevels = static_cast<UINT>(LevelsOf(*faces[0]).size());
    if (filters.mipFiltering && texture->GetLevelCount() > imageLevels)
        return D3DXFilterTexture(texture, load.targetPalette, imageLevels - 1, filters.mip);
    return S_OK;
}

std::vector<const DecodedImage*> FacesOf(const DecodedImage& image, D3DRESOURCETYPE type) {
    std::vector<const DecodedImage*> faces;
    if (type != D3DRTYPE_CUBETEXTURE)
        return {&image};
    for (const DecodedImage* face = &image; face; face = face->nextFace.get())
        faces.push_back(face);
    return faces;
}

HRESULT CheckArguments(const TextureRequest& r, const void* data, std::size_t size,
                       IDirect3DBaseTexture9** texture) {
    if (!r.device || !data || size == 0 || !texture)
        return D3DERR_INVALIDCALL;
    if (r.resourceType != D3DRTYPE_TEXTURE && r.resourceType != D3DRTYPE_CUBETEXTURE &&
        r.resourceType != D3DRTYPE_VOLUMETEXTURE)
        return D3DERR_INVALIDCALL;
    return S_OK;
}

} // namespace

HRESULT CreateTextureFromFileInMemory(const TextureRequest& request, const void* data, std::size_t size,
                                      IDirect3DBaseTexture9** texture) {
    if (const HRESULT hr = CheckArguments(request, data, size, texture); FAILED(hr))
        return hr;
    *texture = nullptr;
    const D3DRESOURCETYPE type = request.resourceType;
    const Filters filters = ChooseFilters(request.filter, request.mipFilter, type);
    if (!IsValidFilter(filters.level) || (filters.mipFiltering && !IsValidFilter(filters.mip)))
        return D3DERR_INVALIDCALL;

    D3DXIMAGE_INFO localInfo{};
    D3DXIMAGE_INFO& info = request.info ? *request.info : localInfo;
    std::unique_ptr<DecodedImage> image;
    if (const HRESULT hr = DecodeImage(data, size, &info, true, &image); FAILED(hr))
        return hr;
    const std::vector<const DecodedImage*> faces = FacesOf(*image, type);
    if (type == D3DRTYPE_CUBETEXTURE && faces.size() != kCubeFaces)
        return E_FAIL;

    const SourceDescription source = DescribeSource(*image, request.colorKey, request.format);
    TextureShape shape{SizeFromImage(request.width, image->width),
                       SizeFromImage(request.height, image->height),
                       type == D3DRTYPE_VOLUMETEXTURE ? SizeFromImage(request.depth, image->depth) : 1,
                       request.mipLevels,
                       request.usage == D3DX_DEFAULT ? 0 : request.usage,
                       ChooseFormat(request, source)};
    if (type == D3DRTYPE_CUBETEXTURE)
        shape.height = shape.width;
    if (const HRESULT hr =
            CheckTextureRequirements(request.device, &shape.width, &shape.height,
                                     type == D3DRTYPE_VOLUMETEXTURE ? &shape.depth : nullptr, &shape.levels,
                                     shape.usage, &shape.format, request.pool, type);
        FAILED(hr))
        return hr;

    const DWORD creationUsage = shape.usage & kCreationUsageMask;
    ComReference<IDirect3DBaseTexture9> created;
    if (const HRESULT hr = CreateOfType(request.device, type, shape, creationUsage, request.pool, created);
        FAILED(hr))
        return hr;
    // Default-pool textures are filled through a system-memory copy.
    ComReference<IDirect3DBaseTexture9> staging;
    const bool staged = request.pool == D3DPOOL_DEFAULT && !(shape.usage & D3DUSAGE_DYNAMIC);
    if (staged) {
        if (const HRESULT hr = CreateOfType(request.device, type, shape, 0, D3DPOOL_SYSTEMMEM, staging);
            FAILED(hr))
            return hr;
    }
    const LevelLoad load{source, IsPaletteFormat(shape.format) ? source.palette.data() : nullptr,
                         filters.level};
    IDirect3DBaseTexture9* filled = staged ? staging.Get() : created.Get();
    if (const HRESULT hr = Fill(filled, faces, load, filters); FAILED(hr))
        return hr;
    if (staged) {
        if (const HRESULT hr = request.device->UpdateTexture(staging.Get(), created.Get()); FAILED(hr))
            return hr;
    }
    *texture = created.Detach();
    return S_OK;
}

// ---- D3DX entry points ----

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage,
                                            D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                            D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                            IDirect3DTexture9** texture) {
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    const TextureRequest request{device, width,  height,    1,        mipLevels, usage,   format,
                                 pool,   filter, mipFilter, colorKey, srcInfo,   palette, D3DRTYPE_TEXTURE};
    IDirect3DBaseTexture9* created = nullptr;
    const HRESULT hr = CreateTextureFromFileInMemory(request, srcData, srcDataSize, &created);
    *texture = static_cast<IDirect3DTexture9*>(created);
    return hr;
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData,
                                                UINT srcDataSize, UINT size, UINT mipLevels, DWORD usage,
                                                D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                                D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                                PALETTEENTRY* palette, IDirect3DCubeTexture9** cubeTexture) {
    if (!cubeTexture)
        return D3DERR_INVALIDCALL;
    *cubeTexture = nullptr;
    const TextureRequest request{
        device, size,   size,      1,        mipLevels, usage,   format,
        pool,   filter, mipFilter, colorKey, srcInfo,   palette, D3DRTYPE_CUBETEXTURE};
    IDirect3DBaseTexture9* created = nullptr;
    const HRESULT hr = CreateTextureFromFileInMemory(request, srcData, srcDataSize, &created);
    *cubeTexture = static_cast<IDirect3DCubeTexture9*>(created);
    return hr;
}

HRESULT D3DXCreateVolumeTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData,
                                                  UINT srcDataSize, UINT width, UINT height, UINT depth,
                                                  UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                                  DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                                  D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                                  IDirect3DVolumeTexture9** volumeTexture) {
    if (!volumeTexture)
        return D3DERR_INVALIDCALL;
    *volumeTexture = nullptr;
    const TextureRequest request{
        device, width,  height,    depth,    mipLevels, usage,   format,
        pool,   filter, mipFilter, colorKey, srcInfo,   palette, D3DRTYPE_VOLUMETEXTURE};
    IDirect3DBaseTexture9* created = nullptr;
    const HRESULT hr = CreateTextureFromFileInMemory(request, srcData, srcDataSize, &created);
    *volumeTexture = static_cast<IDirect3DVolumeTexture9*>(created);
    return hr;
}
