#pragma once
// Shared by the image decoder fuzz targets: runs one decoder over the input (header only, then
// with pixels) and reads every pixel byte a texture would read, so the sanitizers see any row
// that points outside the input.

#include <cstddef>
#include <cstdint>
#include <new>

#include "gfxutil/image/ImageDecoder.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace fuzz {

inline bool IsBlockFormat(D3DFORMAT f) {
    return f == D3DFMT_DXT1 || f == D3DFMT_DXT2 || f == D3DFMT_DXT3 || f == D3DFMT_DXT4 || f == D3DFMT_DXT5;
}

// Bytes a consumer reads from each row: whole blocks for block-compressed formats.
inline std::size_t RowBytes(const DecodedImage& image) {
    const D3DFORMAT f = image.format;
    if (IsBlockFormat(f))
        return (std::size_t{image.width} + 3) / 4 * (f == D3DFMT_DXT1 ? std::size_t{8} : std::size_t{16});
    std::size_t bytesPerPixel = 4;
    if (f == D3DFMT_P8 || f == D3DFMT_L8 || f == D3DFMT_A8 || f == D3DFMT_R3G3B2 || f == D3DFMT_A4L4)
        bytesPerPixel = 1;
    else if (f == D3DFMT_R8G8B8)
        bytesPerPixel = 3;
    else if (f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5 || f == D3DFMT_A1R5G5B5 || f == D3DFMT_A4R4G4B4 ||
             f == D3DFMT_X4R4G4B4 || f == D3DFMT_A8R3G3B2 || f == D3DFMT_A8L8 || f == D3DFMT_L16 ||
             f == D3DFMT_R16F)
        bytesPerPixel = 2;
    else if (f == kFormatRGB16)
        bytesPerPixel = 6;
    else if (f == D3DFMT_A16B16G16R16 || f == D3DFMT_A16B16G16R16F || f == D3DFMT_G32R32F)
        bytesPerPixel = 8;
    else if (f == D3DFMT_A32B32G32R32F)
        bytesPerPixel = 16;
    return bytesPerPixel * image.width;
}

inline std::size_t RowCount(const DecodedImage& image) {
    return IsBlockFormat(image.format) ? (std::size_t{image.height} + 3) / 4 : image.height;
}

inline unsigned TouchLevel(const DecodedImage& image) {
    unsigned sum = 0;
    if (image.pixels == nullptr)
        return sum;
    const std::size_t rowBytes = RowBytes(image);
    for (UINT slice = 0; slice < image.depth; ++slice)
        for (std::size_t y = 0; y < RowCount(image); ++y)
            for (std::size_t x = 0; x < rowBytes; ++x)
                sum += image.Row(static_cast<UINT>(y), slice)[x];
    for (const PALETTEENTRY& entry : image.palette)
        sum += entry.peFlags;
    return sum;
}

inline unsigned TouchTree(const DecodedImage& image) {
    unsigned sum = 0;
    for (const DecodedImage* face = &image; face != nullptr; face = face->nextFace.get())
        for (const DecodedImage* level = face; level != nullptr; level = level->nextMip.get())
            sum += TouchLevel(*level);
    return sum;
}

using Decoder = HRESULT (*)(const BYTE*, std::size_t, DecodedImage&);

inline void Run(Decoder decode, const std::uint8_t* data, std::size_t size) {
    for (bool loadPixels : {false, true}) {
        DecodedImage image;
        image.loadPixels = loadPixels;
        try {
            if (SUCCEEDED(decode(data, size, image))) {
                volatile unsigned sink = TouchTree(image);
                (void)sink;
            }
        } catch (const std::bad_alloc&) {
        }
    }
}

} // namespace fuzz
