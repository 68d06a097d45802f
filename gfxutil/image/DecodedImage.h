#pragma once
// An image decoded from a file: one mip level of one cube face (or the whole of a plain image),
// linked to its further levels and faces. Rows run top to bottom; the pixels either live in the
// image's own buffer or point straight into the file's data, which must then outlive the image.
// Readers take width x bytes-per-pixel bytes from each row (whole 4 x 4 blocks for DXT formats):
// when the pixels are the file's own, the padding of the last row may lie beyond the data.

#include <cstddef>
#include <memory>
#include <vector>

#include "gfxutil/image/ImageInfo.h"

// Intermediate formats that only the PNG decoder produces, for 16-bit samples: RGB (blue, green,
// red order, as in D3DFMT_R8G8B8) and luminance with alpha. Texture creation treats them as
// D3DFMT_R8G8B8 and D3DFMT_A8L8.
constexpr D3DFORMAT kFormatRGB16 = static_cast<D3DFORMAT>(D3DMakeFourCC(' ', 'R', '1', '6'));
constexpr D3DFORMAT kFormatAL16 = static_cast<D3DFORMAT>(D3DMakeFourCC('A', 'L', '1', '6'));

// The public format a private intermediate one stands for; other formats map to themselves.
constexpr D3DFORMAT PublicImageFormat(D3DFORMAT format) {
    if (format == kFormatRGB16)
        return D3DFMT_R8G8B8;
    if (format == kFormatAL16)
        return D3DFMT_A8L8;
    return format;
}

// Decoders refuse to allocate more than this for one image, so a small file that claims a huge
// size fails cleanly instead of exhausting memory.
#ifdef LUMIVOX_FUZZING
constexpr std::size_t kMaxDecodedImageBytes = std::size_t{8} << 20;
#else
constexpr std::size_t kMaxDecodedImageBytes = std::size_t{1} << 30;
#endif

struct DecodedImage {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    const BYTE* pixels = nullptr; // first row: ownedPixels or the file's data
    std::vector<BYTE> ownedPixels;
    std::vector<PALETTEENTRY> palette; // 256 entries for palette images, else empty

    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
    RECT sourceRect{};
    UINT front = 0;
    UINT back = 0;
    UINT rowPitch = 0;
    UINT slicePitch = 0;

    bool loadPixels = true; // false: decoders read the header only
    D3DRESOURCETYPE resourceType = D3DRTYPE_TEXTURE;
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;

    std::unique_ptr<DecodedImage> nextMip;
    std::unique_ptr<DecodedImage> nextFace;

    DecodedImage() = default;
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;

    bool PixelsOwned() const { return pixels != nullptr && pixels == ownedPixels.data(); }
    const PALETTEENTRY* Palette() const { return palette.empty() ? nullptr : palette.data(); }
    const BYTE* Row(UINT y, UINT slice = 0) const {
        return pixels + static_cast<std::size_t>(slice) * slicePitch + static_cast<std::size_t>(y) * rowPitch;
    }

    // Gives the image a zeroed buffer of `bytes` and points `pixels` at it. Returns null when
    // the size is beyond kMaxDecodedImageBytes; throws std::bad_alloc when memory runs out.
    BYTE* AllocatePixels(std::size_t bytes);
};
