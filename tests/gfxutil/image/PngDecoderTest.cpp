#include <png.h>

#include <cmath>

#include "ImageTestSupport.h"

using namespace imagetest;

namespace {

// A PNG written by libpng, for the cases the fixtures do not cover.
struct PngLayout {
    UINT width = 2;
    UINT height = 1;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_GRAY;
    Bytes rows; // packed as PNG stores them (16-bit samples big-endian)
    std::vector<png_color> palette;
    Bytes paletteAlpha;
    bool transparentColour = false;
    png_color_16 transparent{};
    double gamma = 0.0; // gAMA chunk when non-zero
};

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

Bytes WritePng(const PngLayout& layout) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test image";
        return {};
    }
    png_set_write_fn(png, &out, AppendToBytes, NoFlush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()),
                     nullptr);
    if (layout.transparentColour)
        png_set_tRNS(png, info, nullptr, 0, &layout.transparent);
    if (layout.gamma != 0.0)
        png_set_gAMA(png, info, layout.gamma);
    png_write_info(png, info);
    const std::size_t rowBytes = layout.rows.size() / layout.height;
    for (UINT y = 0; y < layout.height; ++y)
        png_write_row(png, layout.rows.data() + y * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

struct FixtureCase {
    const char* file;
    D3DFORMAT format;
    Rgba (*pattern)(UINT, UINT);
};

class PngFixture : public testing::TestWithParam<FixtureCase> {};

Rgba GreyWithAlpha(UINT x, UINT y) {
    Rgba c = GreyPixel(x, y);
    c.a = GreyLevel(x, y);
    return c;
}

} // namespace

TEST_P(PngFixture, DecodesTheImageMagickFileToTheSourcePattern) {
    const FixtureCase& c = GetParam();
    const Bytes data = ReadFixture(c.file);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    EXPECT_EQ(image->format, c.format);
    EXPECT_EQ(info.Format, PublicImageFormat(c.format));
    ASSERT_EQ(image->width, kPatternWidth);
    ASSERT_EQ(image->height, kPatternHeight);
    for (UINT y = 0; y < kPatternHeight; ++y)
        for (UINT x = 0; x < kPatternWidth; ++x)
            EXPECT_EQ(ReadPixel(*image, x, y), c.pattern(x, y)) << c.file << " at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(ColourTypesAndDepths, PngFixture,
                         testing::Values(FixtureCase{"png-grey8.png", D3DFMT_L8, GreyPixel},
                                         FixtureCase{"png-grey4.png", D3DFMT_L8, Grey4Pixel},
                                         FixtureCase{"png-grey16.png", D3DFMT_L16, GreyPixel},
                                         FixtureCase{"png-grey-alpha8.png", D3DFMT_A8L8, GreyWithAlpha},
                                         FixtureCase{"png-palette.png", D3DFMT_P8, RichPixel},
                                         FixtureCase{"png-rgb8.png", D3DFMT_X8R8G8B8, RichPixel},
                                         FixtureCase{"png-rgb8-interlaced.png", D3DFMT_X8R8G8B8, RichPixel},
                                         FixtureCase{"png-rgb16.png", kFormatRGB16, RichPixel},
                                         FixtureCase{"png-rgba8.png", D3DFMT_A8R8G8B8, RichPixelWithAlpha},
                                         FixtureCase{"png-rgba16.png", D3DFMT_A16B16G16R16,
                                                     RichPixelWithAlpha}));

TEST(PngDecoder, EightBitRgbGetsAnOpaqueFillerByte) {
    const auto image = Decode(ReadFixture("png-rgb8.png"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->rowPitch, 4 * kPatternWidth);
    EXPECT_EQ(image->Row(1)[4 * 3 + 3], 255);
}

TEST(PngDecoder, SixteenBitSamplesAreLittleEndian) {
    PngLayout layout;
    layout.bitDepth = 16;
    layout.rows = {0x12, 0x34, 0xAB, 0xCD};
    auto image = Decode(WritePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_L16);
    EXPECT_EQ((Bytes{image->Row(0), image->Row(0) + 4}), (Bytes{0x34, 0x12, 0xCD, 0xAB}));

    layout.colorType = PNG_COLOR_TYPE_RGB;
    layout.width = 1;
    layout.rows = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    image = Decode(WritePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, kFormatRGB16);
    EXPECT_EQ((Bytes{image->Row(0), image->Row(0) + 6}), (Bytes{0x06, 0x05, 0x04, 0x03, 0x02, 0x01}))
        << "blue, green, red";

    layout.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    layout.rows = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    image = Decode(WritePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A16B16G16R16);
    EXPECT_EQ((Bytes{image->Row(0), image->Row(0) + 8}),
              (Bytes{0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0x08, 0x07}))
        << "red, green, blue, alpha";
}

TEST(PngDecoder, TransparentColourAddsAlpha) {
    PngLayout layout;
    layout.rows = {10, 20};
    layout.transparentColour = true;
    layout.transparent.gray = 20;
    auto image = Decode(WritePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A8L8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{10, 10, 10, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{20, 20, 20, 0}));

    layout.colorType = PNG_COLOR_TYPE_RGB;
    layout.rows = {1, 2, 3, 4, 5, 6};
    layout.transparent = png_color_16{0, 4, 5, 6, 0};
    image = Decode(WritePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{1, 2, 3, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{4, 5, 6, 0}));

    layout.bitDepth = 16;
    layout.rows = {0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6};
    image = Decode(WritePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A16B16G16R16);

    layout.colorType = PNG_COLOR_TYPE_GRAY;
    layout.rows = {0, 1, 0, 2};
    layout.transparent.gray = 2;
    D3DXIMAGE_INFO info{};
    image = Decode(WritePng(layout), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, kFormatAL16);
    EXPECT_EQ(info.Format, D3DFMT_A8L8);
    EXPECT_EQ(Word(image->Row(0) + 6), 0);
    EXPECT_EQ(Word(image->Row(0) + 2), 0xFFFF);
}

TEST(PngDecoder, PaletteTakesAlphaFromTheTransparencyChunkAndIsWhiteBeyondTheColours) {
    PngLayout layout;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    layout.bitDepth = 2;
    layout.width = 4;
    layout.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    layout.paletteAlpha = {128};
    layout.rows = {0b00011011}; // indices 0 1 2 3
    const auto image = Decode(WritePng(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_P8);
    EXPECT_EQ((Bytes{image->Row(0), image->Row(0) + 4}), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{10, 20, 30, 128}));
    EXPECT_EQ(ReadPixel(*image, 2, 0), (Rgba{70, 80, 90, 255}));
    EXPECT_EQ(ReadPixel(*image, 3, 0), (Rgba{255, 255, 255, 255}));
}

TEST(PngDecoder, FileGammaIsCorrectedForTheScreen) {
    const auto expected = [](int v) {
        return static_cast<int>(255.0 * std::pow(v / 255.0, 1.0 / 2.2) + 0.5);
    };
    PngLayout layout;
    layout.colorType = PNG_COLOR_TYPE_PALETTE;
    layout.palette = {{0, 64, 128}, {192, 255, 32}};
    layout.rows = {0, 1};
    layout.gamma = 1.0;
    const auto palette = Decode(WritePng(layout));
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(ReadPixel(*palette, 0, 0), (Rgba{0, expected(64), expected(128), 255}));
    EXPECT_EQ(ReadPixel(*palette, 1, 0), (Rgba{expected(192), 255, expected(32), 255}));

    layout = PngLayout{};
    layout.rows = {64, 128};
    layout.gamma = 1.0;
    const auto grey = Decode(WritePng(layout));
    ASSERT_NE(grey, nullptr);
    EXPECT_NEAR(grey->Row(0)[0], expected(64), 1);
    EXPECT_NEAR(grey->Row(0)[1], expected(128), 1);
}

TEST(PngDecoder, DamagedFilesAreRejected) {
    const Bytes good = ReadFixture("png-rgb8.png");
    ASSERT_EQ(DecodeResult(good), S_OK);
    const Bytes truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
    EXPECT_EQ(DecodeResult(truncated), D3DXERR_INVALIDDATA);
    Bytes badCrc = good;
    badCrc[29] ^= 0xFF; // inside the header chunk's checksum
    EXPECT_EQ(DecodeResult(badCrc), D3DXERR_INVALIDDATA);
    Bytes badSignature = good;
    badSignature[1] = 'Q';
    EXPECT_EQ(DecodeResult(badSignature), D3DXERR_INVALIDDATA);
}

TEST(PngDecoder, HeaderOnlyReadsTheSizeAndFormat) {
    const Bytes data = ReadFixture("png-rgba16.png");
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info, false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixels, nullptr);
    EXPECT_EQ(info.Width, kPatternWidth);
    EXPECT_EQ(info.Format, D3DFMT_A16B16G16R16);
}
