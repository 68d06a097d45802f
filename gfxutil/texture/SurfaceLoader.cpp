#include "gfxutil/texture/SurfaceLoader.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "gfxutil/texture/D3DX9Tex.h"
#include "gfxutil/texture/FormatTable.h"
#include "gfxutil/texture/ImageFilterBox.h"
#include "gfxutil/texture/ImageFilterResample.h"

namespace {

struct LoadFlags {
    DWORD type;
    bool mirrorU;
    bool mirrorV;
    bool mirrorW;
    bool dither;
    bool srgbIn;
    bool srgbOut;
    D3DCOLOR colorKey;
    bool allowFastPaths;

    // Whether a byte-for-byte fast path computes what the general path would.
    bool PlainBytes() const { return allowFastPaths && colorKey == 0 && !srgbIn && !srgbOut; }
};

LoadFlags ReadFlags(DWORD filter, D3DCOLOR colorKey, bool allowFastPaths) {
    return {filter & 0xFF,
            (filter & D3DX_FILTER_MIRROR_U) != 0,
            (filter & D3DX_FILTER_MIRROR_V) != 0,
            (filter & D3DX_FILTER_MIRROR_W) != 0,
            (filter & D3DX_FILTER_DITHER) != 0,
            (filter & D3DX_FILTER_SRGB_IN) != 0,
            (filter & D3DX_FILTER_SRGB_OUT) != 0,
            colorKey,
            allowFastPaths};
}

bool SameSize(const PixelSource& source, const PixelTarget& target) {
    return source.width == target.width && source.height == target.height && source.depth == target.depth;
}

bool SamePalette(const PALETTEENTRY* a, const PALETTEENTRY* b) {
    if (!a || !b)
        return a == b;
    return std::memcmp(a, b, 256 * sizeof(PALETTEENTRY)) == 0;
}

// ---- (1) Straight copy ----

struct RowLayout {
    std::size_t rowBytes;
    UINT rows;
    std::size_t offset; // of the block's first byte within its slice
};

std::optional<RowLayout> CopyLayout(const PixelSource& source) {
    const FormatDescriptor& d = DescribeFormat(source.format);
    if (IsBlockCompressed(source.format)) {
        if (source.left % 4 != 0 || source.top % 4 != 0)
            return std::nullopt;
        const std::size_t blockBytes = source.format == D3DFMT_DXT1 ? 8 : 16;
        return RowLayout{(source.width + 3) / 4 * blockBytes, (source.height + 3) / 4,
                         source.top / 4 * source.rowPitch + source.left / 4 * blockBytes};
    }
    const std::size_t pixelBytes = d.bitsPerPixel / 8;
    return RowLayout{source.width * pixelBytes, source.height,
                     source.top * source.rowPitch + source.left * pixelBytes};
}

bool TryCopy(const PixelTarget& target, const PixelSource& source, const LoadFlags& flags) {
    if (source.format != target.format || !SameSize(source, target) || !IsKnownFormat(source.format) ||
        flags.colorKey != 0 || flags.srgbIn != flags.srgbOut)
        return false;
    const FormatKind kind = DescribeFormat(source.format).kind;
    if (kind == FormatKind::Palette && !SamePalette(source.palette, target.palette))
        return false;
    const std::optional<RowLayout> layout = CopyLayout(source);
    if (!layout)
        return false;
    for (UINT z = 0; z < source.depth; ++z) {
        const BYTE* from = source.bits + (source.front + z) * source.slicePitch + layout->offset;
        BYTE* to = target.bits + z * target.slicePitch;
        for (UINT y = 0; y < layout->rows; ++y)
            std::memcpy(to + y * target.rowPitch, from + y * source.rowPitch, layout->rowBytes);
    }
    return true;
}

// ---- (2) and (3) Conversion without scaling ----

void ConvertBytes(const PixelTarget& target, const PixelSource& source, const ByteShuffle& shuffle,
                  UINT width, UINT height, UINT depth) {
    for (UINT z = 0; z < depth; ++z) {
        for (UINT y = 0; y < height; ++y) {
            const BYTE* from = source.bits + (source.front + z) * source.slicePitch +
                               (source.top + y) * source.rowPitch +
                               std::size_t{source.left} * shuffle.SourceBytes();
            shuffle.Apply(from, target.bits + z * target.slicePitch + y * target.rowPitch, width);
        }
    }
}

void Convert(SourceRows& source, TargetRows& target, const LoadFlags& flags, UINT width, UINT height,
             UINT depth) {
    const PixelSource& from = source.Block();
    const PixelTarget& to = target.Block();
    if (flags.PlainBytes()) {
        if (const std::optional<ByteShuffle> shuffle = ByteShuffle::Between(from.format, to.format)) {
            ConvertBytes(to, from, *shuffle, width, height, depth);
            return;
        }
    }
    std::vector<Color4> row(width);
    for (UINT z = 0; z < depth; ++z) {
        target.BeginSlice();
        for (UINT y = 0; y < height; ++y) {
            source.Read(0, y, z, width, row.data());
            target.Write(y, z, row.data(), width, false);
        }
    }
}

// ---- (4) Nearest sample ----

UINT NearestSource(UINT target, UINT sourceSize, UINT targetSize) {
    return static_cast<UINT>((2 * std::uint64_t{target} + 1) * sourceSize / (2 * std::uint64_t{targetSize}));
}

void PointFilter(SourceRows& source, TargetRows& target) {
    const PixelSource& from = source.Block();
    const PixelTarget& to = target.Block();
    std::vector<Color4> sourceRow(from.width);
    std::vector<Color4> row(to.width);
    for (UINT z = 0; z < to.depth; ++z) {
        target.BeginSlice();
        const UINT sz = NearestSource(z, from.depth, to.depth);
        for (UINT y = 0; y < to.height; ++y) {
            source.Read(0, NearestSource(y, from.height, to.height), sz, from.width, sourceRow.data());
            for (UINT x = 0; x < to.width; ++x)
                row[x] = sourceRow[NearestSource(x, from.width, to.width)];
            target.Write(y, z, row.data(), to.width, false);
        }
    }
}

// ---- (7) to (10) Separable filters ----

AxisWeights WeightsFor(DWORD type, UINT source, UINT target, bool mirror) {
    return type == D3DX_FILTER_LINEAR ? AxisWeights::Linear(source, target, mirror)
                                      : AxisWeights::Triangle(source, target, mirror);
}

void SeparableFilter(SourceRows& source, TargetRows& target, const LoadFlags& flags) {
    const PixelSource& from = source.Block();
    const PixelTarget& to = target.Block();
    const bool flat = from.depth == 1 && to.depth == 1;
    const AxisWeights alongX = WeightsFor(flags.type, from.width, to.width, flags.mirrorU);
    const AxisWeights alongY = WeightsFor(flags.type, from.height, to.height, flags.mirrorV);
    const AxisWeights alongZ =
        flat ? AxisWeights::Identity(1) : WeightsFor(flags.type, from.depth, to.depth, flags.mirrorW);
    Resample(source, target, alongX, alongY, alongZ);
}

HRESULT Filter(SourceRows& source, TargetRows& target, const LoadFlags& flags) {
    const PixelSource& from = source.Block();
    const PixelTarget& to = target.Block();
    switch (flags.type) {
    case D3DX_FILTER_NONE:
        Convert(source, target, flags, std::min(from.width, to.width), std::min(from.height, to.height),
                std::min(from.depth, to.depth));
        return S_OK;
    case D3DX_FILTER_POINT:
        PointFilter(source, target);
        return S_OK;
    case D3DX_FILTER_BOX:
        if (BoxFilterApplies2D(from, to)) {
            if (!(flags.PlainBytes() && !flags.dither && BoxFilter2DBytes(from, to)))
                BoxFilter2D(source, target);
            return S_OK;
        }
        if (BoxFilterApplies3D(from, to)) {
            BoxFilter3D(source, target);
            return S_OK;
        }
        return E_FAIL;
    case D3DX_FILTER_LINEAR:
    case D3DX_FILTER_TRIANGLE:
        SeparableFilter(source, target, flags);
        return S_OK;
    default:
        return E_FAIL;
    }
}

HRESULT CheckBlocks(const PixelTarget& target, const PixelSource& source) {
    if (!target.bits || !source.bits || target.width == 0 || target.height == 0 || target.depth == 0 ||
        source.width == 0 || source.height == 0 || source.depth == 0)
        return D3DERR_INVALIDCALL;
    return S_OK;
}

} // namespace

bool IsValidFilter(DWORD filter) {
    const DWORD type = filter & 0xFFFF;
    return type >= D3DX_FILTER_NONE && type <= D3DX_FILTER_BOX && filter < 0x800000;
}

DWORD ResolveLoadFilter(DWORD filter) {
    return filter == D3DX_DEFAULT ? (D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER) : filter;
}

HRESULT LoadPixels(const PixelTarget& target, const PixelSource& source, DWORD filter, D3DCOLOR colorKey,
                   bool allowFastPaths) {
    if (!IsValidFilter(filter))
        return D3DERR_INVALIDCALL;
    if (const HRESULT hr = CheckBlocks(target, source); FAILED(hr))
        return hr;
    const LoadFlags flags = ReadFlags(filter, colorKey, allowFastPaths);
    if (TryCopy(target, source, flags))
        return S_OK;
    std::unique_ptr<PixelReader> reader = PixelReader::Create(source.format, source.palette);
    std::unique_ptr<PixelWriter> writer =
        PixelWriter::Create(target.format, target.palette, flags.dither, target.width);
    if (!reader || !writer)
        return E_FAIL;
    SourceRows sourceRows(source, std::move(reader), colorKey, flags.srgbIn);
    TargetRows targetRows(target, std::move(writer), flags.srgbOut);
    if (SameSize(source, target)) {
        Convert(sourceRows, targetRows, flags, target.width, target.height, target.depth);
        return S_OK;
    }
    return Filter(sourceRows, targetRows, flags);
}

// ---- D3DX entry points ----

namespace {

bool IsValidRect(const RECT& r) {
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom;
}

bool IsValidBox(const D3DBOX& b) {
    return b.Left < b.Right && b.Top < b.Bottom && b.Front < b.Back;
}

} // namespace

HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface9* destSurface, const PALETTEENTRY* destPalette,
                                  const RECT* destRect, const void* srcMemory, D3DFORMAT srcFormat,
                                  UINT srcPitch, const PALETTEENTRY* srcPalette, const RECT* srcRect,
                                  DWORD filter, D3DCOLOR colorKey) {
    if (!destSurface || !srcMemory || !srcRect || !IsValidRect(*srcRect))
        return D3DERR_INVALIDCALL;
    filter = ResolveLoadFilter(filter);
    if (!IsValidFilter(filter))
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc;
    if (const HRESULT hr = destSurface->GetDesc(&desc); FAILED(hr))
        return hr;
    const RECT whole{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    const RECT area = destRect ? *destRect : whole;
    if (!IsValidRect(area) || static_cast<UINT>(area.right) > desc.Width ||
        static_cast<UINT>(area.bottom) > desc.Height)
        return D3DERR_INVALIDCALL;

    D3DLOCKED_RECT locked;
    if (const HRESULT hr = destSurface->LockRect(&locked, destRect, 0); FAILED(hr))
        return hr;
    PixelTarget target;
    target.bits = static_cast<BYTE*>(locked.pBits);
    target.rowPitch = static_cast<std::size_t>(locked.Pitch);
    target.format = desc.Format;
    target.palette = destPalette;
    target.width = static_cast<UINT>(area.right - area.left);
    target.height = static_cast<UINT>(area.bottom - area.top);
    target.slicePitch = target.rowPitch * target.height;

    PixelSource source;
    source.bits = static_cast<const BYTE*>(srcMemory);
    source.rowPitch = srcPitch;
    source.slicePitch = std::size_t{srcPitch} * static_cast<UINT>(srcRect->bottom);
    source.format = srcFormat;
    source.palette = srcPalette;
    source.left = static_cast<UINT>(srcRect->left);
    source.top = static_cast<UINT>(srcRect->top);
    source.width = static_cast<UINT>(srcRect->right - srcRect->left);
    source.height = static_cast<UINT>(srcRect->bottom - srcRect->top);

    const HRESULT hr = LoadPixels(target, source, filter, colorKey);
    destSurface->UnlockRect();
    return hr;
}

HRESULT D3DXLoadVolumeFromMemory(IDirect3DVolume9* destVolume, const PALETTEENTRY* destPalette,
                                 const D3DBOX* destBox, const void* srcMemory, D3DFORMAT srcFormat,
                                 UINT srcRowPitch, UINT srcSlicePitch, const PALETTEENTRY* srcPalette,
                                 const D3DBOX* srcBox, DWORD filter, D3DCOLOR colorKey) {
    if (!destVolume || !srcMemory || !srcBox || !IsValidBox(*srcBox))
        return D3DERR_INVALIDCALL;
    filter = ResolveLoadFilter(filter);
    if (!IsValidFilter(filter))
        return D3DERR_INVALIDCALL;
    D3DVOLUME_DESC desc;
    if (const HRESULT hr = destVolume->GetDesc(&desc); FAILED(hr))
        return hr;
    const D3DBOX whole{0, 0, desc.Width, desc.Height, 0, desc.Depth};
    const D3DBOX area = destBox ? *destBox : whole;
    if (!IsValidBox(area) || area.Right > desc.Width || area.Bottom > desc.Height || area.Back > desc.Depth)
        return D3DERR_INVALIDCALL;

    D3DLOCKED_BOX locked;
    if (const HRESULT hr = destVolume->LockBox(&locked, destBox, 0); FAILED(hr))
        return hr;
    PixelTarget target;
    target.bits = static_cast<BYTE*>(locked.pBits);
    target.rowPitch = static_cast<std::size_t>(locked.RowPitch);
    target.slicePitch = static_cast<std::size_t>(locked.SlicePitch);
    target.format = desc.Format;
    target.palette = destPalette;
    target.width = area.Right - area.Left;
    target.height = area.Bottom - area.Top;
    target.depth = area.Back - area.Front;

    PixelSource source;
    source.bits = static_cast<const BYTE*>(srcMemory);
    source.rowPitch = srcRowPitch;
    source.slicePitch = srcSlicePitch;
    source.format = srcFormat;
    source.palette = srcPalette;
    source.left = srcBox->Left;
    source.top = srcBox->Top;
    source.front = srcBox->Front;
    source.width = srcBox->Right - srcBox->Left;
    source.height = srcBox->Bottom - srcBox->Top;
    source.depth = srcBox->Back - srcBox->Front;

    const HRESULT hr = LoadPixels(target, source, filter, colorKey);
    destVolume->UnlockBox();
    return hr;
}
