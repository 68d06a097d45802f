#include <gtest/gtest.h>

#include <set>

#include "gfxutil/texture/FormatTable.h"

namespace {

FormatSupported Only(std::set<D3DFORMAT> formats) {
    return [formats](D3DFORMAT f) { return formats.count(f) != 0; };
}

FormatDescriptor LayoutOf(D3DFORMAT format) {
    FormatDescriptor layout = DescribeFormat(format);
    layout.format = D3DFMT_UNKNOWN; // no exact match possible
    return layout;
}

TEST(FormatDistance, CostsWideningNarrowingAndMissingChannels) {
    const auto& xrgb = DescribeFormat(D3DFMT_X8R8G8B8);
    const auto& argb = DescribeFormat(D3DFMT_A8R8G8B8);
    const auto& rgb565 = DescribeFormat(D3DFMT_R5G6B5);
    EXPECT_EQ(FormatDistance(xrgb, argb), 256u);                   // alpha added where the source had none
    EXPECT_EQ(FormatDistance(rgb565, xrgb), 3u + 2u + 3u);         // each channel widened
    EXPECT_EQ(FormatDistance(argb, xrgb), std::uint64_t{1} << 24); // alpha lost
    EXPECT_EQ(FormatDistance(xrgb, rgb565), (std::uint64_t{3} + 2 + 3) << 16); // each channel narrowed
    EXPECT_EQ(FormatDistance(xrgb, xrgb), 0u);
}

TEST(FormatDistance, TargetKeepingNoSourceChannelIsNotEligible) {
    EXPECT_FALSE(FormatDistance(DescribeFormat(D3DFMT_A8), DescribeFormat(D3DFMT_X8R8G8B8)).has_value());
    EXPECT_FALSE(FormatDistance(DescribeFormat(D3DFMT_X8R8G8B8), DescribeFormat(D3DFMT_A8)).has_value());
}

TEST(FormatTable, UnknownFormatsReadAsFourEightBitChannels) {
    const FormatDescriptor& d = DescribeFormat(static_cast<D3DFORMAT>(12345));
    EXPECT_EQ(d.kind, FormatKind::Colour);
    EXPECT_EQ(d.bitsPerPixel, 32u);
    EXPECT_EQ(d.alpha, 8);
    EXPECT_EQ(d.red, 8);
    EXPECT_FALSE(IsKnownFormat(static_cast<D3DFORMAT>(12345)));
    EXPECT_FALSE(DescribeFormat(D3DFMT_R8G8B8).substitute);
    EXPECT_TRUE(DescribeFormat(D3DFMT_X8R8G8B8).substitute);
}

TEST(ClosestFormat, ExactSupportedFormatWinsEvenWhenNotASubstitute) {
    const auto supported = Only({D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8});
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_R8G8B8), supported), D3DFMT_R8G8B8);
}

TEST(ClosestFormat, SmallestDistanceAmongSupportedSubstitutes) {
    const auto supported = Only({D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5});
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_R8G8B8), supported), D3DFMT_X8R8G8B8);
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_A1R5G5B5), supported), D3DFMT_A8R8G8B8);
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_X1R5G5B5), supported), D3DFMT_R5G6B5);
    // Palette images become colour when no palette format is supported.
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_P8), supported), D3DFMT_A8R8G8B8);
}

TEST(ClosestFormat, EqualDistanceGoesToFewerBitsPerPixel) {
    // X8R8G8B8 comes first in the table, but L8 is as close and smaller.
    const auto supported = Only({D3DFMT_X8R8G8B8, D3DFMT_L8});
    EXPECT_EQ(FindClosestFormat(LayoutOf(D3DFMT_L8), supported), D3DFMT_L8);
}

TEST(ClosestFormat, KindsOnlyStandInForCompatibleKinds) {
    const auto colourOnly = Only({D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8});
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_V8U8), colourOnly), D3DFMT_UNKNOWN);
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_D16), colourOnly), D3DFMT_UNKNOWN);
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_L8), colourOnly), D3DFMT_X8R8G8B8);
    // Colour never becomes luminance.
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_X8R8G8B8), Only({D3DFMT_L8})), D3DFMT_UNKNOWN);
    EXPECT_EQ(FindClosestFormat(DescribeFormat(D3DFMT_Q8W8V8U8), Only({D3DFMT_V8U8, D3DFMT_Q8W8V8U8})),
              D3DFMT_Q8W8V8U8);
}

TEST(ClosestFormat, OneAlphaBitLayoutsForTheColourKey) {
    const auto all = [](D3DFORMAT) { return true; };
    FormatDescriptor layout = LayoutOf(D3DFMT_X1R5G5B5);
    layout.alpha = 1;
    EXPECT_EQ(FindClosestFormat(layout, all), D3DFMT_A1R5G5B5);
    layout = LayoutOf(D3DFMT_X8R8G8B8);
    layout.alpha = 1;
    EXPECT_EQ(FindClosestFormat(layout, all), D3DFMT_A8R8G8B8);
    layout = LayoutOf(D3DFMT_L8);
    layout.alpha = 1;
    EXPECT_EQ(FindClosestFormat(layout, all), D3DFMT_A8L8);
}

} // namespace
