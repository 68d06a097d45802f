#pragma once
// What the float decoders (Radiance, portable float maps) share: the layout of their pictures,
// four 32-bit floats per pixel, and the storing of one pixel.

#include <cstdint>

#include "gfxutil/image/DecodedImage.h"
#include "gfxutil/image/ImageBytes.h"

// Describes a width x height A32B32G32R32F picture in `image` and gives its size in `bytes`.
// False when the size does not fit.
inline bool DescribeFloatImage(DecodedImage& image, UINT width, UINT height, std::uint64_t& bytes) {
    if (!CheckedMul(width, height, 16, &bytes) || width > UINT32_MAX / 16)
        return false;
    image.format = D3DFMT_A32B32G32R32F;
    image.width = width;
    image.height = height;
    image.depth = 1;
    image.rowPitch = width * 16;
    image.slicePitch = static_cast<UINT>(bytes);
    return true;
}

// Red, green and blue, then an opaque alpha.
inline void StoreFloatPixel(BYTE* pixel, const float rgb[3]) {
    StoreFloat(pixel, rgb[0]);
    StoreFloat(pixel + 4, rgb[1]);
    StoreFloat(pixel + 8, rgb[2]);
    StoreFloat(pixel + 12, 1.0f);
}
