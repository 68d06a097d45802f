// DirectDraw surface files: plain textures, mip chains, cube maps and volumes in their stored
// format, block-compressed ones included. Every surface is used in place.

#include <algorithm>

#include "gfxutil/image/ImageBytes.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

constexpr DWORD kMagic = D3DMakeFourCC('D', 'D', 'S', ' ');
constexpr std::size_t kHeaderSize = 124;
constexpr std::size_t kPixelFormatSize = 32;

constexpr DWORD kFlagMipMapCount = 0x20000;
constexpr DWORD kFlagDepth = 0x800000;

constexpr DWORD kPixelAlphaPixels = 0x1;
constexpr DWORD kPixelAlpha = 0x2;
constexpr DWORD kPixelFourCC = 0x4;
constexpr DWORD kPixelRgb = 0x40;
constexpr DWORD kPixelLuminance = 0x20000;

constexpr DWORD kCapsCubeMap = 0x200;
constexpr DWORD kCapsVolume = 0x200000;
constexpr DWORD kCubeFaceBits[6] = {0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x8000};

struct DdsPixelFormat {
    DWORD flags, fourCC, bitCount, red, green, blue, alpha;
};

struct MaskFormat {
    DWORD flags; // kPixelRgb, kPixelLuminance or kPixelAlpha
    DWORD bitCount, red, green, blue, alpha;
    D3DFORMAT format;
};

constexpr MaskFormat kMaskFormats[] = {
    {kPixelRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_R8G8B8},
    {kPixelRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, D3DFMT_A8R8G8B8},
    {kPixelRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_X8R8G8B8},
    {kPixelRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, D3DFMT_A8B8G8R8},
    {kPixelRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0, D3DFMT_X8B8G8R8},
    {kPixelRgb, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000, D3DFMT_A2B10G10R10},
    {kPixelRgb, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000, D3DFMT_A2R10G10B10},
    {kPixelRgb, 32, 0xFFFF, 0xFFFF0000, 0, 0, D3DFMT_G16R16},
    {kPixelRgb, 16, 0xF800, 0x7E0, 0x1F, 0, D3DFMT_R5G6B5},
    {kPixelRgb, 16, 0x7C00, 0x3E0, 0x1F, 0, D3DFMT_X1R5G5B5},
    {kPixelRgb, 16, 0x7C00, 0x3E0, 0x1F, 0x8000, D3DFMT_A1R5G5B5},
    {kPixelRgb, 16, 0xF00, 0xF0, 0xF, 0xF000, D3DFMT_A4R4G4B4},
    {kPixelRgb, 16, 0xF00, 0xF0, 0xF, 0, D3DFMT_X4R4G4B4},
    {kPixelRgb, 16, 0xE0, 0x1C, 0x3, 0xFF00, D3DFMT_A8R3G3B2},
    {kPixelRgb, 8, 0xE0, 0x1C, 0x3, 0, D3DFMT_R3G3B2},
    {kPixelLuminance, 8, 0xFF, 0, 0, 0, D3DFMT_L8},
    {kPixelLuminance, 16, 0xFF, 0, 0, 0xFF00, D3DFMT_A8L8},
    {kPixelLuminance, 8, 0xF, 0, 0, 0xF0, D3DFMT_A4L4},
    {kPixelLuminance, 16, 0xFFFF, 0, 0, 0, D3DFMT_L16},
    {kPixelAlpha, 8, 0, 0, 0, 0xFF, D3DFMT_A8},
};

// Formats stored by their number in the FourCC field, with their bits per pixel.
struct NumberedFormat {
    D3DFORMAT format;
    UINT bitsPerPixel;
};

constexpr NumberedFormat kNumberedFormats[] = {
    {D3DFMT_A16B16G16R16, 64}, {D3DFMT_R16F, 16},    {D3DFMT_G16R16F, 32},        {D3DFMT_A16B16G16R16F, 64},
    {D3DFMT_R32F, 32},         {D3DFMT_G32R32F, 64}, {D3DFMT_A32B32G32R32F, 128},
};

bool IsBlockCompressed(DWORD fourCC) {
    return fourCC == D3DFMT_DXT1 || fourCC == D3DFMT_DXT2 || fourCC == D3DFMT_DXT3 || fourCC == D3DFMT_DXT4 ||
           fourCC == D3DFMT_DXT5;
}

struct SurfaceFormat {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT bitsPerPixel = 0; // for uncompressed formats
    UINT blockBytes = 0;   // for block-compressed formats
};

bool ChooseFormat(const DdsPixelFormat& pf, SurfaceFormat& surface) {
    if ((pf.flags & kPixelFourCC) != 0) {
        if (IsBlockCompressed(pf.fourCC)) {
            surface.format = static_cast<D3DFORMAT>(pf.fourCC);
            surface.blockBytes = pf.fourCC == D3DFMT_DXT1 ? 8 : 16;
            return true;
        }
        for (const NumberedFormat& row : kNumberedFormats) {
            if (static_cast<DWORD>(row.format) == pf.fourCC) {
                surface.format = row.format;
                surface.bitsPerPixel = row.bitsPerPixel;
                return true;
            }
        }
        return false;
    }
    const DWORD kind = pf.flags & (kPixelRgb | kPixelLuminance | kPixelAlpha);
    const DWORD alpha = (pf.flags & (kPixelAlphaPixels | kPixelAlpha)) != 0 ? pf.alpha : 0;
    for (const MaskFormat& row : kMaskFormats) {
        if (row.flags == kind && row.bitCount == pf.bitCount && row.red == pf.red && row.green == pf.green &&
            row.blue == pf.blue && row.alpha == alpha) {
            surface.format = row.format;
            surface.bitsPerPixel = row.bitCount;
            return true;
        }
    }
    return false;
}

// Sizes of one surface of one mip level; false when they do not fit in 64 bits.
struct SurfaceSize {
    std::uint64_t rowPitch, slicePitch, bytes;
};

bool SizeOfLevel(const SurfaceFormat& format, UINT width, UINT height, UINT depth, SurfaceSize& size) {
    std::uint64_t rows = height;
    if (format.blockBytes != 0) {
        size.rowPitch = (std::uint64_t{width} + 3) / 4 * format.blockBytes;
        rows = (std::uint64_t{height} + 3) / 4;
    } else {
        size.rowPitch = (std::uint64_t{width} * format.bitsPerPixel + 7) / 8;
    }
    return CheckedMul(size.rowPitch, rows, &size.slicePitch) &&
           CheckedMul(size.slicePitch, depth, &size.bytes);
}

UINT HalfOf(UINT n) {
    return std::max(1u, n / 2);
}

UINT FullChainLength(UINT width, UINT height, UINT depth) {
    UINT levels = 1;
    for (UINT largest = std::max({width, height, depth}); largest > 1; largest /= 2)
        ++levels;
    return levels;
}

// Reads one face's chain of levels from `pos` onward; fills `first` and its linked levels.
bool ReadMipChain(const BYTE* data, std::size_t size, std::size_t& pos, const SurfaceFormat& format,
                  UINT width, UINT height, UINT depth, UINT levels, DecodedImage& first) {
    DecodedImage* level = &first;
    for (UINT i = 0; i < levels; ++i) {
        SurfaceSize surface{};
        if (!SizeOfLevel(format, width, height, depth, surface) || surface.bytes > size - pos ||
            surface.slicePitch > UINT32_MAX)
            return false;
        if (i > 0) {
            level->nextMip = std::make_unique<DecodedImage>();
            level = level->nextMip.get();
            level->loadPixels = first.loadPixels;
            level->fileFormat = first.fileFormat;
        }
        level->format = format.format;
        level->resourceType = first.resourceType;
        level->width = width;
        level->height = height;
        level->depth = depth;
        level->rowPitch = static_cast<UINT>(surface.rowPitch);
        level->slicePitch = static_cast<UINT>(surface.slicePitch);
        if (first.loadPixels)
            level->pixels = data + pos;
        pos += static_cast<std::size_t>(surface.bytes);
        width = HalfOf(width);
        height = HalfOf(height);
        depth = HalfOf(depth);
    }
    return true;
}

} // namespace

HRESULT DecodeDds(const BYTE* data, std::size_t size, DecodedImage& image) {
    if (size < 4 + kHeaderSize || ReadLE32(data) != kMagic)
        return E_FAIL;
    const BYTE* header = data + 4;
    if (ReadLE32(header) != kHeaderSize || ReadLE32(header + 72) != kPixelFormatSize)
        return E_FAIL;
    const DWORD flags = ReadLE32(header + 4);
    const UINT height = ReadLE32(header + 8);
    const UINT width = ReadLE32(header + 12);
    const DWORD caps2 = ReadLE32(header + 108);
    const DdsPixelFormat pf{ReadLE32(header + 76), ReadLE32(header + 80), ReadLE32(header + 84),
                            ReadLE32(header + 88), ReadLE32(header + 92), ReadLE32(header + 96),
                            ReadLE32(header + 100)};
    SurfaceFormat format;
    if (width == 0 || height == 0 || !ChooseFormat(pf, format))
        return E_FAIL;

    const bool volume = (caps2 & kCapsVolume) != 0 && (flags & kFlagDepth) != 0;
    const bool cube = (caps2 & kCapsCubeMap) != 0;
    if (volume && cube)
        return E_FAIL;
    const UINT depth = volume ? std::max<UINT>(1, ReadLE32(header + 20)) : 1;
    const DWORD storedLevels = (flags & kFlagMipMapCount) != 0 ? ReadLE32(header + 24) : 1;
    const UINT levels = std::clamp<UINT>(storedLevels, 1, FullChainLength(width, height, depth));

    image.resourceType = volume ? D3DRTYPE_VOLUMETEXTURE : cube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE;
    std::size_t pos = 4 + kHeaderSize;
    if (!cube)
        return ReadMipChain(data, size, pos, format, width, height, depth, levels, image) ? S_OK : E_FAIL;

    DecodedImage* face = nullptr;
    for (DWORD faceBit : kCubeFaceBits) {
        if ((caps2 & faceBit) == 0)
            continue;
        if (face == nullptr) {
            face = &image;
        } else {
            face->nextFace = std::make_unique<DecodedImage>();
            face->nextFace->loadPixels = image.loadPixels;
            face->nextFace->fileFormat = image.fileFormat;
            face->nextFace->resourceType = image.resourceType;
            face = face->nextFace.get();
        }
        if (!ReadMipChain(data, size, pos, format, width, height, 1, levels, *face))
            return E_FAIL;
    }
    return face != nullptr ? S_OK : E_FAIL;
}
