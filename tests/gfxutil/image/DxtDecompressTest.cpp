#include <array>

#include "ImageTestSupport.h"
#include "gfxutil/image/DxtDecompress.h"

using namespace imagetest;

namespace {

std::array<DWORD, 16> DecodeBlock(D3DFORMAT format, const Bytes& block) {
    std::array<DWORD, 16> pixels{};
    DecodeDxtBlock(format, block.data(), pixels.data());
    return pixels;
}

} // namespace

TEST(DxtDecompress, Dxt1FourAndThreeColourBlocks) {
    // Colour 0 pure red (0xF800), colour 1 pure blue (0x001F); indices 0, 1, 2, 3 in the first row.
    auto pixels = DecodeBlock(D3DFMT_DXT1, {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0});
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    EXPECT_EQ(pixels[1], 0xFF0000FFu);
    EXPECT_EQ(pixels[2], 0xFFAA0055u);
    EXPECT_EQ(pixels[3], 0xFF5500AAu);
    EXPECT_EQ(pixels[4], 0xFFFF0000u);

    pixels = DecodeBlock(D3DFMT_DXT1, {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0, 0, 0}); // colour 0 below colour 1
    EXPECT_EQ(pixels[2], 0xFF7F007Fu);
    EXPECT_EQ(pixels[3], 0x00000000u) << "transparent black";
}

TEST(DxtDecompress, AlphaOfDxt3AndDxt5) {
    Bytes dxt3 = {0x10, 0xF2, 0, 0, 0, 0, 0, 0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    auto pixels = DecodeBlock(D3DFMT_DXT3, dxt3);
    EXPECT_EQ(pixels[0], 0x0000FF00u);
    EXPECT_EQ(pixels[1], 0x1100FF00u);
    EXPECT_EQ(pixels[2], 0x2200FF00u);
    EXPECT_EQ(pixels[3], 0xFF00FF00u);

    // Alphas 200 and 100: index 2 is (6 * 200 + 100) / 7. Alphas 0 and 100: indices 6 and 7 are 0 and 255.
    Bytes dxt5 = {200, 100, 0x0A, 0, 0, 0, 0, 0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    pixels = DecodeBlock(D3DFMT_DXT5, dxt5);
    EXPECT_EQ(pixels[0] >> 24, 185u);
    EXPECT_EQ(pixels[1] >> 24, 100u);
    EXPECT_EQ(pixels[2] >> 24, 200u);
    dxt5[0] = 0;
    dxt5[1] = 100;
    dxt5[2] = 0x3E; // indices 6, 7
    pixels = DecodeBlock(D3DFMT_DXT5, dxt5);
    EXPECT_EQ(pixels[0] >> 24, 0u);
    EXPECT_EQ(pixels[1] >> 24, 255u);
}

TEST(DxtDecompress, SurfaceEdgesAreClippedAndBadArgumentsRefused) {
    // 5 x 2 pixels: two blocks across, one down. Left block white, right block black.
    const Bytes source = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes target(2 * 24, 0xCD);
    ASSERT_EQ(DecompressDxt(D3DFMT_DXT1, source.data(), 16, 5, 2, target.data(), 24), S_OK);
    auto pixel = [&](UINT x, UINT y) {
        DWORD value;
        std::memcpy(&value, target.data() + y * 24 + 4 * x, 4);
        return value;
    };
    EXPECT_EQ(pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(3, 1), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(4, 0), 0xFF000000u);
    EXPECT_EQ(pixel(4, 1), 0xFF000000u);
    EXPECT_EQ(target[20], 0xCD) << "the row padding stays untouched";
    EXPECT_EQ(DecompressDxt(D3DFMT_A8R8G8B8, source.data(), 16, 5, 2, target.data(), 24), E_INVALIDARG);
    EXPECT_EQ(DecompressDxt(D3DFMT_DXT1, source.data(), 8, 5, 2, target.data(), 24), E_INVALIDARG);
}
