// Radiance picture files: RGBE or XYZE pixels, flat or run-length coded rows, decoded to floats.

#include <cmath>
#include <vector>

#include "gfxutil/image/FloatImage.h"
#include "gfxutil/image/ImageBytes.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace {

constexpr UINT kMinRunLengthWidth = 8;
constexpr UINT kMaxRunLengthWidth = 0x7FFF;

struct HdrHeader {
    bool xyz = false;
    double exposure = 1.0; // the factor already applied to the stored values
    UINT width = 0;
    UINT height = 0;
    bool bottomUp = false;
    bool rightToLeft = false;
};

bool ReadFloatAfter(std::string_view line, std::string_view key, double* value) {
    line.remove_prefix(key.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), *value);
    return error == std::errc() && end != line.data();
}

bool ReadHeaderLines(TextCursor& cursor, HdrHeader& header) {
    const std::string_view magic = cursor.ReadLine();
    if (magic.substr(0, 10) != "#?RADIANCE" && magic.substr(0, 6) != "#?RGBE")
        return false;
    while (!cursor.AtEnd()) {
        std::string_view line = cursor.ReadLine();
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            return true;
        if (line == "FORMAT=32-bit_rle_rgbe")
            header.xyz = false;
        else if (line == "FORMAT=32-bit_rle_xyze")
            header.xyz = true;
        else if (line.starts_with("FORMAT="))
            return false;
        double exposure = 0.0;
        // Exposures are cumulative; nonsense values are ignored.
        if (line.starts_with("EXPOSURE=") && ReadFloatAfter(line, "EXPOSURE=", &exposure) &&
            std::isfinite(exposure) && exposure > 0.0)
            header.exposure *= exposure;
    }
    return false;
}

// "-Y height +X width" and its mirrored forms; the transposed ones are not supported.
bool ReadResolution(TextCursor& cursor, HdrHeader& header) {
    if (cursor.Match("-Y "))
        header.bottomUp = false;
    else if (cursor.Match("+Y "))
        header.bottomUp = true;
    else
        return false;
    if (!cursor.Read(&header.height))
        return false;
    cursor.SkipSpace(false);
    if (cursor.Match("+X "))
        header.rightToLeft = false;
    else if (cursor.Match("-X "))
        header.rightToLeft = true;
    else
        return false;
    if (!cursor.Read(&header.width) || header.width == 0 || header.height == 0)
        return false;
    for (char c : cursor.ReadLine()) {
        if (!TextCursor::IsSpace(static_cast<BYTE>(c)))
            return false;
    }
    return true;
}

bool ReadRunLengthRow(const BYTE* data, std::size_t size, std::size_t& pos, UINT width, BYTE* row) {
    if (((data[pos + 2] << 8) | data[pos + 3]) != static_cast<int>(width))
        return false;
    pos += 4;
    for (UINT channel = 0; channel < 4; ++channel) {
        for (UINT x = 0; x < width;) {
            if (pos >= size)
                return false;
            const UINT code = data[pos++];
            const bool run = code > 128;
            const UINT count = run ? code - 128 : code;
            if (count == 0 || count > width - x || size - pos < (run ? 1u : count))
                return false;
            for (UINT i = 0; i < count; ++i, ++x)
                row[4 * x + channel] = run ? data[pos] : data[pos + i];
            pos += run ? 1 : count;
        }
    }
    return true;
}

// Flat pixels, where (1, 1, 1, n) repeats the previous pixel n times (n shifted up by 8 bits for
// each further repeat code in a row).
bool ReadFlatRow(const BYTE* data, std::size_t size, std::size_t& pos, UINT width, BYTE* row) {
    UINT shift = 0;
    for (UINT x = 0; x < width;) {
        if (size - pos < 4)
            return false;
        const BYTE* pixel = data + pos;
        pos += 4;
        if (pixel[0] == 1 && pixel[1] == 1 && pixel[2] == 1) {
            if (x == 0 || shift > 16)
                return false;
            const std::uint64_t count = std::uint64_t{pixel[3]} << shift;
            if (count > width - x)
                return false;
            for (std::uint64_t i = 0; i < count; ++i, ++x)
                std::memcpy(row + 4 * x, row + 4 * (x - 1), 4);
            shift += 8;
            continue;
        }
        std::memcpy(row + 4 * x, pixel, 4);
        ++x;
        shift = 0;
    }
    return true;
}

bool ReadRow(const BYTE* data, std::size_t size, std::size_t& pos, UINT width, BYTE* row) {
    const bool runLength = width >= kMinRunLengthWidth && width <= kMaxRunLengthWidth && size - pos >= 4 &&
                           data[pos] == 2 && data[pos + 1] == 2 && (data[pos + 2] & 0x80) == 0;
    return runLength ? ReadRunLengthRow(data, size, pos, width, row)
                     : ReadFlatRow(data, size, pos, width, row);
}

void StoreRow(const BYTE* row, const HdrHeader& header, BYTE* target) {
    for (UINT x = 0; x < header.width; ++x, row += 4) {
        float c[3] = {0.0f, 0.0f, 0.0f};
        if (row[3] != 0) {
            const double scale = std::ldexp(1.0, row[3] - 136) / header.exposure;
            for (int i = 0; i < 3; ++i)
                c[i] = static_cast<float>((row[i] + 0.5) * scale);
        }
        if (header.xyz) {
            const float X = c[0], Y = c[1], Z = c[2];
            c[0] = 3.2404542f * X - 1.5371385f * Y - 0.4985314f * Z;
            c[1] = -0.9692660f * X + 1.8760108f * Y + 0.0415560f * Z;
            c[2] = 0.0556434f * X - 0.2040259f * Y + 1.0572252f * Z;
        }
        const UINT column = header.rightToLeft ? header.width - 1 - x : x;
        StoreFloatPixel(target + 16 * static_cast<std::size_t>(column), c);
    }
}

} // namespace

HRESULT DecodeHdr(const BYTE* data, std::size_t size, DecodedImage& image) {
    TextCursor cursor(data, size);
    HdrHeader header;
    if (!ReadHeaderLines(cursor, header) || !ReadResolution(cursor, header))
        return E_FAIL;
    std::uint64_t bytes = 0;
    if (!DescribeFloatImage(image, header.width, header.height, bytes))
        return E_FAIL;
    if (!image.loadPixels)
        return S_OK;

    // Even run-length rows take some bytes each; refuse before allocating for a short file.
    if (bytes > kMaxDecodedImageBytes || cursor.Remaining() < header.height)
        return bytes > kMaxDecodedImageBytes ? E_OUTOFMEMORY : E_FAIL;
    BYTE* pixels = image.AllocatePixels(static_cast<std::size_t>(bytes));
    if (pixels == nullptr)
        return E_OUTOFMEMORY;
    std::vector<BYTE> row(static_cast<std::size_t>(header.width) * 4);
    std::size_t pos = cursor.Position();
    for (UINT y = 0; y < header.height; ++y) {
        if (!ReadRow(data, size, pos, header.width, row.data()))
            return E_FAIL;
        const UINT target = header.bottomUp ? header.height - 1 - y : y;
        StoreRow(row.data(), header, pixels + static_cast<std::size_t>(target) * image.rowPitch);
    }
    return S_OK;
}
