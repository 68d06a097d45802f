// ZSoft PCX files, the skin format of Quake 2: 8-bit paletted (palette at the end of the file),
// 24- and 32-bit as three or four colour planes, and the old 1-bit and 4-bit planar layouts with
// the 16-colour map of the header. Rows are run-length coded (or stored plainly).

#include <algorithm>
#include <vector>

#include "gfxutil/image/ImageBytes.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr BYTE kManufacturer = 0x0A;
constexpr std::size_t kHeaderMapStart = 16;
constexpr std::size_t kEndPaletteBytes = 1 + 256 * 3; // marker 0x0C, then 256 RGB entries
constexpr BYTE kEndPaletteMarker = 0x0C;
constexpr UINT kMaxSide = 8192;
constexpr std::size_t kLongestRun = 63;

struct PcxHeader {
    BYTE version = 0;
    BYTE encoding = 0;
    BYTE bitsPerPixel = 0;
    UINT width = 0;
    UINT height = 0;
    BYTE planes = 0;
    UINT bytesPerLine = 0;
};

enum class PcxLayout { Paletted8, TrueColour, Planar };

PcxHeader ReadHeader(const BYTE* data) {
    PcxHeader header;
    header.version = data[1];
    header.encoding = data[2];
    header.bitsPerPixel = data[3];
    const int xMin = ReadLE16(data + 4);
    const int yMin = ReadLE16(data + 6);
    const int xMax = ReadLE16(data + 8);
    const int yMax = ReadLE16(data + 10);
    header.width = xMax >= xMin ? static_cast<UINT>(xMax - xMin + 1) : 0;
    header.height = yMax >= yMin ? static_cast<UINT>(yMax - yMin + 1) : 0;
    header.planes = data[65];
    header.bytesPerLine = ReadLE16(data + 66);
    return header;
}

bool KnownLayout(const PcxHeader& header, PcxLayout& layout) {
    const BYTE bits = header.bitsPerPixel;
    const BYTE planes = header.planes;
    if (bits == 8 && planes == 1)
        layout = PcxLayout::Paletted8;
    else if (bits == 8 && (planes == 3 || planes == 4))
        layout = PcxLayout::TrueColour;
    else if ((bits == 1 && planes >= 1 && planes <= 4) || (bits == 4 && planes == 1))
        layout = PcxLayout::Planar;
    else
        return false;
    return true;
}

bool HeaderFits(const PcxHeader& header) {
    const bool knownVersion = header.version == 0 || (header.version >= 2 && header.version <= 5);
    const UINT neededBytes = (header.width * header.bitsPerPixel + 7) / 8;
    return knownVersion && header.encoding <= 1 && header.width >= 1 && header.height >= 1 &&
           header.width <= kMaxSide && header.height <= kMaxSide && header.bytesPerLine >= neededBytes;
}

D3DFORMAT FormatFor(const PcxHeader& header, PcxLayout layout) {
    if (layout != PcxLayout::TrueColour)
        return D3DFMT_P8;
    return header.planes == 4 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

// Where the coded rows end: before the 256-colour palette of an 8-bit image, else at the end.
bool CodedEnd(const BYTE* data, std::size_t size, PcxLayout layout, std::size_t& end) {
    end = size;
    if (layout != PcxLayout::Paletted8)
        return true;
    if (size < kHeaderSize + kEndPaletteBytes || data[size - kEndPaletteBytes] != kEndPaletteMarker)
        return false;
    end = size - kEndPaletteBytes;
    return true;
}

void ReadEndPalette(const BYTE* data, std::size_t size, DecodedImage& image) {
    const BYTE* entry = data + size - kEndPaletteBytes + 1;
    image.palette.resize(256);
    for (PALETTEENTRY& colour : image.palette) {
        colour = PALETTEENTRY{entry[0], entry[1], entry[2], 255};
        entry += 3;
    }
}

// The 16-colour map of the header. A single 1-bit plane is black and white.
void ReadHeaderPalette(const BYTE* data, const PcxHeader& header, DecodedImage& image) {
    image.palette.assign(256, PALETTEENTRY{255, 255, 255, 255});
    if (header.bitsPerPixel == 1 && header.planes == 1) {
        image.palette[0] = PALETTEENTRY{0, 0, 0, 255};
        return;
    }
    for (std::size_t i = 0; i < 16; ++i) {
        const BYTE* entry = data + kHeaderMapStart + 3 * i;
        image.palette[i] = PALETTEENTRY{entry[0], entry[1], entry[2], 255};
    }
}

// Reads the coded bytes of one file row (every plane of it). Runs may carry on into the next row.
class RowReader {
public:
    RowReader(const BYTE* data, std::size_t end, bool runLength)
        : data_(data), end_(end), runLength_(runLength) {}

    bool Read(BYTE* row, std::size_t length) {
        for (std::size_t x = 0; x < length;) {
            if (pending_ == 0 && !NextPacket())
                return false;
            const std::size_t count = std::min(pending_, length - x);
            std::fill_n(row + x, count, value_);
            x += count;
            pending_ -= count;
        }
        return true;
    }

private:
    bool NextPacket() {
        if (pos_ >= end_)
            return false;
        const BYTE c = data_[pos_++];
        if (!runLength_ || (c & 0xC0) != 0xC0) {
            value_ = c;
            pending_ = 1;
            return true;
        }
        if (pos_ >= end_)
            return false;
        value_ = data_[pos_++];
        pending_ = c & 0x3Fu;
        return true;
    }

    const BYTE* data_;
    std::size_t end_;
    bool runLength_;
    std::size_t pos_ = kHeaderSize;
    std::size_t pending_ = 0;
    BYTE value_ = 0;
};

void PlaceTrueColourRow(const BYTE* fileRow, const PcxHeader& header, BYTE* target) {
    const UINT plane = header.bytesPerLine;
    for (UINT x = 0; x < header.width; ++x) {
        BYTE* pixel = target + 4 * x;
        pixel[0] = fileRow[2 * plane + x];
        pixel[1] = fileRow[plane + x];
        pixel[2] = fileRow[x];
        pixel[3] = header.planes == 4 ? fileRow[3 * plane + x] : 255;
    }
}

// 1-bit planes give one bit of the index each, plane 0 the lowest; 4-bit pixels are packed,
// high nibble first.
void PlacePlanarRow(const BYTE* fileRow, const PcxHeader& header, BYTE* target) {
    for (UINT x = 0; x < header.width; ++x) {
        if (header.bitsPerPixel == 4) {
            const BYTE packed = fileRow[x / 2];
            target[x] = static_cast<BYTE>(x % 2 == 0 ? packed >> 4 : packed & 0x0F);
            continue;
        }
        BYTE index = 0;
        for (UINT p = 0; p < header.planes; ++p) {
            const BYTE bit = (fileRow[p * header.bytesPerLine + x / 8] >> (7 - x % 8)) & 1;
            index = static_cast<BYTE>(index | (bit << p));
        }
        target[x] = index;
    }
}

HRESULT LoadPixels(const BYTE* data, std::size_t codedEnd, const PcxHeader& header, PcxLayout layout,
                   DecodedImage& image) {
    const std::size_t rowBytes = static_cast<std::size_t>(header.planes) * header.bytesPerLine;
    const std::size_t codedBytes = codedEnd - kHeaderSize;
    // Each coded byte yields at most one run: refuse a file too short for the rows it claims.
    const std::size_t mostDecoded =
        header.encoding == 1 ? codedBytes / 2 * kLongestRun + codedBytes % 2 : codedBytes;
    if (mostDecoded / rowBytes < header.height)
        return E_FAIL;
    BYTE* pixels = image.AllocatePixels(static_cast<std::size_t>(image.rowPitch) * header.height);
    if (pixels == nullptr)
        return E_OUTOFMEMORY;

    std::vector<BYTE> fileRow(rowBytes);
    RowReader reader(data, codedEnd, header.encoding == 1);
    for (UINT y = 0; y < header.height; ++y) {
        if (!reader.Read(fileRow.data(), rowBytes))
            return E_FAIL;
        BYTE* target = pixels + static_cast<std::size_t>(y) * image.rowPitch;
        if (layout == PcxLayout::Paletted8)
            std::memcpy(target, fileRow.data(), header.width);
        else if (layout == PcxLayout::TrueColour)
            PlaceTrueColourRow(fileRow.data(), header, target);
        else
            PlacePlanarRow(fileRow.data(), header, target);
    }
    return S_OK;
}

} // namespace

HRESULT DecodePcx(const BYTE* data, std::size_t size, DecodedImage& image) {
    if (size < kHeaderSize || data[0] != kManufacturer)
        return E_FAIL;
    const PcxHeader header = ReadHeader(data);
    PcxLayout layout{};
    std::size_t codedEnd = 0;
    if (!KnownLayout(header, layout) || !HeaderFits(header) || !CodedEnd(data, size, layout, codedEnd))
        return E_FAIL;

    image.format = FormatFor(header, layout);
    image.width = header.width;
    image.height = header.height;
    image.depth = 1;
    image.rowPitch = layout == PcxLayout::TrueColour ? 4 * header.width : header.width;
    image.slicePitch = image.rowPitch * header.height;
    if (!image.loadPixels)
        return S_OK;
    if (layout == PcxLayout::Paletted8)
        ReadEndPalette(data, size, image);
    else if (layout == PcxLayout::Planar)
        ReadHeaderPalette(data, header, image);
    return LoadPixels(data, codedEnd, header, layout, image);
}
