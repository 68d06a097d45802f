#include "ImageTestSupport.h"

using namespace imagetest;

namespace {

struct TgaLayout {
    BYTE idLength = 0;
    BYTE colorMapType = 0;
    BYTE imageType = 2;
    WORD mapFirst = 0;
    WORD mapLength = 0;
    BYTE mapBits = 0;
    WORD width = 0;
    WORD height = 0;
    BYTE pixelBits = 24;
    BYTE descriptor = 0;
    Bytes map;
    Bytes pixels;
};

Bytes MakeTga(const TgaLayout& layout) {
    Bytes out = {layout.idLength, layout.colorMapType, layout.imageType};
    PutLE16(out, layout.mapFirst);
    PutLE16(out, layout.mapLength);
    out.push_back(layout.mapBits);
    PutLE32(out, 0);
    PutLE16(out, layout.width);
    PutLE16(out, layout.height);
    out.push_back(layout.pixelBits);
    out.push_back(layout.descriptor);
    out.resize(out.size() + layout.idLength, 'i');
    Append(out, layout.map);
    Append(out, layout.pixels);
    return out;
}

struct FixtureCase {
    const char* file;
    D3DFORMAT format;
    Rgba (*pattern)(UINT, UINT);
};

class TgaFixture : public testing::TestWithParam<FixtureCase> {};

} // namespace

TEST_P(TgaFixture, DecodesTheImageMagickFileToTheSourcePattern) {
    const FixtureCase& c = GetParam();
    const Bytes data = ReadFixture(c.file);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_TGA);
    EXPECT_EQ(image->format, c.format);
    ASSERT_EQ(image->width, kPatternWidth);
    ASSERT_EQ(image->height, kPatternHeight);
    for (UINT y = 0; y < kPatternHeight; ++y)
        for (UINT x = 0; x < kPatternWidth; ++x)
            EXPECT_EQ(ReadPixel(*image, x, y), c.pattern(x, y)) << c.file << " at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(EveryType, TgaFixture,
                         testing::Values(FixtureCase{"tga1.tga", D3DFMT_P8, RichPixel},
                                         FixtureCase{"tga9.tga", D3DFMT_P8, RichPixel},
                                         FixtureCase{"tga2.tga", D3DFMT_R8G8B8, RichPixel},
                                         FixtureCase{"tga2-top-down.tga", D3DFMT_R8G8B8, RichPixel},
                                         FixtureCase{"tga10.tga", D3DFMT_R8G8B8, RichPixel},
                                         FixtureCase{"tga2-alpha.tga", D3DFMT_A8R8G8B8, RichPixelWithAlpha},
                                         FixtureCase{"tga3.tga", D3DFMT_L8, GreyPixel},
                                         FixtureCase{"tga11.tga", D3DFMT_L8, GreyPixel}));

TEST(TgaDecoder, AllZeroAlphaMeansNoAlpha) {
    TgaLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.pixelBits = 32;
    layout.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    auto image = Decode(MakeTga(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    layout.pixels[7] = 9;
    image = Decode(MakeTga(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);

    layout.pixelBits = 16;
    layout.pixels = {0x1F, 0x00, 0x00, 0x7C};
    image = Decode(MakeTga(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X1R5G5B5);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{255, 0, 0, 255}));
    layout.pixels[3] = 0xFC;
    image = Decode(MakeTga(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A1R5G5B5);
}

TEST(TgaDecoder, OriginBitsPlaceRowsAndColumnsAndTopDownIsUsedInPlace) {
    // File order pixels a b / c d (grey); descriptor decides where they land.
    TgaLayout layout;
    layout.imageType = 3;
    layout.pixelBits = 8;
    layout.width = 2;
    layout.height = 2;
    layout.pixels = {1, 2, 3, 4};
    auto grid = [](const DecodedImage& image) {
        return std::vector<int>{image.Row(0)[0], image.Row(0)[1], image.Row(1)[0], image.Row(1)[1]};
    };
    const std::pair<BYTE, std::vector<int>> cases[] = {
        {0x00, {3, 4, 1, 2}}, {0x20, {1, 2, 3, 4}}, {0x10, {4, 3, 2, 1}}, {0x30, {2, 1, 4, 3}}};
    for (const auto& [descriptor, expected] : cases) {
        layout.descriptor = descriptor;
        const Bytes data = MakeTga(layout);
        const auto image = Decode(data);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(grid(*image), expected) << int(descriptor);
        EXPECT_EQ(image->PixelsOwned(), descriptor != 0x20);
    }
}

TEST(TgaDecoder, RunLengthPacketsMayCrossRowsButNeverTheImage) {
    TgaLayout layout;
    layout.imageType = 11;
    layout.pixelBits = 8;
    layout.width = 3;
    layout.height = 2;
    layout.descriptor = 0x20;
    layout.pixels = {0x83, 7, 0x01, 8, 9, 0x80, 5}; // run of 4, literal of 2, run of 1
    auto image = Decode(MakeTga(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ((std::vector<int>{image->Row(0)[0], image->Row(0)[1], image->Row(0)[2], image->Row(1)[0],
                                image->Row(1)[1], image->Row(1)[2]}),
              (std::vector<int>{7, 7, 7, 7, 8, 9}));

    layout.pixels = {0x04, 1, 2, 3, 4, 5, 0x00, 6}; // a literal of five crossing the row end
    image = Decode(MakeTga(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ((std::vector<int>{image->Row(0)[0], image->Row(0)[2], image->Row(1)[0], image->Row(1)[2]}),
              (std::vector<int>{1, 3, 4, 6}));

    layout.pixels = {0xFF, 7}; // a run of 128 for six pixels
    image = Decode(MakeTga(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Row(1)[2], 7);

    layout.pixels = {0x85, 7, 0x00}; // a run of 6 fills the image; the byte after it is left alone
    EXPECT_EQ(DecodeResult(MakeTga(layout)), S_OK);
    layout.pixels = {0x02, 1, 2};
    EXPECT_EQ(DecodeResult(MakeTga(layout)), D3DXERR_INVALIDDATA) << "literal cut short";
    layout.pixels = {0x81, 1, 0x81};
    EXPECT_EQ(DecodeResult(MakeTga(layout)), D3DXERR_INVALIDDATA) << "run without its pixel";
    layout.pixels = {0x81, 1};
    EXPECT_EQ(DecodeResult(MakeTga(layout)), D3DXERR_INVALIDDATA) << "no packet for the rest";
}

// A packet takes a count byte and a pixel at least and covers 128 pixels at most.
TEST(TgaDecoder, RunLengthDataTooShortForTheImageIsRefusedBeforeAllocating) {
    TgaLayout layout;
    layout.imageType = 10;
    layout.pixelBits = 32;
    layout.width = 1000;
    layout.height = 1000;
    layout.pixels.clear();
    for (int packet = 0; packet < 7813; ++packet)
        Append(layout.pixels, {0xFF, 1, 2, 3, 4});
    Bytes data = MakeTga(layout);
    DecodedImage whole;
    EXPECT_EQ(DecodeTga(data.data(), data.size(), whole), S_OK);

    layout.pixels.resize(layout.pixels.size() - 5);
    data = MakeTga(layout);
    DecodedImage refused;
    EXPECT_EQ(DecodeTga(data.data(), data.size(), refused), E_FAIL);
    EXPECT_EQ(refused.ownedPixels.capacity(), 0u);
}

TEST(TgaDecoder, ColourMapEntriesOfEverySize) {
    TgaLayout layout;
    layout.colorMapType = 1;
    layout.imageType = 1;
    layout.pixelBits = 8;
    layout.width = 2;
    layout.height = 1;
    layout.mapFirst = 5;
    layout.mapLength = 2;
    layout.pixels = {5, 6};
    struct {
        BYTE bits;
        Bytes map;
        Rgba first, second;
    } const cases[] = {
        {24, {10, 20, 30, 40, 50, 60}, {30, 20, 10, 255}, {60, 50, 40, 255}},
        {32, {10, 20, 30, 128, 40, 50, 60, 0}, {30, 20, 10, 128}, {60, 50, 40, 0}},
        {15, {0x1F, 0x00, 0xE0, 0x83}, {0, 0, 255, 255}, {0, 255, 0, 255}}, // bit 15 means nothing
        {16, {0x1F, 0x80, 0xE0, 0x03}, {0, 0, 255, 255}, {0, 255, 0, 0}},
    };
    for (const auto& c : cases) {
        layout.mapBits = c.bits;
        layout.map = c.map;
        const auto image = Decode(MakeTga(layout));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, D3DFMT_P8);
        EXPECT_EQ(ReadPixel(*image, 0, 0), c.first) << int(c.bits);
        EXPECT_EQ(ReadPixel(*image, 1, 0), c.second) << int(c.bits);
        const PALETTEENTRY& untouched = image->palette[0];
        EXPECT_TRUE(untouched.peRed == 255 && untouched.peFlags == 255);
    }

    layout.mapBits = 32;
    layout.map = {10, 20, 30, 0, 40, 50, 60, 0};
    const auto transparent = Decode(MakeTga(layout));
    ASSERT_NE(transparent, nullptr);
    EXPECT_EQ(ReadPixel(*transparent, 0, 0).a, 255) << "a map with no alpha anywhere is opaque";
}

TEST(TgaDecoder, ColourMapOverflowingTheFullPaletteIsRejected) {
    TgaLayout layout;
    layout.colorMapType = 1;
    layout.imageType = 1;
    layout.pixelBits = 8;
    layout.width = 1;
    layout.height = 1;
    layout.mapBits = 24;
    layout.mapFirst = 250;
    layout.mapLength = 6;
    layout.map.assign(18, 0);
    layout.pixels = {250};
    EXPECT_EQ(DecodeResult(MakeTga(layout)), S_OK);
    layout.mapLength = 7;
    layout.map.assign(21, 0);
    EXPECT_EQ(DecodeResult(MakeTga(layout)), D3DXERR_INVALIDDATA);
}

TEST(TgaDecoder, HeaderChecks) {
    TgaLayout layout;
    layout.width = 1;
    layout.height = 1;
    layout.idLength = 3;
    layout.pixels = {1, 2, 3};
    ASSERT_EQ(DecodeResult(MakeTga(layout)), S_OK) << "ID field skipped";

    Bytes noRoom = MakeTga(layout);
    noRoom.pop_back();
    EXPECT_EQ(DecodeResult(noRoom), D3DXERR_INVALIDDATA) << "pixels cut short";

    TgaLayout bad = layout;
    bad.imageType = 4;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "unknown type bit";
    bad = layout;
    bad.pixelBits = 8;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "8-bit true colour";
    bad = layout;
    bad.width = 0;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "zero width";
    bad = layout;
    bad.imageType = 1;
    bad.pixelBits = 8;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "colour-mapped without a map";
    bad = layout;
    bad.colorMapType = 1;
    bad.mapBits = 12;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "12-bit map entries";
    bad = layout;
    bad.colorMapType = 1;
    bad.mapBits = 24;
    bad.mapLength = 200;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "map beyond the data";
}
