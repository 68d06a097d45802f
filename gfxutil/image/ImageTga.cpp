// Truevision TGA files: colour-mapped, true-colour and grey images, plain or run-length coded.

#include <algorithm>
#include <vector>

#include "gfxutil/image/ImageBytes.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr BYTE kRunLengthBit = 0x08;
constexpr BYTE kRightToLeftBit = 0x10;
constexpr BYTE kTopDownBit = 0x20;

struct TgaHeader {
    BYTE idLength = 0;
    BYTE colorMapType = 0;
    BYTE imageType = 0;
    WORD mapFirst = 0;
    WORD mapLength = 0;
    BYTE mapBits = 0;
    WORD width = 0;
    WORD height = 0;
    BYTE pixelBits = 0;
    BYTE descriptor = 0;
};

struct TgaLayout {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::size_t mapStart = 0;
    std::size_t mapEntryBytes = 0;
    std::size_t pixelStart = 0;
    UINT bytesPerPixel = 0;
    UINT pitch = 0;
    bool runLength = false;
    bool rightToLeft = false;
    bool topDown = false;
};

TgaHeader ReadHeader(const BYTE* data) {
    TgaHeader header;
    header.idLength = data[0];
    header.colorMapType = data[1];
    header.imageType = data[2];
    header.mapFirst = ReadLE16(data + 3);
    header.mapLength = ReadLE16(data + 5);
    header.mapBits = data[7];
    header.width = ReadLE16(data + 12);
    header.height = ReadLE16(data + 14);
    header.pixelBits = data[16];
    header.descriptor = data[17];
    return header;
}

D3DFORMAT FormatForBits(BYTE bits) {
    switch (bits) {
    case 15:
        return D3DFMT_X1R5G5B5;
    case 16:
        return D3DFMT_A1R5G5B5;
    case 24:
        return D3DFMT_R8G8B8;
    case 32:
        return D3DFMT_A8R8G8B8;
    default:
        return D3DFMT_UNKNOWN;
    }
}

D3DFORMAT ImageFormat(const TgaHeader& header) {
    switch (header.imageType & 3) {
    case 1:
        return header.colorMapType == 1 && header.pixelBits == 8 ? D3DFMT_P8 : D3DFMT_UNKNOWN;
    case 2:
        return FormatForBits(header.pixelBits);
    case 3:
        return header.pixelBits == 8 ? D3DFMT_L8 : D3DFMT_UNKNOWN;
    default:
        return D3DFMT_UNKNOWN;
    }
}

bool PlanLayout(const TgaHeader& header, std::size_t size, TgaLayout& layout) {
    if (header.colorMapType > 1 || (header.imageType & ~0x0B) != 0 || header.width == 0 || header.height == 0)
        return false;
    if (header.colorMapType == 1 && FormatForBits(header.mapBits) == D3DFMT_UNKNOWN)
        return false;
    layout.format = ImageFormat(header);
    if (layout.format == D3DFMT_UNKNOWN)
        return false;

    layout.mapStart = kHeaderSize + header.idLength;
    if (layout.mapStart > size)
        return false;
    layout.mapEntryBytes = (header.mapBits + 7u) / 8;
    const std::size_t mapBytes = header.colorMapType == 1 ? layout.mapEntryBytes * header.mapLength : 0;
    if (mapBytes > size - layout.mapStart)
        return false;
    layout.pixelStart = layout.mapStart + mapBytes;

    layout.bytesPerPixel = (header.pixelBits + 7u) / 8;
    layout.pitch = layout.bytesPerPixel * header.width;
    layout.runLength = (header.imageType & kRunLengthBit) != 0;
    layout.rightToLeft = (header.descriptor & kRightToLeftBit) != 0;
    layout.topDown = (header.descriptor & kTopDownBit) != 0;
    return true;
}

PALETTEENTRY ReadMapEntry(const BYTE* entry, BYTE bits) {
    if (bits == 24)
        return PALETTEENTRY{entry[2], entry[1], entry[0], 255};
    if (bits == 32)
        return PALETTEENTRY{entry[2], entry[1], entry[0], entry[3]};
    const WORD value = ReadLE16(entry);
    auto expand = [](unsigned field) { return static_cast<BYTE>((field << 3) | (field >> 2)); };
    const BYTE alpha = bits == 15 ? 255 : static_cast<BYTE>((value >> 15) * 255);
    return PALETTEENTRY{expand((value >> 10) & 31), expand((value >> 5) & 31), expand(value & 31), alpha};
}

bool ReadPalette(const BYTE* data, const TgaHeader& header, const TgaLayout& layout, DecodedImage& image) {
    if (header.mapFirst + header.mapLength > 256)
        return false;
    image.palette.assign(256, PALETTEENTRY{255, 255, 255, 255});
    bool allTransparent = true;
    for (std::size_t i = 0; i < header.mapLength; ++i) {
        PALETTEENTRY& entry = image.palette[header.mapFirst + i];
        entry = ReadMapEntry(data + layout.mapStart + i * layout.mapEntryBytes, header.mapBits);
        allTransparent = allTransparent && entry.peFlags == 0;
    }
    // A map whose alpha is zero everywhere carries no alpha at all.
    if (allTransparent) {
        for (std::size_t i = 0; i < header.mapLength; ++i)
            image.palette[header.mapFirst + i].peFlags = 255;
    }
    return true;
}

// Pixels come in file order: rows bottom-up unless flagged, each row left to right unless flagged.
void PlaceRow(const BYTE* fileRow, UINT fileRowIndex, const TgaHeader& header, const TgaLayout& layout,
              BYTE* pixels) {
    const UINT row = layout.topDown ? fileRowIndex : header.height - 1u - fileRowIndex;
    BYTE* target = pixels + static_cast<std::size_t>(row) * layout.pitch;
    if (!layout.rightToLeft) {
        std::memcpy(target, fileRow, layout.pitch);
        return;
    }
    const UINT bpp = layout.bytesPerPixel;
    for (UINT x = 0; x < header.width; ++x)
        std::memcpy(target + (header.width - 1u - x) * bpp, fileRow + x * bpp, bpp);
}

// Run-length packets may run on from one row into the next.
bool DecodeRunLength(const BYTE* data, std::size_t size, const TgaHeader& header, const TgaLayout& layout,
                     BYTE* pixels) {
    std::vector<BYTE> fileRow(layout.pitch);
    const UINT bpp = layout.bytesPerPixel;
    std::size_t pos = layout.pixelStart;
    UINT remaining = 0;
    bool repeat = false;
    for (UINT y = 0; y < header.height; ++y) {
        for (UINT x = 0; x < header.width;) {
            if (remaining == 0) {
                if (pos >= size)
                    return false;
                remaining = (data[pos] & 0x7Fu) + 1;
                repeat = (data[pos] & 0x80) != 0;
                ++pos;
            }
            const UINT count = std::min(remaining, header.width - x);
            if (repeat) {
                if (size - pos < bpp)
                    return false;
                for (UINT i = 0; i < count; ++i)
                    std::memcpy(fileRow.data() + (x + i) * bpp, data + pos, bpp);
            } else {
                if ((size - pos) / bpp < count)
                    return false;
                std::memcpy(fileRow.data() + x * bpp, data + pos, count * bpp);
                pos += count * bpp;
            }
            x += count;
            remaining -= count;
            if (repeat && remaining == 0)
                pos += bpp;
        }
        PlaceRow(fileRow.data(), y, header, layout, pixels);
    }
    return true;
}

bool AllBytesZero(const DecodedImage& image, UINT bytesPerPixel, UINT byteIndex, BYTE mask) {
    for (UINT y = 0; y < image.height; ++y) {
        const BYTE* row = image.Row(y);
        for (UINT x = 0; x < image.width; ++x) {
            if ((row[x * bytesPerPixel + byteIndex] & mask) != 0)
                return false;
        }
    }
    return true;
}

// Writers that leave the alpha bits at zero mean "no alpha".
void DropUnusedAlpha(DecodedImage& image) {
    if (image.format == D3DFMT_A8R8G8B8 && AllBytesZero(image, 4, 3, 0xFF))
        image.format = D3DFMT_X8R8G8B8;
    else if (image.format == D3DFMT_A1R5G5B5 && AllBytesZero(image, 2, 1, 0x80))
        image.format = D3DFMT_X1R5G5B5;
}

HRESULT LoadPixels(const BYTE* data, std::size_t size, const TgaHeader& header, const TgaLayout& layout,
                   DecodedImage& image) {
    const std::size_t imageBytes = static_cast<std::size_t>(layout.pitch) * header.height;
    if (!layout.runLength && imageBytes > size - layout.pixelStart)
        return E_FAIL;
    if (!layout.runLength && layout.topDown && !layout.rightToLeft) {
        image.pixels = data + layout.pixelStart;
        return S_OK;
    }
    BYTE* pixels = image.AllocatePixels(imageBytes);
    if (pixels == nullptr)
        return E_OUTOFMEMORY;
    if (layout.runLength)
        return DecodeRunLength(data, size, header, layout, pixels) ? S_OK : E_FAIL;
    for (UINT y = 0; y < header.height; ++y)
        PlaceRow(data + layout.pixelStart + static_cast<std::size_t>(y) * layout.pitch, y, header, layout,
                 pixels);
    return S_OK;
}

} // namespace

HRESULT DecodeTga(const BYTE* data, std::size_t size, DecodedImage& image) {
    if (size < kHeaderSize)
        return E_FAIL;
    const TgaHeader header = ReadHeader(data);
    TgaLayout layout;
    if (!PlanLayout(header, size, layout))
        return E_FAIL;

    image.format = layout.format;
    image.width = header.width;
    image.height = header.height;
    image.depth = 1;
    image.rowPitch = layout.pitch;
    image.slicePitch = layout.pitch * header.height;
    if (!image.loadPixels)
        return S_OK;
    if (layout.format == D3DFMT_P8 && !ReadPalette(data, header, layout, image))
        return E_FAIL;
    const HRESULT hr = LoadPixels(data, size, header, layout, image);
    if (SUCCEEDED(hr))
        DropUnusedAlpha(image);
    return hr;
}
