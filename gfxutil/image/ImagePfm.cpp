// Portable float maps: "PF" (red, green, blue) or "Pf" (grey), 32-bit floats, rows bottom-up.

#include <bit>
#include <cmath>

#include "gfxutil/image/ImageBytes.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

struct PfmHeader {
    UINT channels = 0;
    UINT width = 0;
    UINT height = 0;
    bool littleEndian = false; // a negative scale says so
};

bool ReadHeader(TextCursor& cursor, PfmHeader& header) {
    if (cursor.Match("PF"))
        header.channels = 3;
    else if (cursor.Match("Pf"))
        header.channels = 1;
    else
        return false;
    double scale = 0.0;
    cursor.SkipSpace(false);
    if (!cursor.Read(&header.width))
        return false;
    cursor.SkipSpace(false);
    if (!cursor.Read(&header.height))
        return false;
    cursor.SkipSpace(false);
    if (!cursor.Read(&scale) || !std::isfinite(scale) || scale == 0.0)
        return false;
    header.littleEndian = scale < 0.0;
    return header.width != 0 && header.height != 0 && cursor.SkipOneSpace();
}

float ReadSample(const BYTE* p, bool littleEndian) {
    return std::bit_cast<float>(littleEndian ? ReadLE32(p) : ReadBE32(p));
}

} // namespace

HRESULT DecodePfm(const BYTE* data, std::size_t size, DecodedImage& image) {
    TextCursor cursor(data, size);
    PfmHeader header;
    if (!ReadHeader(cursor, header))
        return E_FAIL;
    std::uint64_t bytes = 0;
    std::uint64_t sourceBytes = 0;
    if (!CheckedMul(header.width, header.height, 16, &bytes) || header.width > UINT32_MAX / 16 ||
        !CheckedMul(header.width, header.height, 4ull * header.channels, &sourceBytes))
        return E_FAIL;

    image.format = D3DFMT_A32B32G32R32F;
    image.width = header.width;
    image.height = header.height;
    image.depth = 1;
    image.rowPitch = header.width * 16;
    image.slicePitch = static_cast<UINT>(bytes);
    if (!image.loadPixels)
        return S_OK;

    if (sourceBytes > cursor.Remaining())
        return E_FAIL;
    BYTE* pixels = image.AllocatePixels(static_cast<std::size_t>(bytes));
    if (pixels == nullptr)
        return E_OUTOFMEMORY;
    const BYTE* source = data + cursor.Position();
    for (UINT y = 0; y < header.height; ++y) {
        BYTE* target = pixels + static_cast<std::size_t>(header.height - 1 - y) * image.rowPitch;
        for (UINT x = 0; x < header.width; ++x, target += 16) {
            float rgb[3];
            for (UINT c = 0; c < 3; ++c)
                rgb[c] = ReadSample(source + 4 * (c < header.channels ? c : 0), header.littleEndian);
            source += 4 * header.channels;
            StoreFloat(target, rgb[0]);
            StoreFloat(target + 4, rgb[1]);
            StoreFloat(target + 8, rgb[2]);
            StoreFloat(target + 12, 1.0f);
        }
    }
    return S_OK;
}
