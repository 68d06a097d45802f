// Portable pixmaps: "P3" with samples as decimal text and "P6" with samples as bytes.

#include "gfxutil/image/ImageBytes.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

constexpr UINT kMaxTextSample = 65535;
constexpr UINT kMaxByteSample = 255;

struct PpmHeader {
    bool textSamples = false;
    UINT width = 0;
    UINT height = 0;
    UINT maximum = 0;
};

bool ReadHeader(TextCursor& cursor, PpmHeader& header) {
    if (cursor.Match("P3"))
        header.textSamples = true;
    else if (!cursor.Match("P6"))
        return false;
    const UINT maximumAllowed = header.textSamples ? kMaxTextSample : kMaxByteSample;
    cursor.SkipSpace(true);
    if (!cursor.Read(&header.width))
        return false;
    cursor.SkipSpace(true);
    if (!cursor.Read(&header.height))
        return false;
    cursor.SkipSpace(true);
    if (!cursor.Read(&header.maximum))
        return false;
    return header.width != 0 && header.height != 0 && header.maximum != 0 && header.maximum <= maximumAllowed;
}

BYTE Scale(UINT sample, UINT maximum) {
    return static_cast<BYTE>((sample * 255u + maximum / 2) / maximum);
}

void StorePixel(BYTE* target, const UINT rgb[3], UINT maximum) {
    const DWORD pixel =
        0xFF000000u | (Scale(rgb[0], maximum) << 16) | (Scale(rgb[1], maximum) << 8) | Scale(rgb[2], maximum);
    std::memcpy(target, &pixel, 4);
}

bool ReadTextPixels(TextCursor& cursor, const PpmHeader& header, BYTE* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        UINT rgb[3];
        for (UINT& sample : rgb) {
            cursor.SkipSpace(true);
            if (!cursor.Read(&sample) || sample > header.maximum)
                return false;
        }
        StorePixel(pixels + 4 * i, rgb, header.maximum);
    }
    return true;
}

bool ReadBytePixels(const BYTE* samples, std::size_t available, const PpmHeader& header, BYTE* pixels,
                    std::size_t count) {
    if (available / 3 < count)
        return false;
    for (std::size_t i = 0; i < count; ++i, samples += 3) {
        const UINT rgb[3] = {samples[0], samples[1], samples[2]};
        for (UINT sample : rgb) {
            if (sample > header.maximum)
                return false;
        }
        StorePixel(pixels + 4 * i, rgb, header.maximum);
    }
    return true;
}

} // namespace

HRESULT DecodePpm(const BYTE* data, std::size_t size, DecodedImage& image) {
    TextCursor cursor(data, size);
    PpmHeader header;
    if (!ReadHeader(cursor, header) || !cursor.SkipOneSpace())
        return E_FAIL;

    std::uint64_t bytes = 0;
    if (!CheckedMul(header.width, header.height, 4, &bytes) || header.width > UINT32_MAX / 4)
        return E_FAIL;
    image.format = D3DFMT_X8R8G8B8;
    image.width = header.width;
    image.height = header.height;
    image.depth = 1;
    image.rowPitch = header.width * 4;
    image.slicePitch = static_cast<UINT>(bytes);
    if (!image.loadPixels)
        return S_OK;

    const std::size_t count = static_cast<std::size_t>(header.width) * header.height;
    // Every pixel takes at least three bytes of data; refuse before allocating for a short file.
    if (cursor.Remaining() / 3 < count)
        return E_FAIL;
    BYTE* pixels = image.AllocatePixels(static_cast<std::size_t>(bytes));
    if (pixels == nullptr)
        return E_OUTOFMEMORY;
    const bool read = header.textSamples ? ReadTextPixels(cursor, header, pixels, count)
                                         : ReadBytePixels(data + cursor.Position(), cursor.Remaining(),
                                                          header, pixels, count);
    return read ? S_OK : E_FAIL;
}
