#pragma once
// What texture creation knows about each pixel format: its kind, size and channel widths, and the
// search for the supported format closest to a wanted one.

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/d3d9/D3D9Types.h"

enum class FormatKind : BYTE { Colour = 0, Palette = 1, Luminance = 2, Signed = 3, DepthStencil = 4 };

struct FormatDescriptor {
    D3DFORMAT format;
    FormatKind kind;
    UINT bitsPerPixel;
    // Channel widths in bits. `other` is the bump-map luminance of signed formats or the lockable
    // bit of depth formats.
    BYTE other;
    BYTE alpha;
    BYTE red;
    BYTE green;
    BYTE blue;
    bool substitute; // may be chosen in place of another format
};

// The row for `format`; formats not in the table read as 32-bit colour with four 8-bit channels.
const FormatDescriptor& DescribeFormat(D3DFORMAT format);

// True when `format` has a row of its own.
bool IsKnownFormat(D3DFORMAT format);

bool IsBlockCompressed(D3DFORMAT format);

// The cost of storing pixels laid out as `source` in `target`: each channel made wider costs the
// bits added (256 when the source lacks it), each channel made narrower costs the bits lost << 16
// (1 << 24 when the target lacks it). Empty when the target keeps none of the source's channels.
std::optional<std::uint64_t> FormatDistance(const FormatDescriptor& source, const FormatDescriptor& target);

// Whether a format of kind `target` may stand in for one of kind `source`.
bool KindAccepts(FormatKind source, FormatKind target);

using FormatSupported = std::function<bool(D3DFORMAT)>;

// Walks the table in order over the supported formats: a row equal to `wanted.format` wins at
// once; otherwise the eligible substitute with the smallest distance, ties going to fewer bits per
// pixel. D3DFMT_UNKNOWN when nothing fits.
D3DFORMAT FindClosestFormat(const FormatDescriptor& wanted, const FormatSupported& supported);
