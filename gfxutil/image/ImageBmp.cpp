// Windows bitmaps: the BMP file and the bitmap header with pixels (DIB) that it wraps.

#include <algorithm>
#include <bit>

#include "gfxutil/image/ImageBytes.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

constexpr DWORD kCompressionRgb = 0;
constexpr DWORD kCompressionRle8 = 1;
constexpr DWORD kCompressionRle4 = 2;
constexpr DWORD kCompressionBitFields = 3;

constexpr DWORD kCoreHeaderSize = 12;
constexpr DWORD kInfoHeaderSize = 40;
constexpr std::size_t kFileHeaderSize = 14;

struct DibHeader {
    DWORD headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD compression = 0;
    DWORD colorsUsed = 0;
    DWORD masks[4] = {}; // red, green, blue, alpha
};

struct BitFieldFormat {
    WORD bits;
    DWORD blue, green, red, alpha;
    D3DFORMAT format;
    std::size_t startOffset; // the table's one odd layout keeps its colour bytes one byte in
};

constexpr BitFieldFormat kBitFieldFormats[] = {
    {16, 0x3, 0x1C, 0xE0, 0xFF00, D3DFMT_A8R3G3B2, 0},
    {16, 0xF, 0xF0, 0xF00, 0xF000, D3DFMT_A4R4G4B4, 0},
    {16, 0xF, 0xF0, 0xF00, 0, D3DFMT_X4R4G4B4, 0},
    {16, 0x1F, 0x7E0, 0xF800, 0, D3DFMT_R5G6B5, 0},
    {16, 0x1F, 0x3E0, 0x7C00, 0, D3DFMT_X1R5G5B5, 0},
    {16, 0x1F, 0x3E0, 0x7C00, 0x8000, D3DFMT_A1R5G5B5, 0},
    {16, 0xFF, 0xFF, 0xFF, 0xFF00, D3DFMT_A8L8, 0},
    {16, 0xFFFF, 0xFFFF, 0xFFFF, 0, D3DFMT_L16, 0},
    {24, 0xFF, 0xFF00, 0xFF0000, 0, D3DFMT_R8G8B8, 0},
    {32, 0, 0xFFFF0000, 0xFFFF, 0, D3DFMT_G16R16, 0},
    {32, 0xFF, 0xFF00, 0xFF0000, 0, D3DFMT_X8R8G8B8, 0},
    {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, D3DFMT_A8R8G8B8, 0},
    {32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000, D3DFMT_A2R10G10B10, 0},
    {32, 0xFF00, 0xFF0000, 0xFF000000, 0, D3DFMT_X8R8G8B8, 1},
    {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, D3DFMT_A8B8G8R8, 0},
    {32, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_X8B8G8R8, 0},
    {32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000, D3DFMT_A2B10G10R10, 0},
};

// How the pixels are stored in the data and will be laid out in the image.
struct DibLayout {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    bool floatPixels = false; // bit fields without a matching format: converted to 4 floats
    UINT width = 0;
    UINT height = 0;
    bool topDown = false;
    std::size_t paletteStart = 0;
    std::size_t paletteEntrySize = 4;
    std::size_t pixelStart = 0;
    std::uint64_t sourceRowBytes = 0;
    std::uint64_t sourceStride = 0;
    std::uint64_t pitch = 0;
};

std::uint64_t RoundUpTo4(std::uint64_t n) {
    return (n + 3) & ~std::uint64_t{3};
}

bool ReadDibHeader(const BYTE* data, std::size_t size, DibHeader& header) {
    if (size < 4)
        return false;
    header.headerSize = ReadLE32(data);
    if (header.headerSize > size)
        return false;
    if (header.headerSize == kCoreHeaderSize) {
        header.width = ReadLE16(data + 4);
        header.height = ReadLE16(data + 6);
        header.planes = ReadLE16(data + 8);
        header.bitCount = ReadLE16(data + 10);
        return true;
    }
    if (header.headerSize < kInfoHeaderSize)
        return false;
    header.width = static_cast<LONG>(ReadLE32(data + 4));
    header.height = static_cast<LONG>(ReadLE32(data + 8));
    header.planes = ReadLE16(data + 12);
    header.bitCount = ReadLE16(data + 14);
    header.compression = ReadLE32(data + 16);
    header.colorsUsed = ReadLE32(data + 32);
    if (header.headerSize >= 52) {
        header.masks[0] = ReadLE32(data + 40);
        header.masks[1] = ReadLE32(data + 44);
        header.masks[2] = ReadLE32(data + 48);
    }
    if (header.headerSize >= 56)
        header.masks[3] = ReadLE32(data + 52);
    return true;
}

D3DFORMAT FormatForBitCount(WORD bitCount) {
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
        return D3DFMT_P8;
    case 16:
        return D3DFMT_X1R5G5B5;
    case 24:
        return D3DFMT_R8G8B8;
    case 32:
        return D3DFMT_X8R8G8B8;
    default:
        return D3DFMT_UNKNOWN;
    }
}

bool ChooseBitFieldFormat(const DibHeader& header, DibLayout& layout) {
    if (header.headerSize < 52)
        return false;
    if (header.bitCount != 16 && header.bitCount != 24 && header.bitCount != 32)
        return false;
    const DWORD red = header.masks[0], green = header.masks[1], blue = header.masks[2],
                alpha = header.masks[3];
    for (const BitFieldFormat& row : kBitFieldFormats) {
        if (row.bits == header.bitCount && row.blue == blue && row.green == green && row.red == red &&
            row.alpha == alpha) {
            layout.format = row.format;
            layout.pixelStart += row.startOffset;
            return true;
        }
    }
    layout.format = D3DFMT_A32B32G32R32F;
    layout.floatPixels = true;
    return true;
}

bool ChooseFormat(const DibHeader& header, DibLayout& layout) {
    switch (header.compression) {
    case kCompressionRgb:
        layout.format = FormatForBitCount(header.bitCount);
        return layout.format != D3DFMT_UNKNOWN;
    case kCompressionRle8:
        // Run-length codes address one palette index per byte (or nibble); other depths make no sense.
        layout.format = D3DFMT_P8;
        return header.bitCount == 8;
    case kCompressionRle4:
        layout.format = D3DFMT_P8;
        return header.bitCount == 4;
    case kCompressionBitFields:
        return ChooseBitFieldFormat(header, layout);
    default:
        return false;
    }
}

bool PlanLayout(const DibHeader& header, std::size_t size, DibLayout& layout) {
    if (header.planes != 1 || header.width <= 0 || header.height == 0 || header.height == INT32_MIN)
        return false;
    layout.width = static_cast<UINT>(header.width);
    layout.height = static_cast<UINT>(header.height < 0 ? -header.height : header.height);
    layout.topDown = header.height < 0;

    std::uint64_t colorsUsed = header.colorsUsed;
    if (header.bitCount <= 8 && colorsUsed == 0)
        colorsUsed = std::uint64_t{1} << header.bitCount;
    layout.paletteEntrySize = header.headerSize == kCoreHeaderSize ? 3 : 4;
    layout.paletteStart = header.headerSize;
    const std::uint64_t pixelStart = header.headerSize + colorsUsed * layout.paletteEntrySize;
    if (pixelStart > size)
        return false;
    layout.pixelStart = static_cast<std::size_t>(pixelStart);

    if (!ChooseFormat(header, layout))
        return false;

    const std::uint64_t width = layout.width;
    if (header.bitCount == 1)
        layout.sourceRowBytes = (width + 7) / 8;
    else if (header.bitCount == 4)
        layout.sourceRowBytes = (width + 1) / 2;
    else
        layout.sourceRowBytes = header.bitCount / 8 * width;
    layout.sourceStride = RoundUpTo4(layout.sourceRowBytes);

    std::uint64_t decodedRowBytes = layout.sourceRowBytes;
    if (header.bitCount < 8)
        decodedRowBytes = width;
    if (layout.floatPixels)
        decodedRowBytes = 16 * width;
    layout.pitch = RoundUpTo4(decodedRowBytes);
    if (layout.pitch > UINT32_MAX)
        return false;

    if (header.compression == kCompressionRgb || header.compression == kCompressionBitFields) {
        std::uint64_t rowsBefore = 0;
        if (!CheckedMul(layout.height - 1, layout.sourceStride, &rowsBefore))
            return false;
        if (rowsBefore > size || layout.sourceRowBytes > size - rowsBefore ||
            layout.pixelStart > size - rowsBefore - layout.sourceRowBytes)
            return false;
    }
    return true;
}

const BYTE* SourceRow(const BYTE* data, const DibLayout& layout, UINT fileRow) {
    return data + layout.pixelStart + fileRow * layout.sourceStride;
}

BYTE* ImageRowForFileRow(BYTE* pixels, const DibLayout& layout, std::uint64_t fileRow) {
    const std::uint64_t row = layout.topDown ? fileRow : layout.height - 1 - fileRow;
    return pixels + row * layout.pitch;
}

bool HasAnyFourthByte(const BYTE* data, const DibLayout& layout) {
    for (UINT y = 0; y < layout.height; ++y) {
        const BYTE* row = SourceRow(data, layout, y);
        for (UINT x = 0; x < layout.width; ++x) {
            if (row[4 * x + 3] != 0)
                return true;
        }
    }
    return false;
}

void ReadPalette(const BYTE* data, const DibHeader& header, const DibLayout& layout, DecodedImage& image) {
    image.palette.assign(256, PALETTEENTRY{255, 255, 255, 255});
    std::uint64_t colorsUsed = header.colorsUsed;
    if (colorsUsed == 0)
        colorsUsed = std::uint64_t{1} << header.bitCount;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(colorsUsed, 256));
    for (std::size_t i = 0; i < count; ++i) {
        const BYTE* entry = data + layout.paletteStart + i * layout.paletteEntrySize;
        image.palette[i] = PALETTEENTRY{entry[2], entry[1], entry[0], 255};
    }
}

void ExpandIndexRows(const BYTE* data, const DibLayout& layout, WORD bitCount, BYTE* pixels) {
    for (UINT y = 0; y < layout.height; ++y) {
        const BYTE* source = SourceRow(data, layout, y);
        BYTE* target = ImageRowForFileRow(pixels, layout, y);
        for (UINT x = 0; x < layout.width; ++x) {
            if (bitCount == 1)
                target[x] = (source[x / 8] >> (7 - x % 8)) & 1;
            else
                target[x] = (x % 2 == 0) ? source[x / 2] >> 4 : source[x / 2] & 0xF;
        }
    }
}

void CopyRows(const BYTE* data, const DibLayout& layout, BYTE* pixels) {
    for (UINT y = 0; y < layout.height; ++y)
        std::memcpy(ImageRowForFileRow(pixels, layout, y), SourceRow(data, layout, y), layout.sourceRowBytes);
}

float MaskedChannel(DWORD pixel, DWORD mask) {
    if (mask == 0)
        return 1.0f;
    const int shift = std::countr_zero(mask);
    const DWORD maximum = mask >> shift;
    return static_cast<float>((pixel >> shift) & maximum) / static_cast<float>(maximum);
}

void ConvertRowsToFloat(const BYTE* data, const DibHeader& header, const DibLayout& layout, BYTE* pixels) {
    const UINT bytesPerPixel = header.bitCount / 8;
    for (UINT y = 0; y < layout.height; ++y) {
        const BYTE* source = SourceRow(data, layout, y);
        BYTE* target = ImageRowForFileRow(pixels, layout, y);
        for (UINT x = 0; x < layout.width; ++x, source += bytesPerPixel, target += 16) {
            DWORD pixel = source[0] | (source[1] << 8);
            if (bytesPerPixel >= 3)
                pixel |= static_cast<DWORD>(source[2]) << 16;
            if (bytesPerPixel == 4)
                pixel |= static_cast<DWORD>(source[3]) << 24;
            for (int channel = 0; channel < 4; ++channel)
                StoreFloat(target + 4 * channel, MaskedChannel(pixel, header.masks[channel]));
        }
    }
}

// Run-length coded indices, 8 bits (one index per byte) or 4 bits (two per byte, high nibble first).
// Runs may reach into a row's padding (some encoders pad odd rows with one more index) but no further.
bool DecodeRunLength(const BYTE* data, std::size_t size, const DibLayout& layout, bool fourBit,
                     BYTE* pixels) {
    std::size_t pos = layout.pixelStart;
    std::uint64_t x = 0;
    std::uint64_t row = 0;
    const std::uint64_t width = layout.pitch;
    while (row < layout.height) {
        if (size - pos < 2)
            return false;
        const BYTE count = data[pos];
        const BYTE value = data[pos + 1];
        pos += 2;
        if (count != 0) {
            if (count > width - x)
                return false;
            BYTE* target = ImageRowForFileRow(pixels, layout, row) + x;
            for (UINT i = 0; i < count; ++i)
                target[i] = !fourBit ? value : (i % 2 == 0 ? value >> 4 : value & 0xF);
            x += count;
            continue;
        }
        if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (size - pos < 2)
                return false;
            x += data[pos];
            row += data[pos + 1];
            pos += 2;
            if (x > width)
                return false;
        } else {
            const std::size_t literalBytes = fourBit ? (value + 1u) / 2 : value;
            if (size - pos < literalBytes || value > width - x)
                return false;
            BYTE* target = ImageRowForFileRow(pixels, layout, row) + x;
            for (UINT i = 0; i < value; ++i)
                target[i] = !fourBit ? data[pos + i]
                                     : (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 0xF);
            x += value;
            pos += std::min(literalBytes + (literalBytes & 1), size - pos);
        }
    }
    return true;
}

HRESULT LoadPixels(const BYTE* data, std::size_t size, const DibHeader& header, const DibLayout& layout,
                   DecodedImage& image) {
    const bool uncompressed =
        header.compression == kCompressionRgb || header.compression == kCompressionBitFields;
    if (layout.topDown && uncompressed && header.bitCount >= 8 && !layout.floatPixels) {
        image.pixels = data + layout.pixelStart;
        return S_OK;
    }
    std::uint64_t bytes = 0;
    if (!CheckedMul(layout.pitch, layout.height, &bytes) || bytes > kMaxDecodedImageBytes)
        return E_OUTOFMEMORY;
    BYTE* pixels = image.AllocatePixels(static_cast<std::size_t>(bytes));
    if (pixels == nullptr)
        return E_OUTOFMEMORY;
    if (header.compression == kCompressionRle8 || header.compression == kCompressionRle4)
        return DecodeRunLength(data, size, layout, header.compression == kCompressionRle4, pixels) ? S_OK
                                                                                                   : E_FAIL;
    if (layout.floatPixels)
        ConvertRowsToFloat(data, header, layout, pixels);
    else if (header.bitCount < 8)
        ExpandIndexRows(data, layout, header.bitCount, pixels);
    else
        CopyRows(data, layout, pixels);
    return S_OK;
}

} // namespace

HRESULT DecodeDib(const BYTE* data, std::size_t size, DecodedImage& image) {
    DibHeader header;
    DibLayout layout;
    if (!ReadDibHeader(data, size, header) || !PlanLayout(header, size, layout))
        return E_FAIL;
    if (header.compression == kCompressionRgb && layout.format == D3DFMT_X8R8G8B8 &&
        HasAnyFourthByte(data, layout))
        layout.format = D3DFMT_A8R8G8B8;

    image.format = layout.format;
    image.width = layout.width;
    image.height = layout.height;
    image.depth = 1;
    image.rowPitch = static_cast<UINT>(layout.pitch);
    image.slicePitch = static_cast<UINT>(layout.pitch * layout.height);
    if (!image.loadPixels)
        return S_OK;
    if (layout.format == D3DFMT_P8)
        ReadPalette(data, header, layout, image);
    return LoadPixels(data, size, header, layout, image);
}

HRESULT DecodeBmp(const BYTE* data, std::size_t size, DecodedImage& image) {
    if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M' || ReadLE32(data + 2) > size)
        return E_FAIL;
    return DecodeDib(data + kFileHeaderSize, size - kFileHeaderSize, image);
}
