#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "gfxutil/texture/D3DX9Tex.h"
#include "gfxutil/texture/ImageFilter.h"
#include "gfxutil/texture/SurfaceLoader.h"

namespace {

std::map<UINT, float> TapsOf(const AxisWeights& weights, UINT pixel) {
    std::map<UINT, float> taps;
    for (const FilterTap* t = weights.TapsBegin(pixel); t != weights.TapsEnd(pixel); ++t)
        taps[t->source] += t->weight;
    return taps;
}

void ExpectTaps(const AxisWeights& weights, UINT pixel, const std::map<UINT, float>& expected) {
    const std::map<UINT, float> taps = TapsOf(weights, pixel);
    ASSERT_EQ(taps.size(), expected.size()) << "pixel " << pixel;
    for (const auto& [source, weight] : expected) {
        ASSERT_TRUE(taps.count(source)) << "pixel " << pixel << " texel " << source;
        EXPECT_NEAR(taps.at(source), weight, 1e-6) << "pixel " << pixel << " texel " << source;
    }
}

// Luminance images, one byte per pixel, rows packed.
struct Grey {
    UINT width;
    UINT height;
    UINT depth;
    std::vector<BYTE> pixels;

    PixelSource AsSource() const {
        PixelSource s;
        s.bits = pixels.data();
        s.rowPitch = width;
        s.slicePitch = std::size_t{width} * height;
        s.format = D3DFMT_L8;
        s.width = width;
        s.height = height;
        s.depth = depth;
        return s;
    }
    PixelTarget AsTarget() {
        PixelTarget t;
        t.bits = pixels.data();
        t.rowPitch = width;
        t.slicePitch = std::size_t{width} * height;
        t.format = D3DFMT_L8;
        t.width = width;
        t.height = height;
        t.depth = depth;
        return t;
    }
};

Grey Blank(UINT width, UINT height, UINT depth = 1) {
    return {width, height, depth, std::vector<BYTE>(std::size_t{width} * height * depth)};
}

std::vector<BYTE> Filtered(const Grey& source, UINT width, UINT height, DWORD filter, UINT depth = 1) {
    Grey target = Blank(width, height, depth);
    EXPECT_EQ(LoadPixels(target.AsTarget(), source.AsSource(), filter, 0), S_OK);
    return target.pixels;
}

TEST(TriangleWeights, MagnifyingWrapsOrHoldsTheEdges) {
    // Two texels spread over four pixels: tents peak at 1 and 3 and reach 2 pixels either way.
    const AxisWeights wrapped = AxisWeights::Triangle(2, 4, false);
    ExpectTaps(wrapped, 0, {{0, 0.75f}, {1, 0.25f}});
    ExpectTaps(wrapped, 1, {{0, 0.75f}, {1, 0.25f}});
    ExpectTaps(wrapped, 2, {{0, 0.25f}, {1, 0.75f}});
    ExpectTaps(wrapped, 3, {{0, 0.25f}, {1, 0.75f}});
    const AxisWeights mirrored = AxisWeights::Triangle(2, 4, true);
    ExpectTaps(mirrored, 0, {{0, 1.0f}});
    ExpectTaps(mirrored, 1, {{0, 0.75f}, {1, 0.25f}});
    ExpectTaps(mirrored, 3, {{1, 1.0f}});
}

TEST(TriangleWeights, MinifyingIntegratesNarrowTents) {
    const AxisWeights wrapped = AxisWeights::Triangle(4, 2, false);
    ExpectTaps(wrapped, 0, {{0, 0.4375f}, {1, 0.4375f}, {2, 0.0625f}, {3, 0.0625f}});
    ExpectTaps(wrapped, 1, {{0, 0.0625f}, {1, 0.0625f}, {2, 0.4375f}, {3, 0.4375f}});
    const AxisWeights mirrored = AxisWeights::Triangle(4, 2, true);
    ExpectTaps(mirrored, 0, {{0, 0.5f}, {1, 0.4375f}, {2, 0.0625f}});
}

TEST(TriangleWeights, EveryPixelReceivesATotalWeightOfOne) {
    for (UINT source : {1u, 3u, 7u, 60u, 100u}) {
        for (UINT target : {1u, 2u, 5u, 64u, 128u}) {
            for (bool mirror : {false, true}) {
                const AxisWeights w = AxisWeights::Triangle(source, target, mirror);
                for (UINT i = 0; i < target; ++i) {
                    double sum = 0;
                    for (const auto& [texel, weight] : TapsOf(w, i)) {
                        EXPECT_LT(texel, source);
                        sum += weight;
                    }
                    EXPECT_NEAR(sum, 1.0, 1e-3) << source << " -> " << target << " pixel " << i;
                }
            }
        }
    }
}

TEST(LinearWeights, SampleBetweenTheTwoNearestTexels) {
    ExpectTaps(AxisWeights::Linear(4, 2, false), 0, {{0, 0.5f}, {1, 0.5f}});
    ExpectTaps(AxisWeights::Linear(4, 2, false), 1, {{2, 0.5f}, {3, 0.5f}});
    // Pixel 0 of 2 -> 4 samples at -0.25: a quarter of texel -1, which wraps or clamps.
    ExpectTaps(AxisWeights::Linear(2, 4, false), 0, {{0, 0.75f}, {1, 0.25f}});
    ExpectTaps(AxisWeights::Linear(2, 4, true), 0, {{0, 1.0f}});
    ExpectTaps(AxisWeights::Linear(2, 4, true), 1, {{0, 0.75f}, {1, 0.25f}});
}

TEST(SurfaceFilters, TriangleResamplesTinyImages) {
    const Grey source{2, 1, 1, {0, 200}};
    EXPECT_EQ(Filtered(source, 4, 1, D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR),
              (std::vector<BYTE>{0, 50, 150, 200}));
    EXPECT_EQ(Filtered(source, 4, 1, D3DX_FILTER_TRIANGLE), (std::vector<BYTE>{50, 50, 150, 150}));
}

TEST(SurfaceFilters, LinearResamplesTinyImages) {
    const Grey source{4, 1, 1, {0, 100, 200, 40}};
    EXPECT_EQ(Filtered(source, 2, 1, D3DX_FILTER_LINEAR), (std::vector<BYTE>{50, 120}));
}

TEST(SurfaceFilters, BoxAveragesTwoByTwoBlocksAndDropsAnOddColumn) {
    const Grey source{3, 2, 1, {10, 20, 250, 30, 41, 250}};
    EXPECT_EQ(Filtered(source, 1, 1, D3DX_FILTER_BOX), (std::vector<BYTE>{25})); // 101 / 4 rounds to 25
    const Grey column{1, 4, 1, {10, 21, 100, 200}};
    EXPECT_EQ(Filtered(column, 1, 2, D3DX_FILTER_BOX), (std::vector<BYTE>{16, 150}));
}

TEST(SurfaceFilters, BoxAveragesVolumesInTwoByTwoByTwoBlocks) {
    const Grey source{2, 2, 2, {0, 10, 20, 30, 40, 50, 60, 72}};
    EXPECT_EQ(Filtered(source, 1, 1, D3DX_FILTER_BOX, 1), (std::vector<BYTE>{35})); // 282 / 8
}

TEST(SurfaceFilters, BoxRefusesSizesThatAreNotHalves) {
    const Grey source = Blank(4, 4);
    Grey target = Blank(3, 2);
    EXPECT_EQ(LoadPixels(target.AsTarget(), source.AsSource(), D3DX_FILTER_BOX, 0), E_FAIL);
}

TEST(SurfaceFilters, PointAndNoneFilters) {
    const Grey source{4, 1, 1, {1, 2, 3, 4}};
    EXPECT_EQ(Filtered(source, 2, 1, D3DX_FILTER_POINT), (std::vector<BYTE>{2, 4}));
    EXPECT_EQ(Filtered(source, 8, 1, D3DX_FILTER_POINT), (std::vector<BYTE>{1, 1, 2, 2, 3, 3, 4, 4}));
    // No filter: the overlapping part is copied, the rest stays as it was.
    Grey target{6, 1, 1, {9, 9, 9, 9, 9, 9}};
    ASSERT_EQ(LoadPixels(target.AsTarget(), source.AsSource(), D3DX_FILTER_NONE, 0), S_OK);
    EXPECT_EQ(target.pixels, (std::vector<BYTE>{1, 2, 3, 4, 9, 9}));
}

TEST(SurfaceFilters, VolumesResampleAlongAllThreeAxes) {
    const Grey source{1, 1, 2, {0, 200}};
    EXPECT_EQ(Filtered(source, 1, 1, D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR, 4),
              (std::vector<BYTE>{0, 50, 150, 200}));
}

TEST(SurfaceFilters, RejectsInvalidFilterValues) {
    const Grey source = Blank(2, 2);
    Grey target = Blank(1, 1);
    for (DWORD filter : {0u, 6u, D3DX_FILTER_BOX | 0x800000u, 0x10005u + 0x0F00u})
        EXPECT_EQ(LoadPixels(target.AsTarget(), source.AsSource(), filter, 0), D3DERR_INVALIDCALL) << filter;
}

TEST(SurfaceFilters, SrgbFlagsAverageInLinearLight) {
    // sRGB 128 is 0.2159 in linear light; averaged with black 0.1079.
    const Grey source{2, 1, 1, {0, 128}};
    EXPECT_EQ(Filtered(source, 1, 1, D3DX_FILTER_BOX), (std::vector<BYTE>{64}));
    EXPECT_EQ(Filtered(source, 1, 1, D3DX_FILTER_BOX | D3DX_FILTER_SRGB_IN), (std::vector<BYTE>{28}));
    EXPECT_EQ(Filtered(source, 1, 1, D3DX_FILTER_BOX | D3DX_FILTER_SRGB), (std::vector<BYTE>{92}));
}

TEST(SurfaceFilters, ColourKeyMakesMatchingPixelsTransparentBlack) {
    const DWORD pixels[3] = {0xFFFF00FF, 0xFF102030, 0x80FF00FF};
    PixelSource source;
    source.bits = reinterpret_cast<const BYTE*>(pixels);
    source.rowPitch = sizeof pixels;
    source.format = D3DFMT_A8R8G8B8;
    source.width = 3;
    source.height = 1;
    DWORD written[3] = {};
    PixelTarget target;
    target.bits = reinterpret_cast<BYTE*>(written);
    target.rowPitch = sizeof written;
    target.format = D3DFMT_A8R8G8B8;
    target.width = 3;
    target.height = 1;
    ASSERT_EQ(LoadPixels(target, source, D3DX_FILTER_NONE, 0xFFFF00FF), S_OK);
    EXPECT_EQ(written[0], 0u);
    EXPECT_EQ(written[1], 0xFF102030u);
    EXPECT_EQ(written[2], 0x80FF00FFu); // alpha differs from the key
}

} // namespace
