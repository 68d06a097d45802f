// PPM, PFM and Radiance HDR: the formats with text headers.

#include <cmath>
#include <string>

#include "ImageTestSupport.h"

using namespace imagetest;

namespace {

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

void PutFloat(Bytes& out, float value, bool littleEndian) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(bits >> (littleEndian ? 8 * i : 24 - 8 * i)));
}

float Channel(const DecodedImage& image, UINT x, UINT y, int channel) {
    return FloatAt(image.Row(y) + 16 * x + 4 * channel);
}

} // namespace

TEST(PpmDecoder, TextSamplesWithCommentsAreScaledToEightBits) {
    D3DXIMAGE_INFO info{};
    const auto image = Decode(Text("P3\n# made by hand\n2 # width\n1\n15\n15 0 0\n0 7 15\n"), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PPM);
    EXPECT_EQ(image->format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 0), (Rgba{0, 119, 255, 255}));
    EXPECT_EQ(image->Row(0)[3], 0xFF);
}

TEST(PpmDecoder, RawSamplesFollowOneWhiteSpaceByte) {
    Bytes data = Text("P6 2 2 255\n");
    Append(data, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
    const auto image = Decode(data);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 2u);
    EXPECT_EQ(ReadPixel(*image, 0, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(ReadPixel(*image, 1, 1), (Rgba{100, 110, 120, 255}));

    Bytes scaled = Text("P6 1 1 127\n");
    Append(scaled, {127, 0, 64});
    const auto half = Decode(scaled);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(ReadPixel(*half, 0, 0), (Rgba{255, 0, 129, 255}));
}

TEST(PpmDecoder, InvalidFilesAreRejected) {
    Bytes wide = Text("P6 1 1 256\n");
    Append(wide, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(DecodeResult(wide), D3DXERR_INVALIDDATA) << "raw samples above 255";
    EXPECT_EQ(DecodeResult(Text("P3 1 1 10\n11 0 0\n")), D3DXERR_INVALIDDATA) << "sample above the maximum";
    EXPECT_EQ(DecodeResult(Text("P3 2 1 10\n1 2 3\n")), D3DXERR_INVALIDDATA) << "too few samples";
    EXPECT_EQ(DecodeResult(Text("P3 1 1 10\n1 2 x\n")), D3DXERR_INVALIDDATA) << "not a number";
    EXPECT_EQ(DecodeResult(Text("P3 1 1 0\n0 0 0\n")), D3DXERR_INVALIDDATA) << "zero maximum";
    EXPECT_EQ(DecodeResult(Text("P3 0 1 10\n")), D3DXERR_INVALIDDATA) << "zero width";
    EXPECT_EQ(DecodeResult(Text("P3 -1 1 10\n1 1 1\n")), D3DXERR_INVALIDDATA) << "negative width";
    Bytes shortRaw = Text("P6 2 1 255\n");
    Append(shortRaw, {1, 2, 3, 4, 5});
    EXPECT_EQ(DecodeResult(shortRaw), D3DXERR_INVALIDDATA) << "raw samples cut short";
    EXPECT_EQ(DecodeResult(Text("P3 100000 100000 255\n1 1 1\n")), D3DXERR_INVALIDDATA)
        << "size beyond the data";
}

TEST(PfmDecoder, ColourAndGreyMapsInBothByteOrdersRowsBottomUp) {
    Bytes colour = Text("PF\n1 2\n-1.0\n");
    for (float v : {0.25f, 0.5f, 0.75f, 1.5f, 2.0f, -1.0f})
        PutFloat(colour, v, true);
    D3DXIMAGE_INFO info{};
    auto image = Decode(colour, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PFM);
    EXPECT_EQ(image->format, D3DFMT_A32B32G32R32F);
    EXPECT_EQ(Channel(*image, 0, 0, 0), 1.5f) << "the top row comes last";
    EXPECT_EQ(Channel(*image, 0, 0, 2), -1.0f);
    EXPECT_EQ(Channel(*image, 0, 1, 1), 0.5f);
    EXPECT_EQ(Channel(*image, 0, 1, 3), 1.0f);

    Bytes grey = Text("Pf 2 1 1.0\n");
    PutFloat(grey, 0.125f, false);
    PutFloat(grey, 3.0f, false);
    image = Decode(grey);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Channel(*image, 0, 0, 0), 0.125f);
    EXPECT_EQ(Channel(*image, 0, 0, 2), 0.125f);
    EXPECT_EQ(Channel(*image, 1, 0, 1), 3.0f);

    grey.pop_back();
    EXPECT_EQ(DecodeResult(grey), D3DXERR_INVALIDDATA) << "cut short";
    EXPECT_EQ(DecodeResult(Text("PF 1 1 nan\n____________")), D3DXERR_INVALIDDATA) << "no scale";
}

namespace {

const std::string kRgbeHeader = "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n";

} // namespace

TEST(HdrDecoder, FlatPixelsDecodeToFloats) {
    Bytes data = Text(kRgbeHeader + "-Y 2 +X 1\n");
    Append(data, {128, 64, 0, 129, 0, 0, 0, 0});
    D3DXIMAGE_INFO info{};
    const auto image = Decode(data, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_HDR);
    EXPECT_EQ(image->format, D3DFMT_A32B32G32R32F);
    EXPECT_FLOAT_EQ(Channel(*image, 0, 0, 0), 128.5f / 128);
    EXPECT_FLOAT_EQ(Channel(*image, 0, 0, 1), 64.5f / 128);
    EXPECT_FLOAT_EQ(Channel(*image, 0, 0, 2), 0.5f / 128);
    EXPECT_EQ(Channel(*image, 0, 0, 3), 1.0f);
    EXPECT_EQ(Channel(*image, 0, 1, 0), 0.0f) << "exponent 0 is black";
}

TEST(HdrDecoder, ExposureOrientationAndRepeatCodes) {
    Bytes data = Text("#?RADIANCE\nEXPOSURE=2\nEXPOSURE= 2.0\n\n+Y 2 -X 4\n");
    // Bottom row first, right to left: a pixel then the repeat code for three more.
    Append(data, {128, 0, 0, 129, 1, 1, 1, 3});
    Append(data, {0, 128, 0, 129, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 128, 129});
    const auto image = Decode(data);
    ASSERT_NE(image, nullptr);
    for (UINT x = 0; x < 4; ++x)
        EXPECT_FLOAT_EQ(Channel(*image, x, 1, 0), 128.5f / 128 / 4) << x;
    EXPECT_FLOAT_EQ(Channel(*image, 3, 0, 1), 128.5f / 128 / 4)
        << "first pixel of the top row is at the right";
    EXPECT_FLOAT_EQ(Channel(*image, 0, 0, 2), 128.5f / 128 / 4);
}

TEST(HdrDecoder, RunLengthRowsMatchFlatRows) {
    Bytes runLength = Text(kRgbeHeader + "-Y 1 +X 8\n");
    Append(runLength, {2, 2, 0, 8});
    Append(runLength, {128 + 8, 100});              // red: one run
    Append(runLength, {8, 1, 2, 3, 4, 5, 6, 7, 8}); // green: literal
    Append(runLength, {3, 9, 9, 9, 128 + 5, 50});   // blue: literal then run
    Append(runLength, {128 + 8, 130});              // exponent
    Bytes flat = Text(kRgbeHeader + "-Y 1 +X 8\n");
    const BYTE blue[8] = {9, 9, 9, 50, 50, 50, 50, 50};
    for (BYTE x = 0; x < 8; ++x)
        Append(flat, {100, static_cast<BYTE>(x + 1), blue[x], 130});
    const auto a = Decode(runLength);
    const auto b = Decode(flat);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(0, std::memcmp(a->pixels, b->pixels, 8 * 16));

    Bytes wrongWidth = runLength;
    wrongWidth[Text(kRgbeHeader + "-Y 1 +X 8\n").size() + 3] = 9;
    EXPECT_EQ(DecodeResult(wrongWidth), D3DXERR_INVALIDDATA);
    Bytes overlong = Text(kRgbeHeader + "-Y 1 +X 8\n");
    Append(overlong, {2, 2, 0, 8, 128 + 9, 1});
    EXPECT_EQ(DecodeResult(overlong), D3DXERR_INVALIDDATA) << "run past the row";
    runLength.pop_back();
    EXPECT_EQ(DecodeResult(runLength), D3DXERR_INVALIDDATA) << "cut short";
}

TEST(HdrDecoder, XyzPixelsAreConvertedAndBadHeadersRejected) {
    Bytes xyz = Text("#?RADIANCE\nFORMAT=32-bit_rle_xyze\n\n-Y 1 +X 1\n");
    Append(xyz, {0, 128, 0, 129});
    const auto image = Decode(xyz);
    ASSERT_NE(image, nullptr);
    EXPECT_LT(Channel(*image, 0, 0, 0), 0.0f) << "pure Y lies outside the red primary";
    EXPECT_GT(Channel(*image, 0, 0, 1), 1.0f);

    EXPECT_EQ(DecodeResult(Text("#?RADIANCE\nFORMAT=32-bit_rle_cmyk\n\n-Y 1 +X 1\n\1\1\1\1")),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(DecodeResult(Text("#?RADIANCE\n-Y 1 +X 1\n\1\1\1\1")), D3DXERR_INVALIDDATA) << "no blank line";
    EXPECT_EQ(DecodeResult(Text(kRgbeHeader + "+X 1 -Y 1\n\1\1\1\1")), D3DXERR_INVALIDDATA) << "transposed";
    EXPECT_EQ(DecodeResult(Text(kRgbeHeader + "-Y 1 +X 2\n\1\1\1\1")), D3DXERR_INVALIDDATA) << "cut short";
    EXPECT_EQ(DecodeResult(Text(kRgbeHeader + "-Y 1 +X 2\n\1\1\1\2\1\1\1\1")), D3DXERR_INVALIDDATA)
        << "repeat code at the row start";
}
