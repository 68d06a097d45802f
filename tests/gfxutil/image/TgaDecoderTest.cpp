#include "ImageTestSupport.h"

using namespace imagetest;

namespace {

struct TgaSpec {
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

Bytes MakeTga(const TgaSpec& spec) {
    Bytes out = {spec.idLength, spec.colorMapType, spec.imageType};
    PutLE16(out, spec.mapFirst);
    PutLE16(out, spec.mapLength);
    out.push_back(spec.mapBits);
    PutLE32(out, 0);
    PutLE16(out, spec.width);
    PutLE16(out, spec.height);
    out.push_back(spec.pixelBits);
    out.push_back(spec.descriptor);
    out.resize(out.size() + spec.idLength, 'i');
    Append(out, spec.map);
    Append(out, spec.pixels);
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
    TgaSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.pixelBits = 32;
    spec.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    auto image = Decode(MakeTga(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    spec.pixels[7] = 9;
    image = Decode(MakeTga(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);

    spec.pixelBits = 16;
    spec.pixels = {0x1F, 0x00, 0x00, 0x7C};
    image = Decode(MakeTga(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X1R5G5B5);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{255, 0, 0, 255}));
    spec.pixels[3] = 0xFC;
    image = Decode(MakeTga(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A1R5G5B5);
}

TEST(TgaDecoder, OriginBitsPlaceRowsAndColumnsAndTopDownIsUsedInPlace) {
    // File order pixels a b / c d (grey); descriptor decides where they land.
    TgaSpec spec;
    spec.imageType = 3;
    spec.pixelBits = 8;
    spec.width = 2;
    spec.height = 2;
    spec.pixels = {1, 2, 3, 4};
    auto grid = [](const DecodedImage& image) {
        return std::vector<int>{image.Row(0)[0], image.Row(0)[1], image.Row(1)[0], image.Row(1)[1]};
    };
    const std::pair<BYTE, std::vector<int>> cases[] = {
        {0x00, {3, 4, 1, 2}}, {0x20, {1, 2, 3, 4}}, {0x10, {4, 3, 2, 1}}, {0x30, {2, 1, 4, 3}}};
    for (const auto& [descriptor, expected] : cases) {
        spec.descriptor = descriptor;
        const Bytes data = MakeTga(spec);
        const auto image = Decode(data);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(grid(*image), expected) << int(descriptor);
        EXPECT_EQ(image->PixelsOwned(), descriptor != 0x20);
    }
}

TEST(TgaDecoder, RunLengthPacketsMayCrossRowsButNeverTheImage) {
    TgaSpec spec;
    spec.imageType = 11;
    spec.pixelBits = 8;
    spec.width = 3;
    spec.height = 2;
    spec.descriptor = 0x20;
    spec.pixels = {0x83, 7, 0x01, 8, 9, 0x80, 5}; // run of 4, literal of 2, run of 1
    auto image = Decode(MakeTga(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ((std::vector<int>{image->Row(0)[0], image->Row(0)[1], image->Row(0)[2], image->Row(1)[0],
                                image->Row(1)[1], image->Row(1)[2]}),
              (std::vector<int>{7, 7, 7, 7, 8, 9}));

    spec.pixels = {0x04, 1, 2, 3, 4, 5, 0x00, 6}; // a literal of five crossing the row end
    image = Decode(MakeTga(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ((std::vector<int>{image->Row(0)[0], image->Row(0)[2], image->Row(1)[0], image->Row(1)[2]}),
              (std::vector<int>{1, 3, 4, 6}));

    spec.pixels = {0xFF, 7}; // a run of 128 for six pixels
    image = Decode(MakeTga(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Row(1)[2], 7);

    spec.pixels = {0x85, 7, 0x00}; // a run of 6 fills the image; the byte after it is left alone
    EXPECT_EQ(DecodeResult(MakeTga(spec)), S_OK);
    spec.pixels = {0x02, 1, 2};
    EXPECT_EQ(DecodeResult(MakeTga(spec)), D3DXERR_INVALIDDATA) << "literal cut short";
    spec.pixels = {0x81, 1, 0x81};
    EXPECT_EQ(DecodeResult(MakeTga(spec)), D3DXERR_INVALIDDATA) << "run without its pixel";
    spec.pixels = {0x81, 1};
    EXPECT_EQ(DecodeResult(MakeTga(spec)), D3DXERR_INVALIDDATA) << "no packet for the rest";
}

TEST(TgaDecoder, ColourMapEntriesOfEverySize) {
    TgaSpec spec;
    spec.colorMapType = 1;
    spec.imageType = 1;
    spec.pixelBits = 8;
    spec.width = 2;
    spec.height = 1;
    spec.mapFirst = 5;
    spec.mapLength = 2;
    spec.pixels = {5, 6};
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
        spec.mapBits = c.bits;
        spec.map = c.map;
        const auto image = Decode(MakeTga(spec));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, D3DFMT_P8);
        EXPECT_EQ(ReadPixel(*image, 0, 0), c.first) << int(c.bits);
        EXPECT_EQ(ReadPixel(*image, 1, 0), c.second) << int(c.bits);
        const PALETTEENTRY& untouched = image->palette[0];
        EXPECT_TRUE(untouched.peRed == 255 && untouched.peFlags == 255);
    }

    spec.mapBits = 32;
    spec.map = {10, 20, 30, 0, 40, 50, 60, 0};
    const auto transparent = Decode(MakeTga(spec));
    ASSERT_NE(transparent, nullptr);
    EXPECT_EQ(ReadPixel(*transparent, 0, 0).a, 255) << "a map with no alpha anywhere is opaque";
}

TEST(TgaDecoder, ColourMapOverflowingTheFullPaletteIsRejected) {
    TgaSpec spec;
    spec.colorMapType = 1;
    spec.imageType = 1;
    spec.pixelBits = 8;
    spec.width = 1;
    spec.height = 1;
    spec.mapBits = 24;
    spec.mapFirst = 250;
    spec.mapLength = 6;
    spec.map.assign(18, 0);
    spec.pixels = {250};
    EXPECT_EQ(DecodeResult(MakeTga(spec)), S_OK);
    spec.mapLength = 7;
    spec.map.assign(21, 0);
    EXPECT_EQ(DecodeResult(MakeTga(spec)), D3DXERR_INVALIDDATA);
}

TEST(TgaDecoder, HeaderChecks) {
    TgaSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.idLength = 3;
    spec.pixels = {1, 2, 3};
    ASSERT_EQ(DecodeResult(MakeTga(spec)), S_OK) << "ID field skipped";

    Bytes noRoom = MakeTga(spec);
    noRoom.pop_back();
    EXPECT_EQ(DecodeResult(noRoom), D3DXERR_INVALIDDATA) << "pixels cut short";

    TgaSpec bad = spec;
    bad.imageType = 4;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "unknown type bit";
    bad = spec;
    bad.pixelBits = 8;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "8-bit true colour";
    bad = spec;
    bad.width = 0;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "zero width";
    bad = spec;
    bad.imageType = 1;
    bad.pixelBits = 8;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "colour-mapped without a map";
    bad = spec;
    bad.colorMapType = 1;
    bad.mapBits = 12;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "12-bit map entries";
    bad = spec;
    bad.colorMapType = 1;
    bad.mapBits = 24;
    bad.mapLength = 200;
    EXPECT_EQ(DecodeResult(MakeTga(bad)), D3DXERR_INVALIDDATA) << "map beyond the data";
}
