#include "ImageTestSupport.h"

using namespace imagetest;

namespace {

struct BmpSpec {
    DWORD headerSize = 40;
    LONG width = 0;
    LONG height = 0;
    WORD planes = 1;
    WORD bitCount = 24;
    DWORD compression = 0;
    DWORD colorsUsed = 0;
    DWORD masks[4] = {}; // red, green, blue, alpha
    Bytes palette;       // blue, green, red, reserved per entry
    Bytes pixels;
};

Bytes MakeDib(const BmpSpec& spec) {
    Bytes out;
    PutLE32(out, spec.headerSize);
    PutLE32(out, static_cast<DWORD>(spec.width));
    PutLE32(out, static_cast<DWORD>(spec.height));
    PutLE16(out, spec.planes);
    PutLE16(out, spec.bitCount);
    PutLE32(out, spec.compression);
    PutLE32(out, 0);
    PutLE32(out, 2835);
    PutLE32(out, 2835);
    PutLE32(out, spec.colorsUsed);
    PutLE32(out, 0);
    for (int i = 0; out.size() < spec.headerSize; ++i)
        PutLE32(out, i < 4 ? spec.masks[i] : 0);
    Append(out, spec.palette);
    Append(out, spec.pixels);
    return out;
}

Bytes MakeBmp(const BmpSpec& spec) {
    const Bytes dib = MakeDib(spec);
    Bytes out = {'B', 'M'};
    PutLE32(out, static_cast<DWORD>(14 + dib.size()));
    PutLE32(out, 0);
    PutLE32(out, static_cast<DWORD>(14 + spec.headerSize + spec.palette.size()));
    Append(out, dib);
    return out;
}

// A 3 x 2 24-bit image; row 0 is the top row. Rows padded to 12 bytes.
Bytes Rows24(bool topDown) {
    const Bytes top = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
    const Bytes bottom = {11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
    Bytes out = topDown ? top : bottom;
    Append(out, topDown ? bottom : top);
    return out;
}

Bytes GreyPalette(int entries) {
    Bytes palette;
    for (int i = 0; i < entries; ++i)
        Append(palette, {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0});
    return palette;
}

BmpSpec Rle8Spec(LONG width, LONG height, Bytes codes) {
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitCount = 8;
    spec.compression = 1;
    spec.colorsUsed = 16;
    spec.palette = GreyPalette(16);
    spec.pixels = std::move(codes);
    return spec;
}

std::vector<int> Indices(const DecodedImage& image) {
    std::vector<int> out;
    for (UINT y = 0; y < image.height; ++y)
        for (UINT x = 0; x < image.width; ++x)
            out.push_back(image.Row(y)[x]);
    return out;
}

struct FixtureCase {
    const char* file;
    D3DFORMAT format;
    Rgba (*pattern)(UINT, UINT);
};

class BmpFixture : public testing::TestWithParam<FixtureCase> {};

} // namespace

TEST_P(BmpFixture, DecodesTheImageMagickFileToTheSourcePattern) {
    const FixtureCase& c = GetParam();
    const Bytes data = ReadFixture(c.file);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    EXPECT_EQ(image->format, c.format);
    ASSERT_EQ(image->width, kPatternWidth);
    ASSERT_EQ(image->height, kPatternHeight);
    for (UINT y = 0; y < kPatternHeight; ++y)
        for (UINT x = 0; x < kPatternWidth; ++x)
            EXPECT_EQ(ReadPixel(*image, x, y), c.pattern(x, y)) << c.file << " at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(EveryBitCount, BmpFixture,
                         testing::Values(FixtureCase{"bmp1.bmp", D3DFMT_P8, MonoPixel},
                                         FixtureCase{"bmp4.bmp", D3DFMT_P8, SaturatedPixel},
                                         FixtureCase{"bmp8.bmp", D3DFMT_P8, RichPixel},
                                         FixtureCase{"bmp8-rle.bmp", D3DFMT_P8, RichPixel},
                                         FixtureCase{"bmp16-555.bmp", D3DFMT_X1R5G5B5, SaturatedPixel},
                                         FixtureCase{"bmp16-565.bmp", D3DFMT_R5G6B5, SaturatedPixel},
                                         FixtureCase{"bmp24.bmp", D3DFMT_R8G8B8, RichPixel},
                                         FixtureCase{"bmp32-alpha.bmp", D3DFMT_A8R8G8B8, RichPixelWithAlpha},
                                         FixtureCase{"bmp32-v5-alpha.bmp", D3DFMT_A8R8G8B8,
                                                     RichPixelWithAlpha}));

TEST(BmpDecoder, BottomUpAndTopDownRowsDecodeAlikeAndTopDownIsUsedInPlace) {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.pixels = Rows24(false);
    const Bytes bottomUp = MakeBmp(spec);
    spec.height = -2;
    spec.pixels = Rows24(true);
    const Bytes topDown = MakeBmp(spec);

    const auto a = Decode(bottomUp);
    const auto b = Decode(topDown);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(b->height, 2u);
    EXPECT_EQ(a->rowPitch, 12u);
    EXPECT_EQ(b->rowPitch, 12u);
    for (UINT y = 0; y < 2; ++y)
        EXPECT_EQ(0, std::memcmp(a->Row(y), b->Row(y), 9)) << "row " << y;
    EXPECT_EQ(ReadPixel(*a, 0, 0), (Rgba{3, 2, 1, 255}));
    EXPECT_TRUE(a->PixelsOwned());
    EXPECT_FALSE(b->PixelsOwned());
    EXPECT_EQ(b->pixels, topDown.data() + 54);
}

TEST(BmpDecoder, TopDownAndBottomUpRunLengthAndFourBitImagesDecodeAlike) {
    // Two rows: top 1 2 3 4, bottom 5 5 5 5.
    const Bytes top = {0, 4, 1, 2, 3, 4, 0, 0};
    const Bytes bottom = {4, 5, 0, 0};
    Bytes bottomUpCodes = bottom;
    Append(bottomUpCodes, top);
    Append(bottomUpCodes, {0, 1});
    Bytes topDownCodes = top;
    Append(topDownCodes, bottom);
    Append(topDownCodes, {0, 1});
    const auto a = Decode(MakeBmp(Rle8Spec(4, 2, bottomUpCodes)));
    const auto b = Decode(MakeBmp(Rle8Spec(4, -2, topDownCodes)));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Indices(*a), (std::vector<int>{1, 2, 3, 4, 5, 5, 5, 5}));
    EXPECT_EQ(Indices(*b), Indices(*a));

    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.bitCount = 4;
    spec.palette = GreyPalette(16);
    spec.pixels = {0xAB, 0xC0, 0, 0, 0x12, 0x30, 0, 0}; // bottom row first
    const auto c = Decode(MakeBmp(spec));
    spec.height = -2;
    spec.pixels = {0x12, 0x30, 0, 0, 0xAB, 0xC0, 0, 0};
    const auto d = Decode(MakeBmp(spec));
    ASSERT_TRUE(c && d);
    EXPECT_EQ(Indices(*c), (std::vector<int>{1, 2, 3, 10, 11, 12}));
    EXPECT_EQ(Indices(*d), Indices(*c));
    EXPECT_EQ(c->rowPitch, 4u);
}

TEST(BmpDecoder, ThirtyTwoBitImageWithAnyNonZeroFourthByteHasAlpha) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.bitCount = 32;
    spec.pixels = {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 2, 3, 0};
    D3DXIMAGE_INFO info{};
    auto image = Decode(MakeBmp(spec), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);

    spec.pixels[11] = 1;
    image = Decode(MakeBmp(spec), &info, false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    image = Decode(MakeBmp(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{90, 80, 70, 1}));
}

TEST(BmpDecoder, BitFieldsNeedTheMasksInsideTheHeader) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.bitCount = 16;
    spec.compression = 3;
    spec.masks[0] = 0xF800;
    spec.masks[1] = 0x7E0;
    spec.masks[2] = 0x1F;
    spec.pixels = {0x1F, 0x00, 0x00, 0xF8};

    EXPECT_EQ(DecodeResult(MakeBmp(spec)), D3DXERR_INVALIDDATA) << "40-byte header";
    for (DWORD headerSize : {52u, 56u, 108u}) {
        spec.headerSize = headerSize;
        const auto image = Decode(MakeBmp(spec));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, D3DFMT_R5G6B5) << headerSize;
        EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{0, 0, 255, 255}));
        EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{255, 0, 0, 255}));
    }

    spec.headerSize = 56;
    spec.bitCount = 8;
    spec.pixels = {0, 0, 0, 0};
    EXPECT_EQ(DecodeResult(MakeBmp(spec)), D3DXERR_INVALIDDATA) << "8-bit bit fields";
}

TEST(BmpDecoder, BitFieldTableChoosesFormatsAndTheShiftedLayout) {
    BmpSpec spec;
    spec.headerSize = 56;
    spec.width = 1;
    spec.height = 1;
    spec.bitCount = 32;
    spec.compression = 3;
    spec.pixels = {1, 2, 3, 4};
    struct {
        DWORD red, green, blue, alpha;
        D3DFORMAT format;
    } const rows[] = {
        {0xFF0000, 0xFF00, 0xFF, 0xFF000000, D3DFMT_A8R8G8B8},
        {0xFF, 0xFF00, 0xFF0000, 0, D3DFMT_X8B8G8R8},
        {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000, D3DFMT_A2R10G10B10},
        {0xFFFF, 0xFFFF0000, 0, 0, D3DFMT_G16R16},
    };
    for (const auto& row : rows) {
        spec.masks[0] = row.red;
        spec.masks[1] = row.green;
        spec.masks[2] = row.blue;
        spec.masks[3] = row.alpha;
        const auto image = Decode(MakeBmp(spec));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, row.format);
    }

    // Red, green, blue in the top three bytes: read as X8R8G8B8 one byte further in.
    spec.masks[0] = 0xFF000000;
    spec.masks[1] = 0xFF0000;
    spec.masks[2] = 0xFF00;
    spec.masks[3] = 0;
    spec.height = -1;
    spec.pixels = {0, 30, 20, 10, 0};
    const Bytes data = MakeBmp(spec);
    const auto image = Decode(data);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{10, 20, 30, 255}));

    spec.pixels = {0, 30, 20, 10}; // the shifted pixel's last byte is missing
    EXPECT_EQ(DecodeResult(MakeBmp(spec)), D3DXERR_INVALIDDATA);
}

TEST(BmpDecoder, UnlistedBitFieldsBecomeFloatChannels) {
    BmpSpec spec;
    spec.headerSize = 56;
    spec.width = 2;
    spec.height = 1;
    spec.bitCount = 16;
    spec.compression = 3;
    spec.masks[0] = 0x001F; // red in the low bits: not in the table
    spec.masks[1] = 0x03E0;
    spec.masks[2] = 0x7C00;
    spec.pixels = {0x1F, 0x00, 0x00, 0x7C};
    const auto image = Decode(MakeBmp(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A32B32G32R32F);
    EXPECT_EQ(image->rowPitch, 32u);
    EXPECT_TRUE(image->PixelsOwned());
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{0, 0, 255, 255}));

    spec.bitCount = 24; // 24-bit pixels are read as three little-endian bytes
    spec.masks[0] = 0xFF;
    spec.masks[1] = 0xFF00;
    spec.masks[2] = 0xF00000;
    spec.masks[3] = 0x0F0000;
    spec.pixels = {51, 102, 0x3F, 0, 0, 0, 0, 0};
    const auto wide = Decode(MakeBmp(spec));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->format, D3DFMT_A32B32G32R32F);
    EXPECT_EQ(ReadPixel(*wide, 0, 0), (Rgba{51, 102, 51, 255}));
}

TEST(BmpDecoder, PaletteBeyondTheColoursUsedIsOpaqueWhite) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.bitCount = 8;
    spec.colorsUsed = 16;
    spec.palette = GreyPalette(16);
    spec.palette[4 * 3 + 0] = 200; // entry 3: blue 200, green 3, red 3
    spec.pixels = {3, 15, 0, 0};
    const auto image = Decode(MakeBmp(spec));
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->palette.size(), 256u);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{3, 3, 200, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{15, 15, 15, 255}));
    for (int i = 16; i < 256; ++i) {
        const PALETTEENTRY& e = image->palette[i];
        EXPECT_TRUE(e.peRed == 255 && e.peGreen == 255 && e.peBlue == 255 && e.peFlags == 255) << i;
    }
}

TEST(BmpDecoder, CoreHeaderHasThreeBytePaletteEntries) {
    Bytes dib;
    PutLE32(dib, 12);
    PutLE16(dib, 2);
    PutLE16(dib, 1);
    PutLE16(dib, 1);
    PutLE16(dib, 1);
    Append(dib, {0, 0, 0, 10, 20, 30}); // two colours, blue green red
    Append(dib, {0x40, 0, 0, 0});       // pixels 0, 1
    Bytes file = {'B', 'M'};
    PutLE32(file, static_cast<DWORD>(14 + dib.size()));
    PutLE32(file, 0);
    PutLE32(file, 32);
    Append(file, dib);
    const auto image = Decode(file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_P8);
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{30, 20, 10, 255}));
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{0, 0, 0, 255}));
}

TEST(BmpDecoder, RunLengthEscapesMoveTheWritePosition) {
    // 6 x 3, bottom-up. Bottom row: run of 2 x 7, literal 1 2 3 (padded), end of line.
    // Middle row: delta 2 right 1 down ... lands on the top row at column 2: run 3 x 9. End.
    const Bytes codes = {2, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 3, 9, 0, 1};
    const auto image = Decode(MakeBmp(Rle8Spec(6, 3, codes)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image),
              (std::vector<int>{0, 0, 9, 9, 9, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 7, 7, 1, 2, 3, 0}));
}

TEST(BmpDecoder, RunLengthEndsWhenTheRowsAreUsedUp) {
    const auto image = Decode(MakeBmp(Rle8Spec(2, 2, {2, 1, 0, 0, 2, 2, 0, 0})));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{2, 2, 1, 1}));
}

TEST(BmpDecoder, RunLengthThatLeavesTheImageOrTheDataIsRejected) {
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Spec(4, 1, {5, 1, 0, 1}))), D3DXERR_INVALIDDATA) << "run past the row";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Spec(4, 1, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}))), D3DXERR_INVALIDDATA)
        << "literal past the row";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Spec(4, 1, {0, 2, 5, 0, 1, 1}))), D3DXERR_INVALIDDATA)
        << "delta past the row";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Spec(4, 2, {4, 1, 0, 0}))), D3DXERR_INVALIDDATA) << "data ends early";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Spec(4, 2, {0, 4, 1, 2}))), D3DXERR_INVALIDDATA)
        << "literal cut short";
}

TEST(BmpDecoder, FourBitRunLengthAlternatesNibbles) {
    BmpSpec spec = Rle8Spec(5, 1, {5, 0x12, 0, 1});
    spec.bitCount = 4;
    spec.compression = 2;
    auto image = Decode(MakeBmp(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{1, 2, 1, 2, 1}));

    spec.pixels = {0, 3, 0x34, 0x50, 2, 0xEF, 0, 1}; // literal of three nibbles, two bytes, no padding
    image = Decode(MakeBmp(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{3, 4, 5, 14, 15}));

    spec.pixels = {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}; // five nibbles: three bytes padded to four
    image = Decode(MakeBmp(spec));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(BmpDecoder, MalformedHeadersAreRejected) {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.pixels = Rows24(false);
    const Bytes good = MakeBmp(spec);
    ASSERT_EQ(DecodeResult(good), S_OK);

    Bytes truncated(good.begin(), good.end() - 4);
    truncated[2] = static_cast<BYTE>(truncated.size());
    EXPECT_EQ(DecodeResult(truncated), D3DXERR_INVALIDDATA) << "last row incomplete";

    Bytes bigFileSize = good;
    bigFileSize[2] = static_cast<BYTE>(good.size() + 1);
    EXPECT_EQ(DecodeResult(bigFileSize), D3DXERR_INVALIDDATA) << "file size beyond the data";

    BmpSpec bad = spec;
    bad.planes = 2;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "two planes";
    bad = spec;
    bad.bitCount = 2;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "2-bit";
    bad = spec;
    bad.compression = 4;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "embedded JPEG";
    bad = spec;
    bad.colorsUsed = 0x40000000;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "palette beyond the data";
    bad = spec;
    bad.width = 0x7FFFFFFF;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "rows beyond the data";

    Bytes shortHeader = MakeBmp(spec);
    shortHeader[14] = 24;
    EXPECT_EQ(DecodeResult(shortHeader), D3DXERR_INVALIDDATA) << "24-byte header";
}

TEST(BmpDecoder, RunLengthImageTooLargeToHoldFailsAsOutOfMemory) {
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Spec(0x7FFFFFFF, 0x7FFFFFFF, {0, 1}))), E_OUTOFMEMORY);
    D3DXIMAGE_INFO info{};
    std::unique_ptr<DecodedImage> image;
    const Bytes data = MakeBmp(Rle8Spec(40000, 30000, {0, 1}));
    ASSERT_EQ(DecodeImage(data.data(), data.size(), &info, false, &image), S_OK);
    EXPECT_EQ(info.Width, 40000u);
}

TEST(BmpDecoder, HeaderlessBitmapIsRecognisedLast) {
    BmpSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.pixels = Rows24(false);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(MakeDib(spec), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DIB);
    EXPECT_EQ(image->fileFormat, D3DXIFF_DIB);
    EXPECT_EQ(ReadPixel(*image, 2, 1), (Rgba{19, 18, 17, 255}));
}
