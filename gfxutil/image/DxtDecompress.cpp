#include "gfxutil/image/DxtDecompress.h"

#include <algorithm>
#include <cstring>

#include "gfxutil/image/ImageBytes.h"

namespace {

struct Rgb {
    DWORD r, g, b;
};

Rgb Expand565(WORD c) {
    const DWORD r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return Rgb{(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

DWORD Mix(DWORD a, DWORD b, DWORD weightA, DWORD weightB, DWORD divisor) {
    return (a * weightA + b * weightB) / divisor;
}

Rgb MixRgb(Rgb a, Rgb b, DWORD weightA, DWORD weightB, DWORD divisor) {
    return Rgb{Mix(a.r, b.r, weightA, weightB, divisor), Mix(a.g, b.g, weightA, weightB, divisor),
               Mix(a.b, b.b, weightA, weightB, divisor)};
}

DWORD Pack(Rgb c, DWORD alpha) {
    return (alpha << 24) | (c.r << 16) | (c.g << 8) | c.b;
}

// The colour half of a block. DXT1 blocks whose first colour is not above the second have three
// colours and transparent black; the other formats always have four colours.
void DecodeColours(const BYTE* block, bool allowTransparent, DWORD pixels[16]) {
    const WORD c0 = ReadLE16(block), c1 = ReadLE16(block + 2);
    const Rgb a = Expand565(c0), b = Expand565(c1);
    DWORD palette[4];
    palette[0] = Pack(a, 255);
    palette[1] = Pack(b, 255);
    if (c0 > c1 || !allowTransparent) {
        palette[2] = Pack(MixRgb(a, b, 2, 1, 3), 255);
        palette[3] = Pack(MixRgb(a, b, 1, 2, 3), 255);
    } else {
        palette[2] = Pack(MixRgb(a, b, 1, 1, 2), 255);
        palette[3] = 0;
    }
    const DWORD indices = ReadLE32(block + 4);
    for (int i = 0; i < 16; ++i)
        pixels[i] = palette[(indices >> (2 * i)) & 3];
}

void SetAlpha(DWORD& pixel, DWORD alpha) {
    pixel = (pixel & 0x00FFFFFF) | (alpha << 24);
}

void DecodeExplicitAlpha(const BYTE* block, DWORD pixels[16]) {
    for (int i = 0; i < 16; ++i) {
        const DWORD nibble = (block[i / 2] >> (4 * (i % 2))) & 0xF;
        SetAlpha(pixels[i], nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const BYTE* block, DWORD pixels[16]) {
    const DWORD a0 = block[0], a1 = block[1];
    DWORD alphas[8] = {a0, a1};
    if (a0 > a1) {
        for (DWORD i = 1; i < 7; ++i)
            alphas[i + 1] = Mix(a0, a1, 7 - i, i, 7);
    } else {
        for (DWORD i = 1; i < 5; ++i)
            alphas[i + 1] = Mix(a0, a1, 5 - i, i, 5);
        alphas[6] = 0;
        alphas[7] = 255;
    }
    std::uint64_t indices = 0;
    for (int i = 0; i < 6; ++i)
        indices |= std::uint64_t{block[2 + i]} << (8 * i);
    for (int i = 0; i < 16; ++i)
        SetAlpha(pixels[i], alphas[(indices >> (3 * i)) & 7]);
}

} // namespace

bool IsDxtFormat(D3DFORMAT format) {
    return DxtBlockBytes(format) != 0;
}

UINT DxtBlockBytes(D3DFORMAT format) {
    if (format == D3DFMT_DXT1)
        return 8;
    if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 || format == D3DFMT_DXT5)
        return 16;
    return 0;
}

void DecodeDxtBlock(D3DFORMAT format, const BYTE* block, DWORD pixels[16]) {
    if (format == D3DFMT_DXT1) {
        DecodeColours(block, true, pixels);
        return;
    }
    DecodeColours(block + 8, false, pixels);
    if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3)
        DecodeExplicitAlpha(block, pixels);
    else
        DecodeInterpolatedAlpha(block, pixels);
}

HRESULT DecompressDxt(D3DFORMAT format, const BYTE* source, UINT sourcePitch, UINT width, UINT height,
                      BYTE* target, UINT targetPitch) {
    const UINT blockBytes = DxtBlockBytes(format);
    const std::uint64_t blocksAcross = (std::uint64_t{width} + 3) / 4;
    if (blockBytes == 0 || sourcePitch < blocksAcross * blockBytes || targetPitch < std::uint64_t{width} * 4)
        return E_INVALIDARG;
    DWORD pixels[16];
    const std::uint64_t blocksDown = (std::uint64_t{height} + 3) / 4;
    for (UINT blockY = 0; blockY < blocksDown; ++blockY) {
        const BYTE* block = source + static_cast<std::size_t>(blockY) * sourcePitch;
        for (UINT blockX = 0; blockX < blocksAcross; ++blockX, block += blockBytes) {
            DecodeDxtBlock(format, block, pixels);
            const UINT columns = std::min(4u, width - 4 * blockX);
            const UINT rows = std::min(4u, height - 4 * blockY);
            for (UINT row = 0; row < rows; ++row) {
                BYTE* out = target + static_cast<std::size_t>(4 * blockY + row) * targetPitch + 16 * blockX;
                std::memcpy(out, pixels + 4 * row, 4 * columns);
            }
        }
    }
    return S_OK;
}
