#include "ImageTestSupport.h"
#include "gfxutil/image/ImageBytes.h"

using namespace imagetest;

namespace {

struct BmpLayout {
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

Bytes MakeDib(const BmpLayout& layout) {
    Bytes out;
    PutLE32(out, layout.headerSize);
    PutLE32(out, static_cast<DWORD>(layout.width));
    PutLE32(out, static_cast<DWORD>(layout.height));
    PutLE16(out, layout.planes);
    PutLE16(out, layout.bitCount);
    PutLE32(out, layout.compression);
    PutLE32(out, 0);
    PutLE32(out, 2835);
    PutLE32(out, 2835);
    PutLE32(out, layout.colorsUsed);
    PutLE32(out, 0);
    for (int i = 0; out.size() < layout.headerSize; ++i)
        PutLE32(out, i < 4 ? layout.masks[i] : 0);
    Append(out, layout.palette);
    Append(out, layout.pixels);
    return out;
}

Bytes MakeBmp(const BmpLayout& layout) {
    const Bytes dib = MakeDib(layout);
    Bytes out = {'B', 'M'};
    PutLE32(out, static_cast<DWORD>(14 + dib.size()));
    PutLE32(out, 0);
    PutLE32(out, static_cast<DWORD>(14 + layout.headerSize + layout.palette.size()));
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

BmpLayout Rle8Layout(LONG width, LONG height, Bytes codes) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = 8;
    layout.compression = 1;
    layout.colorsUsed = 16;
    layout.palette = GreyPalette(16);
    layout.pixels = std::move(codes);
    return layout;
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
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.pixels = Rows24(false);
    const Bytes bottomUp = MakeBmp(layout);
    layout.height = -2;
    layout.pixels = Rows24(true);
    const Bytes topDown = MakeBmp(layout);

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
    const auto a = Decode(MakeBmp(Rle8Layout(4, 2, bottomUpCodes)));
    const auto b = Decode(MakeBmp(Rle8Layout(4, -2, topDownCodes)));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(Indices(*a), (std::vector<int>{1, 2, 3, 4, 5, 5, 5, 5}));
    EXPECT_EQ(Indices(*b), Indices(*a));

    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.bitCount = 4;
    layout.palette = GreyPalette(16);
    layout.pixels = {0xAB, 0xC0, 0, 0, 0x12, 0x30, 0, 0}; // bottom row first
    const auto c = Decode(MakeBmp(layout));
    layout.height = -2;
    layout.pixels = {0x12, 0x30, 0, 0, 0xAB, 0xC0, 0, 0};
    const auto d = Decode(MakeBmp(layout));
    ASSERT_TRUE(c && d);
    EXPECT_EQ(Indices(*c), (std::vector<int>{1, 2, 3, 10, 11, 12}));
    EXPECT_EQ(Indices(*d), Indices(*c));
    EXPECT_EQ(c->rowPitch, 4u);
}

TEST(BmpDecoder, ThirtyTwoBitImageWithAnyNonZeroFourthByteHasAlpha) {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.bitCount = 32;
    layout.pixels = {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 1, 2, 3, 0};
    D3DXIMAGE_INFO info{};
    auto image = Decode(MakeBmp(layout), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);

    layout.pixels[11] = 1;
    image = Decode(MakeBmp(layout), &info, false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{90, 80, 70, 1}));
}

TEST(BmpDecoder, BitFieldsNeedTheMasksInsideTheHeader) {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.bitCount = 16;
    layout.compression = 3;
    layout.masks[0] = 0xF800;
    layout.masks[1] = 0x7E0;
    layout.masks[2] = 0x1F;
    layout.pixels = {0x1F, 0x00, 0x00, 0xF8};

    EXPECT_EQ(DecodeResult(MakeBmp(layout)), D3DXERR_INVALIDDATA) << "40-byte header";
    for (DWORD headerSize : {52u, 56u, 108u}) {
        layout.headerSize = headerSize;
        const auto image = Decode(MakeBmp(layout));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, D3DFMT_R5G6B5) << headerSize;
        EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{0, 0, 255, 255}));
        EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{255, 0, 0, 255}));
    }

    layout.headerSize = 56;
    layout.bitCount = 8;
    layout.pixels = {0, 0, 0, 0};
    EXPECT_EQ(DecodeResult(MakeBmp(layout)), D3DXERR_INVALIDDATA) << "8-bit bit fields";
}

TEST(BmpDecoder, BitFieldTableChoosesFormatsAndTheShiftedLayout) {
    BmpLayout layout;
    layout.headerSize = 56;
    layout.width = 1;
    layout.height = 1;
    layout.bitCount = 32;
    layout.compression = 3;
    layout.pixels = {1, 2, 3, 4};
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
        layout.masks[0] = row.red;
        layout.masks[1] = row.green;
        layout.masks[2] = row.blue;
        layout.masks[3] = row.alpha;
        const auto image = Decode(MakeBmp(layout));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, row.format);
    }

    // Red, green, blue in the top three bytes: read as X8R8G8B8 one byte further in.
    layout.masks[0] = 0xFF000000;
    layout.masks[1] = 0xFF0000;
    layout.masks[2] = 0xFF00;
    layout.masks[3] = 0;
    layout.height = -1;
    layout.pixels = {0, 30, 20, 10, 0};
    const Bytes data = MakeBmp(layout);
    const auto image = Decode(data);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{10, 20, 30, 255}));

    // The colour bytes end exactly at the end of the file; only the unused fourth byte is missing.
    for (LONG height : {-1, 1}) {
        layout.height = height;
        layout.pixels = {0, 30, 20, 10};
        const auto exact = Decode(MakeBmp(layout));
        ASSERT_NE(exact, nullptr) << height;
        EXPECT_TRUE(exact->PixelsOwned());
        EXPECT_EQ(ReadPixel(*exact, 0, 0), (Rgba{10, 20, 30, 255}));
    }
    layout.pixels = {0, 30, 20}; // a colour byte is missing
    EXPECT_EQ(DecodeResult(MakeBmp(layout)), D3DXERR_INVALIDDATA);
}

TEST(BmpDecoder, UnlistedBitFieldsBecomeFloatChannels) {
    BmpLayout layout;
    layout.headerSize = 56;
    layout.width = 2;
    layout.height = 1;
    layout.bitCount = 16;
    layout.compression = 3;
    layout.masks[0] = 0x001F; // red in the low bits: not in the table
    layout.masks[1] = 0x03E0;
    layout.masks[2] = 0x7C00;
    layout.pixels = {0x1F, 0x00, 0x00, 0x7C};
    const auto image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A32B32G32R32F);
    EXPECT_EQ(image->rowPitch, 32u);
    EXPECT_TRUE(image->PixelsOwned());
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{0, 0, 255, 255}));

    layout.bitCount = 24; // 24-bit pixels are read as three little-endian bytes
    layout.masks[0] = 0xFF;
    layout.masks[1] = 0xFF00;
    layout.masks[2] = 0xF00000;
    layout.masks[3] = 0x0F0000;
    layout.pixels = {51, 102, 0x3F, 0, 0, 0, 0, 0};
    const auto wide = Decode(MakeBmp(layout));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->format, D3DFMT_A32B32G32R32F);
    EXPECT_EQ(ReadPixel(*wide, 0, 0), (Rgba{51, 102, 51, 255}));
}

TEST(BmpDecoder, PaletteBeyondTheColoursUsedIsOpaqueWhite) {
    BmpLayout layout;
    layout.width = 2;
    layout.height = 1;
    layout.bitCount = 8;
    layout.colorsUsed = 16;
    layout.palette = GreyPalette(16);
    layout.palette[4 * 3 + 0] = 200; // entry 3: blue 200, green 3, red 3
    layout.pixels = {3, 15, 0, 0};
    const auto image = Decode(MakeBmp(layout));
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
    const auto image = Decode(MakeBmp(Rle8Layout(6, 3, codes)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image),
              (std::vector<int>{0, 0, 9, 9, 9, 0, /**/ 0, 0, 0, 0, 0, 0, /**/ 7, 7, 1, 2, 3, 0}));
}

TEST(BmpDecoder, RunLengthEndsWhenTheRowsAreUsedUp) {
    const auto image = Decode(MakeBmp(Rle8Layout(2, 2, {2, 1, 0, 0, 2, 2, 0, 0})));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{2, 2, 1, 1}));
}

TEST(BmpDecoder, RunLengthThatLeavesTheImageOrTheDataIsRejected) {
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Layout(4, 1, {5, 1, 0, 1}))), D3DXERR_INVALIDDATA)
        << "run past the row";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Layout(4, 1, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}))), D3DXERR_INVALIDDATA)
        << "literal past the row";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Layout(4, 1, {0, 2, 5, 0, 1, 1}))), D3DXERR_INVALIDDATA)
        << "delta past the row";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Layout(4, 2, {4, 1, 0, 0}))), D3DXERR_INVALIDDATA)
        << "data ends early";
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Layout(4, 2, {0, 4, 1, 2}))), D3DXERR_INVALIDDATA)
        << "literal cut short";
}

TEST(BmpDecoder, FourBitRunLengthAlternatesNibbles) {
    BmpLayout layout = Rle8Layout(5, 1, {5, 0x12, 0, 1});
    layout.bitCount = 4;
    layout.compression = 2;
    auto image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{1, 2, 1, 2, 1}));

    layout.pixels = {0, 3, 0x34, 0x50, 2, 0xEF, 0, 1}; // literal of three nibbles, two bytes, no padding
    image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{3, 4, 5, 14, 15}));

    layout.pixels = {0, 5, 0x12, 0x34, 0x50, 0, 0, 1}; // five nibbles: three bytes padded to four
    image = Decode(MakeBmp(layout));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Indices(*image), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(BmpDecoder, MalformedHeadersAreRejected) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.pixels = Rows24(false);
    const Bytes good = MakeBmp(layout);
    ASSERT_EQ(DecodeResult(good), S_OK);

    Bytes truncated(good.begin(), good.end() - 4);
    truncated[2] = static_cast<BYTE>(truncated.size());
    EXPECT_EQ(DecodeResult(truncated), D3DXERR_INVALIDDATA) << "last row incomplete";

    Bytes bigFileSize = good;
    bigFileSize[2] = static_cast<BYTE>(good.size() + 1);
    EXPECT_EQ(DecodeResult(bigFileSize), D3DXERR_INVALIDDATA) << "file size beyond the data";

    BmpLayout bad = layout;
    bad.planes = 2;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "two planes";
    bad = layout;
    bad.bitCount = 2;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "2-bit";
    bad = layout;
    bad.compression = 4;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "embedded JPEG";
    bad = layout;
    bad.colorsUsed = 0x40000000;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "palette beyond the data";
    bad = layout;
    bad.width = 0x7FFFFFFF;
    EXPECT_EQ(DecodeResult(MakeBmp(bad)), D3DXERR_INVALIDDATA) << "rows beyond the data";

    Bytes shortHeader = MakeBmp(layout);
    shortHeader[14] = 24;
    EXPECT_EQ(DecodeResult(shortHeader), D3DXERR_INVALIDDATA) << "24-byte header";
}

TEST(BmpDecoder, ImagesAboveTheLimitOrBeyondTheirRunLengthDataAreRefusedBeforeAllocating) {
    EXPECT_EQ(DecodeResult(MakeBmp(Rle8Layout(0x7FFFFFFF, 0x7FFFFFFF, {0, 1}))), D3DXERR_INVALIDDATA);
    D3DXIMAGE_INFO info{};
    std::unique_ptr<DecodedImage> image;
    Bytes data = MakeBmp(Rle8Layout(8193, 8192, {0, 1}));
    EXPECT_EQ(DecodeImage(data.data(), data.size(), &info, false, &image), D3DXERR_INVALIDDATA)
        << "header only";
    data = MakeBmp(Rle8Layout(8192, 8192, {0, 1}));
    ASSERT_EQ(DecodeImage(data.data(), data.size(), &info, false, &image), S_OK);
    EXPECT_EQ(info.Width, 8192u);

    // Every two bytes of codes cover 255 pixels at most: 3000 x 3000 pixels need 70590 bytes.
    Bytes codes;
    for (int row = 0; row < 3000; ++row) {
        for (int run = 0; run < 11; ++run)
            Append(codes, {255, 5});
        Append(codes, {195, 5, 0, 0});
    }
    data = MakeBmp(Rle8Layout(3000, 3000, codes));
    DecodedImage whole;
    EXPECT_EQ(DecodeBmp(data.data(), data.size(), whole), S_OK);

    data = MakeBmp(Rle8Layout(3000, 3000, Bytes(70588, 0)));
    DecodedImage refused;
    EXPECT_EQ(DecodeBmp(data.data(), data.size(), refused), E_FAIL);
    EXPECT_EQ(refused.ownedPixels.capacity(), 0u) << "refused before allocating";
}

TEST(BmpDecoder, SmallRunLengthImagesMayEndEarly) {
    const auto image = Decode(MakeBmp(Rle8Layout(1000, 1000, {3, 7, 0, 1})));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Row(999)[2], 7);
    EXPECT_EQ(image->Row(998)[0], 0);
}

// Writers may leave a gap between the palette and the pixels; the file header's pixel offset
// says where the pixels are (ImageMagick decodes these files the same way).
TEST(BmpDecoder, PixelOffsetPastTheHeaderAndPaletteIsHonoured) {
    for (const char* file : {"bmp24.bmp", "bmp8.bmp"}) {
        Bytes data = ReadFixture(file);
        const DWORD offset = ReadLE32(data.data() + 10);
        Bytes gap(52);
        for (std::size_t i = 0; i < gap.size(); ++i)
            gap[i] = static_cast<BYTE>(0xA5 ^ i);
        data.insert(data.begin() + offset, gap.begin(), gap.end());
        PokeLE32(data, 2, static_cast<DWORD>(data.size()));
        PokeLE32(data, 10, offset + 52);
        const auto image = Decode(data);
        ASSERT_NE(image, nullptr) << file;
        for (UINT y = 0; y < kPatternHeight; ++y)
            for (UINT x = 0; x < kPatternWidth; ++x)
                EXPECT_EQ(ReadPixel(*image, x, y), RichPixel(x, y)) << file << " at " << x << ", " << y;
    }
}

TEST(BmpDecoder, PixelOffsetInsideTheHeaderOrPaletteIsIgnored) {
    Bytes data = ReadFixture("bmp8.bmp");
    PokeLE32(data, 10, 20);
    const auto image = Decode(data);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(ReadPixel(*image, 3, 2), RichPixel(3, 2));
    PokeLE32(data, 10, static_cast<DWORD>(data.size()) + 1);
    EXPECT_EQ(DecodeResult(data), D3DXERR_INVALIDDATA) << "pixels past the end";
}

TEST(BmpDecoder, HeaderlessBitmapIsRecognisedLast) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.pixels = Rows24(false);
    D3DXIMAGE_INFO info{};
    const auto image = Decode(MakeDib(layout), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DIB);
    EXPECT_EQ(image->fileFormat, D3DXIFF_DIB);
    EXPECT_EQ(ReadPixel(*image, 2, 1), (Rgba{19, 18, 17, 255}));
}
