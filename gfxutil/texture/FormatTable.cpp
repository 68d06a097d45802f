#include "gfxutil/texture/FormatTable.h"

#include <iterator>

namespace {

using K = FormatKind;

// Order matters: among equally close formats of equal size the earlier row wins.
constexpr FormatDescriptor kFormats[] = {
    {D3DFMT_A8R8G8B8, K::Colour, 32, 0, 8, 8, 8, 8, true},
    {D3DFMT_X8R8G8B8, K::Colour, 32, 0, 0, 8, 8, 8, true},
    {D3DFMT_R8G8B8, K::Colour, 24, 0, 0, 8, 8, 8, false},
    {D3DFMT_R5G6B5, K::Colour, 16, 0, 0, 5, 6, 5, true},
    {D3DFMT_X1R5G5B5, K::Colour, 16, 0, 0, 5, 5, 5, true},
    {D3DFMT_A1R5G5B5, K::Colour, 16, 0, 1, 5, 5, 5, true},
    {D3DFMT_A4R4G4B4, K::Colour, 16, 0, 4, 4, 4, 4, true},
    {D3DFMT_R3G3B2, K::Colour, 8, 0, 0, 3, 3, 2, true},
    {D3DFMT_A8, K::Colour, 8, 0, 8, 0, 0, 0, true},
    {D3DFMT_A8R3G3B2, K::Colour, 16, 0, 8, 3, 3, 2, true},
    {D3DFMT_X4R4G4B4, K::Colour, 16, 0, 0, 4, 4, 4, true},
    {D3DFMT_A2B10G10R10, K::Colour, 32, 0, 2, 10, 10, 10, true},
    {D3DFMT_A8B8G8R8, K::Colour, 32, 0, 8, 8, 8, 8, true},
    {D3DFMT_X8B8G8R8, K::Colour, 32, 0, 0, 8, 8, 8, true},
    {D3DFMT_G16R16, K::Colour, 32, 0, 0, 16, 16, 0, true},
    {D3DFMT_A2R10G10B10, K::Colour, 32, 0, 2, 10, 10, 10, true},
    {D3DFMT_A16B16G16R16, K::Colour, 64, 0, 16, 16, 16, 16, true},
    {D3DFMT_A8P8, K::Palette, 16, 0, 8, 8, 8, 8, true},
    {D3DFMT_P8, K::Palette, 8, 0, 8, 8, 8, 8, true},
    {D3DFMT_L8, K::Luminance, 8, 0, 0, 8, 8, 8, true},
    {D3DFMT_A8L8, K::Luminance, 16, 0, 8, 8, 8, 8, true},
    {D3DFMT_A4L4, K::Luminance, 8, 0, 4, 4, 4, 4, true},
    {D3DFMT_L16, K::Luminance, 16, 0, 0, 16, 16, 16, true},
    {D3DFMT_V8U8, K::Signed, 16, 0, 0, 8, 8, 0, true},
    {D3DFMT_L6V5U5, K::Signed, 16, 6, 0, 5, 5, 0, true},
    {D3DFMT_X8L8V8U8, K::Signed, 32, 8, 0, 8, 8, 0, true},
    {D3DFMT_Q8W8V8U8, K::Signed, 32, 0, 8, 8, 8, 8, true},
    {D3DFMT_V16U16, K::Signed, 32, 0, 0, 16, 16, 0, true},
    {D3DFMT_A2W10V10U10, K::Signed, 32, 0, 2, 10, 10, 10, true},
    {D3DFMT_Q16W16V16U16, K::Signed, 64, 0, 16, 16, 16, 16, true},
    {D3DFMT_CxV8U8, K::Signed, 16, 0, 0, 8, 8, 0, true},
    {D3DFMT_R16F, K::Colour, 16, 0, 0, 16, 0, 0, true},
    {D3DFMT_G16R16F, K::Colour, 32, 0, 0, 16, 16, 0, true},
    {D3DFMT_A16B16G16R16F, K::Colour, 64, 0, 16, 16, 16, 16, true},
    {D3DFMT_R32F, K::Colour, 32, 0, 0, 32, 0, 0, true},
    {D3DFMT_G32R32F, K::Colour, 64, 0, 0, 32, 32, 0, true},
    {D3DFMT_A32B32G32R32F, K::Colour, 128, 0, 32, 32, 32, 32, true},
    {D3DFMT_UYVY, K::Colour, 16, 0, 0, 8, 8, 8, false},
    {D3DFMT_YUY2, K::Colour, 16, 0, 0, 8, 8, 8, false},
    {D3DFMT_R8G8_B8G8, K::Colour, 16, 0, 0, 8, 8, 8, false},
    {D3DFMT_G8R8_G8B8, K::Colour, 16, 0, 0, 8, 8, 8, false},
    {D3DFMT_DXT1, K::Colour, 4, 0, 1, 5, 6, 5, false},
    {D3DFMT_DXT2, K::Colour, 8, 0, 4, 5, 6, 5, false},
    {D3DFMT_DXT3, K::Colour, 8, 0, 4, 5, 6, 5, false},
    {D3DFMT_DXT4, K::Colour, 8, 0, 8, 5, 6, 5, false},
    {D3DFMT_DXT5, K::Colour, 8, 0, 8, 5, 6, 5, false},
    // Depth formats: red holds the depth bits, alpha the stencil bits.
    {D3DFMT_D16_LOCKABLE, K::DepthStencil, 16, 1, 0, 16, 0, 0, true},
    {D3DFMT_D32, K::DepthStencil, 32, 0, 0, 32, 0, 0, true},
    {D3DFMT_D15S1, K::DepthStencil, 16, 0, 1, 15, 0, 0, true},
    {D3DFMT_D24S8, K::DepthStencil, 32, 0, 8, 24, 0, 0, true},
    {D3DFMT_D24X8, K::DepthStencil, 32, 0, 0, 24, 0, 0, true},
    {D3DFMT_D24X4S4, K::DepthStencil, 32, 0, 4, 24, 0, 0, true},
    {D3DFMT_D16, K::DepthStencil, 16, 0, 0, 16, 0, 0, true},
    {D3DFMT_D32F_LOCKABLE, K::DepthStencil, 32, 1, 0, 32, 0, 0, true},
    {D3DFMT_D24FS8, K::DepthStencil, 32, 0, 8, 24, 0, 0, true},
};

constexpr FormatDescriptor kUnknownFormat = {D3DFMT_UNKNOWN, K::Colour, 32, 0, 8, 8, 8, 8, false};

const FormatDescriptor* FindRow(D3DFORMAT format) {
    for (const FormatDescriptor& row : kFormats)
        if (row.format == format)
            return &row;
    return nullptr;
}

struct ChannelCost {
    std::uint64_t cost = 0;
    bool kept = false; // the source has the channel and the target keeps it
};

ChannelCost CompareChannel(unsigned source, unsigned target) {
    if (target > source)
        return {source == 0 ? 256u : target - source, source != 0};
    if (target < source)
        return {target == 0 ? std::uint64_t{1} << 24 : std::uint64_t{source - target} << 16, target != 0};
    return {0, source != 0};
}

} // namespace

const FormatDescriptor& DescribeFormat(D3DFORMAT format) {
    const FormatDescriptor* row = FindRow(format);
    return row ? *row : kUnknownFormat;
}

bool IsKnownFormat(D3DFORMAT format) {
    return FindRow(format) != nullptr;
}

bool IsBlockCompressed(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
           format == D3DFMT_DXT5;
}

std::optional<std::uint64_t> FormatDistance(const FormatDescriptor& source, const FormatDescriptor& target) {
    const unsigned sourceBits[] = {source.other, source.alpha, source.red, source.green, source.blue};
    const unsigned targetBits[] = {target.other, target.alpha, target.red, target.green, target.blue};
    std::uint64_t total = 0;
    bool sourceHasChannels = false;
    bool keepsSomething = false;
    for (std::size_t i = 0; i < std::size(sourceBits); ++i) {
        const ChannelCost channel = CompareChannel(sourceBits[i], targetBits[i]);
        total += channel.cost;
        sourceHasChannels = sourceHasChannels || sourceBits[i] != 0;
        keepsSomething = keepsSomething || channel.kept;
    }
    if (sourceHasChannels && !keepsSomething)
        return std::nullopt;
    return total;
}

bool KindAccepts(FormatKind source, FormatKind target) {
    switch (source) {
    case K::Colour:
        return target == K::Colour;
    case K::Palette:
        return target == K::Colour || target == K::Palette;
    case K::Luminance:
        return target == K::Colour || target == K::Luminance;
    case K::Signed:
        return target == K::Signed;
    case K::DepthStencil:
        return target == K::DepthStencil;
    }
    return false;
}

D3DFORMAT FindClosestFormat(const FormatDescriptor& wanted, const FormatSupported& supported) {
    const FormatDescriptor* best = nullptr;
    std::uint64_t bestDistance = 0;
    for (const FormatDescriptor& row : kFormats) {
        if (!supported(row.format))
            continue;
        if (wanted.format != D3DFMT_UNKNOWN && row.format == wanted.format)
            return row.format;
        if (!row.substitute || !KindAccepts(wanted.kind, row.kind))
            continue;
        const std::optional<std::uint64_t> distance = FormatDistance(wanted, row);
        if (!distance)
            continue;
        if (!best || *distance < bestDistance ||
            (*distance == bestDistance && row.bitsPerPixel < best->bitsPerPixel)) {
            best = &row;
            bestDistance = *distance;
        }
    }
    return best ? best->format : D3DFMT_UNKNOWN;
}
