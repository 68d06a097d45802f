#include "ImageTestSupport.h"

using namespace imagetest;

namespace {

struct PcxFields {
    BYTE version = 5;
    BYTE encoding = 1;
    BYTE bitsPerPixel = 8;
    WORD width = 1;
    WORD height = 1;
    BYTE planes = 1;
    WORD bytesPerLine = 2;
    Bytes headerMap; // up to 48 bytes: 16 RGB entries
};

Bytes MakePcx(const PcxFields& fields, const Bytes& coded) {
    Bytes out = {0x0A, fields.version, fields.encoding, fields.bitsPerPixel};
    PutLE16(out, 0);
    PutLE16(out, 0);
    PutLE16(out, fields.width - 1u);
    PutLE16(out, fields.height - 1u);
    PutLE16(out, 72);
    PutLE16(out, 72);
    Bytes map = fields.headerMap;
    map.resize(48, 0);
    Append(out, map);
    out.push_back(0);
    out.push_back(fields.planes);
    PutLE16(out, fields.bytesPerLine);
    out.resize(128, 0);
    Append(out, coded);
    return out;
}

// The 256-colour palette that ends an 8-bit file: entry i is (i, 255 - i, 7).
Bytes EndPalette() {
    Bytes out = {0x0C};
    for (int i = 0; i < 256; ++i) {
        out.push_back(static_cast<BYTE>(i));
        out.push_back(static_cast<BYTE>(255 - i));
        out.push_back(7);
    }
    return out;
}

Rgba EndPaletteColour(int i) {
    return Rgba{i, 255 - i, 7, 255};
}

struct FixtureCase {
    const char* file;
    D3DFORMAT format;
};

class PcxImageMagickFile : public testing::TestWithParam<FixtureCase> {};

} // namespace

TEST_P(PcxImageMagickFile, DecodesToTheSourcePattern) {
    const FixtureCase& c = GetParam();
    D3DXIMAGE_INFO info{};
    const auto image = Decode(ReadFixture(c.file), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PCX);
    EXPECT_EQ(image->format, c.format);
    ASSERT_EQ(image->width, kPatternWidth);
    ASSERT_EQ(image->height, kPatternHeight);
    for (UINT y = 0; y < kPatternHeight; ++y)
        for (UINT x = 0; x < kPatternWidth; ++x)
            EXPECT_EQ(ReadPixel(*image, x, y), RichPixel(x, y)) << c.file << " at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Pcx, PcxImageMagickFile,
                         testing::Values(FixtureCase{"pcx8.pcx", D3DFMT_P8},
                                         FixtureCase{"pcx24.pcx", D3DFMT_X8R8G8B8}));

TEST(PcxDecoder, LongRunsDecodeLikeImageMagickReadsThem) {
    for (const char* name : {"pcx8-skin", "pcx24-skin"}) {
        const auto image = Decode(ReadFixture(std::string(name) + ".pcx"));
        const auto reference = Decode(ReadFixture(std::string(name) + ".png"));
        ASSERT_NE(image, nullptr);
        ASSERT_NE(reference, nullptr);
        ASSERT_EQ(image->width, 64u);
        ASSERT_EQ(image->height, 48u);
        ASSERT_EQ(reference->width, 64u);
        int differing = 0;
        for (UINT y = 0; y < 48; ++y)
            for (UINT x = 0; x < 64; ++x)
                differing += ReadPixel(*image, x, y) == ReadPixel(*reference, x, y) ? 0 : 1;
        EXPECT_EQ(differing, 0) << name;
    }
}

TEST(PcxDecoder, RunsCarryOnIntoTheNextRowAndPaddingIsDropped) {
    // 3 x 2, 4 bytes per line: one run of 6 bytes of index 9 spans row 0 and the start of row 1.
    PcxFields fields;
    fields.width = 3;
    fields.height = 2;
    fields.bytesPerLine = 4;
    Bytes coded = {0xC6, 9, 0xC2, 200};
    Append(coded, EndPalette());
    const auto image = Decode(MakePcx(fields, coded));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_P8);
    EXPECT_EQ(image->rowPitch, 3u);
    for (UINT x = 0; x < 3; ++x)
        EXPECT_EQ(ReadPixel(*image, x, 0), EndPaletteColour(9));
    EXPECT_EQ(ReadPixel(*image, 0, 1), EndPaletteColour(9));
    EXPECT_EQ(ReadPixel(*image, 1, 1), EndPaletteColour(9));
    EXPECT_EQ(ReadPixel(*image, 2, 1), EndPaletteColour(200));
}

TEST(PcxDecoder, UncodedRowsAreTakenAsTheyStand) {
    PcxFields fields;
    fields.encoding = 0;
    fields.width = 2;
    fields.bytesPerLine = 2;
    Bytes coded = {0xC1, 0xFF}; // values that would be run markers when coded
    Append(coded, EndPalette());
    const auto image = Decode(MakePcx(fields, coded));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(ReadPixel(*image, 0, 0), EndPaletteColour(0xC1));
    EXPECT_EQ(ReadPixel(*image, 1, 0), EndPaletteColour(0xFF));
}

TEST(PcxDecoder, FourPlanesCarryAlpha) {
    PcxFields fields;
    fields.width = 1;
    fields.planes = 4;
    fields.bytesPerLine = 2;
    const auto image = Decode(MakePcx(fields, {10, 0, 20, 0, 30, 0, 40, 0}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{10, 20, 30, 40}));
}

TEST(PcxDecoder, OldPlanarLayoutsUseTheHeaderMap) {
    Bytes map;
    for (int i = 0; i < 16; ++i)
        Append(map, {static_cast<BYTE>(16 * i), static_cast<BYTE>(i), 99});
    const auto mapColour = [](int i) { return Rgba{16 * i, i, 99, 255}; };

    PcxFields ega; // four 1-bit planes: pixel x takes bit p of its index from plane p
    ega.bitsPerPixel = 1;
    ega.planes = 4;
    ega.width = 2;
    ega.bytesPerLine = 2;
    ega.headerMap = map;
    // Pixel 0 = 0b1010 = 10, pixel 1 = 0b0111 = 7.
    const auto planar = Decode(MakePcx(ega, {0x40, 0, 0xC1, 0xC0, 0, 0x40, 0, 0x80, 0}));
    ASSERT_NE(planar, nullptr);
    EXPECT_EQ(ReadPixel(*planar, 0, 0), mapColour(10));
    EXPECT_EQ(ReadPixel(*planar, 1, 0), mapColour(7));

    PcxFields packed = ega; // one plane of 4-bit pixels, high nibble first
    packed.bitsPerPixel = 4;
    packed.planes = 1;
    packed.width = 3;
    const auto nibbles = Decode(MakePcx(packed, {0x5A, 0x30}));
    ASSERT_NE(nibbles, nullptr);
    EXPECT_EQ(ReadPixel(*nibbles, 0, 0), mapColour(5));
    EXPECT_EQ(ReadPixel(*nibbles, 1, 0), mapColour(10));
    EXPECT_EQ(ReadPixel(*nibbles, 2, 0), mapColour(3));

    PcxFields mono = ega; // a single 1-bit plane is black and white, whatever the map says
    mono.planes = 1;
    mono.width = 9;
    const auto bits = Decode(MakePcx(mono, {0x80, 0x80}));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(ReadPixel(*bits, 0, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(ReadPixel(*bits, 1, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(ReadPixel(*bits, 8, 0), (Rgba{255, 255, 255, 255}));
}

TEST(PcxDecoder, HeaderOnlyReadsNoPixels) {
    std::unique_ptr<DecodedImage> image;
    D3DXIMAGE_INFO info{};
    const Bytes data = ReadFixture("pcx24.pcx");
    ASSERT_EQ(DecodeImage(data.data(), data.size(), &info, false, &image), S_OK);
    EXPECT_EQ(info.Width, kPatternWidth);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image->pixels, nullptr);
}

TEST(PcxDecoder, DamagedFilesAreRefused) {
    const Bytes paletted = ReadFixture("pcx8.pcx");
    const Bytes trueColour = ReadFixture("pcx24.pcx");

    Bytes noPalette = paletted; // the last 769 bytes no longer start with the marker
    noPalette.resize(noPalette.size() - 1);
    Bytes cutShort = trueColour;
    cutShort.resize(cutShort.size() - 20);
    Bytes badPlanes = trueColour;
    badPlanes[65] = 2;
    Bytes shortLines = trueColour; // fewer bytes per line than the width needs
    shortLines[66] = 6;
    Bytes badVersion = trueColour;
    badVersion[1] = 1;
    Bytes inverted = trueColour; // xMax below xMin
    inverted[4] = 9;

    for (const Bytes* data : {&noPalette, &cutShort, &badPlanes, &shortLines, &badVersion, &inverted})
        EXPECT_EQ(DecodeResult(*data), D3DXERR_INVALIDDATA);
}

TEST(PcxDecoder, HugeClaimsAreRefusedBeforeAnythingIsAllocated) {
    PcxFields fields; // 8192 x 8192 true colour from a few bytes: refused, not out of memory
    fields.width = 8192;
    fields.height = 8192;
    fields.planes = 3;
    fields.bytesPerLine = 8192;
    EXPECT_EQ(DecodeResult(MakePcx(fields, Bytes(64, 0xFF))), D3DXERR_INVALIDDATA);

    fields.width = 8193; // beyond the largest side
    fields.height = 1;
    fields.bytesPerLine = 8194;
    EXPECT_EQ(DecodeResult(MakePcx(fields, Bytes(3 * 8194, 0x01))), D3DXERR_INVALIDDATA);
}
