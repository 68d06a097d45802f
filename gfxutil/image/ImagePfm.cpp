// Portable float maps: "PF" (red, green, blue) or "Pf" (grey), 32-bit floats, rows bottom-up.

#include <bit>
#include <cmath>

#include "gfxutil/image/FloatImage.h"
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
    std::uint64_t sourceBytes = 0;
    if (!CheckedMul(header.width, header.height, 4ull * header.channels, &sourceBytes))
        return E_FAIL;
    std::uint64_t bytes = 0;
    if (!DescribeFloatImage(image, header.width, header.height, bytes))
        return E_FAIL;
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
            StoreFloatPixel(target, rgb);
        }
    }
    return S_OK;
}
