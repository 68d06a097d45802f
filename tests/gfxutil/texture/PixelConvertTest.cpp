#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "gfxutil/texture/D3DX9Tex.h"
#include "gfxutil/texture/PixelConvert.h"
#include "gfxutil/texture/SurfaceLoader.h"

namespace {

// An image in memory in any format, with the byte layout the loader expects.
struct Image {
    D3DFORMAT format;
    UINT width;
    UINT height;
    UINT pixelBytes;
    std::vector<BYTE> bytes;

    Image(D3DFORMAT f, UINT w, UINT h, UINT b)
        : format(f), width(w), height(h), pixelBytes(b), bytes(w * h * b) {}
    std::size_t Pitch() const { return std::size_t{width} * pixelBytes; }
    BYTE* Pixel(UINT x, UINT y) { return bytes.data() + y * Pitch() + x * pixelBytes; }

    PixelSource AsSource() const {
        PixelSource s;
        s.bits = bytes.data();
        s.rowPitch = Pitch();
        s.slicePitch = Pitch() * height;
        s.format = format;
        s.width = width;
        s.height = height;
        return s;
    }
    PixelTarget AsTarget() {
        PixelTarget t;
        t.bits = bytes.data();
        t.rowPitch = Pitch();
        t.slicePitch = Pitch() * height;
        t.format = format;
        t.width = width;
        t.height = height;
        return t;
    }
};

Image FloatGrey(UINT width, UINT height, float value) {
    Image image(D3DFMT_A32B32G32R32F, width, height, 16);
    const float pixel[4] = {value, value, value, 1.0f};
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x)
            std::memcpy(image.Pixel(x, y), pixel, sizeof pixel);
    return image;
}

Image RandomImage(D3DFORMAT format, UINT width, UINT height, UINT pixelBytes, unsigned seed) {
    Image image(format, width, height, pixelBytes);
    std::mt19937 random(seed);
    for (BYTE& b : image.bytes)
        b = static_cast<BYTE>(random());
    return image;
}

UINT BytesOf(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_R8G8B8:
        return 3;
    case D3DFMT_A8:
    case D3DFMT_L8:
        return 1;
    case D3DFMT_A8L8:
        return 2;
    default:
        return 4;
    }
}

constexpr D3DFORMAT kByteFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8, D3DFMT_A8B8G8R8,
                                      D3DFMT_X8B8G8R8, D3DFMT_A8,       D3DFMT_L8,     D3DFMT_A8L8};

TEST(PixelWriters, EightBitValuesSurviveTheFloatIntermediate) {
    Image source(D3DFMT_A8R8G8B8, 256, 1, 4);
    for (UINT x = 0; x < 256; ++x) {
        const DWORD pixel = (x << 24) | ((255 - x) << 16) | (x << 8) | ((x * 7) & 0xFF);
        std::memcpy(source.Pixel(x, 0), &pixel, 4);
    }
    for (DWORD dither : {0u, D3DX_FILTER_DITHER}) {
        Image floats(D3DFMT_A32B32G32R32F, 256, 1, 16);
        ASSERT_EQ(LoadPixels(floats.AsTarget(), source.AsSource(), D3DX_FILTER_NONE, 0), S_OK);
        Image back(D3DFMT_A8R8G8B8, 256, 1, 4);
        ASSERT_EQ(LoadPixels(back.AsTarget(), floats.AsSource(), D3DX_FILTER_NONE | dither, 0), S_OK);
        EXPECT_EQ(back.bytes, source.bytes);
    }
}

TEST(PixelWriters, RoundToTheNearestStepOfNarrowChannels) {
    // Red 15.4 / 31 rounds down, green 40.6 / 63 up, blue exactly halfway (15.5 / 31) up.
    Image source(D3DFMT_A32B32G32R32F, 1, 1, 16);
    const float pixel[4] = {15.4f / 31, 40.6f / 63, 15.5f / 31, 1.0f};
    std::memcpy(source.Pixel(0, 0), pixel, sizeof pixel);
    Image target(D3DFMT_R5G6B5, 1, 1, 2);
    ASSERT_EQ(LoadPixels(target.AsTarget(), source.AsSource(), D3DX_FILTER_NONE, 0), S_OK);
    const WORD written = static_cast<WORD>(target.bytes[0] | (target.bytes[1] << 8));
    EXPECT_EQ(written >> 11, 15);
    EXPECT_EQ((written >> 5) & 63, 41);
    EXPECT_EQ(written & 31, 16);
}

TEST(PixelWriters, NotANumberAndInfinitiesClampSafely) {
    Image source(D3DFMT_A32B32G32R32F, 3, 1, 16);
    const float pixels[12] = {NAN,  INFINITY, -INFINITY, 1.0f,  0.5f, NAN,
                              2.0f, -1.0f,    -3.0f,     0.25f, NAN,  INFINITY};
    std::memcpy(source.bytes.data(), pixels, sizeof pixels);
    for (DWORD dither : {0u, D3DX_FILTER_DITHER}) {
        Image target(D3DFMT_A8R8G8B8, 3, 1, 4);
        ASSERT_EQ(LoadPixels(target.AsTarget(), source.AsSource(), D3DX_FILTER_NONE | dither, 0), S_OK);
        DWORD written[3];
        std::memcpy(written, target.bytes.data(), sizeof written);
        EXPECT_EQ(written[0], 0xFF00FF00u); // red NaN, green +inf, blue -inf, alpha 1
        EXPECT_EQ(written[1], 0x008000FFu); // 0.5, NaN, 2, -1
        EXPECT_EQ(written[2], 0xFF004000u); // -3, 0.25, NaN, +inf
    }
}

TEST(PixelWriters, EightBitWriterDiffusesItsErrorWhenDithering) {
    // 100.36 rounds to 100 alone, but with 7/16 of the left neighbour's 0.36 it reaches 100.52.
    const float value = 100.36f / 255;
    Image row(D3DFMT_L8, 2, 1, 1);
    ASSERT_EQ(LoadPixels(row.AsTarget(), FloatGrey(2, 1, value).AsSource(), D3DX_FILTER_NONE, 0), S_OK);
    EXPECT_EQ(row.bytes, (std::vector<BYTE>{100, 100}));
    ASSERT_EQ(LoadPixels(row.AsTarget(), FloatGrey(2, 1, value).AsSource(),
                         D3DX_FILTER_NONE | D3DX_FILTER_DITHER, 0),
              S_OK);
    EXPECT_EQ(row.bytes, (std::vector<BYTE>{100, 101}));

    // Downwards only 5/16 arrives: 100.36 + 0.11 still rounds to 100, 100.45 + 0.14 does not.
    Image column(D3DFMT_L8, 1, 2, 1);
    ASSERT_EQ(LoadPixels(column.AsTarget(), FloatGrey(1, 2, value).AsSource(),
                         D3DX_FILTER_NONE | D3DX_FILTER_DITHER, 0),
              S_OK);
    EXPECT_EQ(column.bytes, (std::vector<BYTE>{100, 100}));
    ASSERT_EQ(LoadPixels(column.AsTarget(), FloatGrey(1, 2, 100.45f / 255).AsSource(),
                         D3DX_FILTER_NONE | D3DX_FILTER_DITHER, 0),
              S_OK);
    EXPECT_EQ(column.bytes, (std::vector<BYTE>{100, 101}));
}

TEST(PixelWriters, DitheredAreaKeepsItsAverageBrightness) {
    Image target(D3DFMT_X8R8G8B8, 16, 16, 4);
    ASSERT_EQ(LoadPixels(target.AsTarget(), FloatGrey(16, 16, 60.3f / 255).AsSource(),
                         D3DX_FILTER_NONE | D3DX_FILTER_DITHER, 0),
              S_OK);
    double sum = 0;
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
            sum += target.Pixel(x, y)[1];
    EXPECT_NEAR(sum / 256, 60.3, 0.05);
}

TEST(PixelFastPaths, ByteConversionsMatchTheGeneralPath) {
    for (D3DFORMAT from : kByteFormats) {
        for (D3DFORMAT to : kByteFormats) {
            for (DWORD dither : {0u, D3DX_FILTER_DITHER}) {
                const Image source = RandomImage(from, 37, 9, BytesOf(from), 7);
                Image fast(to, 37, 9, BytesOf(to));
                Image general(to, 37, 9, BytesOf(to));
                ASSERT_EQ(LoadPixels(fast.AsTarget(), source.AsSource(), D3DX_FILTER_NONE | dither, 0, true),
                          S_OK);
                ASSERT_EQ(
                    LoadPixels(general.AsTarget(), source.AsSource(), D3DX_FILTER_NONE | dither, 0, false),
                    S_OK);
                EXPECT_EQ(fast.bytes, general.bytes) << "from " << from << " to " << to;
            }
        }
    }
}

TEST(PixelFastPaths, ByteBoxAveragesMatchTheGeneralPath) {
    for (D3DFORMAT format : kByteFormats) {
        const Image source = RandomImage(format, 64, 34, BytesOf(format), 11);
        Image fast(format, 32, 17, BytesOf(format));
        Image general(format, 32, 17, BytesOf(format));
        ASSERT_EQ(LoadPixels(fast.AsTarget(), source.AsSource(), D3DX_FILTER_BOX, 0, true), S_OK);
        ASSERT_EQ(LoadPixels(general.AsTarget(), source.AsSource(), D3DX_FILTER_BOX, 0, false), S_OK);
        EXPECT_EQ(fast.bytes, general.bytes) << "format " << format;
    }
}

TEST(PixelFastPaths, BoxAveragesExactlyHalfwayRoundUpOnBothPaths) {
    // Every sum of four bytes that is 2 more than a multiple of 4 averages to a half.
    Image source(D3DFMT_L8, 2048, 2, 1);
    for (UINT i = 0; i < 1024; ++i) {
        const UINT a = i & 255, b = (i * 7 + 3) & 255, c = (i * 13 + 5) & 255;
        UINT d = (i * 29 + 11) & 255;
        while ((a + b + c + d) % 4 != 2)
            d = (d + 1) & 255;
        *source.Pixel(2 * i, 0) = static_cast<BYTE>(a);
        *source.Pixel(2 * i + 1, 0) = static_cast<BYTE>(b);
        *source.Pixel(2 * i, 1) = static_cast<BYTE>(c);
        *source.Pixel(2 * i + 1, 1) = static_cast<BYTE>(d);
    }
    Image fast(D3DFMT_L8, 1024, 1, 1);
    Image general(D3DFMT_L8, 1024, 1, 1);
    ASSERT_EQ(LoadPixels(fast.AsTarget(), source.AsSource(), D3DX_FILTER_BOX, 0, true), S_OK);
    ASSERT_EQ(LoadPixels(general.AsTarget(), source.AsSource(), D3DX_FILTER_BOX, 0, false), S_OK);
    for (UINT i = 0; i < 1024; ++i) {
        const UINT sum = *source.Pixel(2 * i, 0) + *source.Pixel(2 * i + 1, 0) + *source.Pixel(2 * i, 1) +
                         *source.Pixel(2 * i + 1, 1);
        ASSERT_EQ(fast.bytes[i], (sum + 2) / 4) << i;
        ASSERT_EQ(general.bytes[i], (sum + 2) / 4) << i;
    }
}

TEST(PixelReaders, SignedAndFloatFormats) {
    std::vector<Color4> out(2);
    const BYTE v8u8[4] = {0x80, 0x7F, 0x00, 0xC1}; // u -128, v 127; u 0, v -63
    PixelReader::Create(D3DFMT_V8U8, nullptr)->ReadRow(v8u8, 4, 0, 0, 2, out.data());
    EXPECT_FLOAT_EQ(out[0].r, -1.0f);
    EXPECT_FLOAT_EQ(out[0].g, 1.0f);
    EXPECT_FLOAT_EQ(out[1].r, 0.0f);
    EXPECT_FLOAT_EQ(out[1].g, -63.0f / 127);
    EXPECT_FLOAT_EQ(out[0].b, 1.0f); // missing channels read as 1

    EXPECT_EQ(FloatToHalf(1.0f), 0x3C00);
    EXPECT_EQ(FloatToHalf(-2.0f), 0xC000);
    EXPECT_EQ(FloatToHalf(65504.0f), 0x7BFF);
    EXPECT_EQ(FloatToHalf(1e6f), 0x7C00);
    for (float v : {0.0f, 0.5f, 0.333251953125f, 1024.0f, 6.103515625e-05f, 5.9604645e-08f})
        EXPECT_EQ(HalfToFloat(FloatToHalf(v)), v);
}

TEST(PixelReaders, PaletteFormatsUseTheirPalette) {
    std::vector<PALETTEENTRY> palette(256, PALETTEENTRY{0, 0, 0, 255});
    palette[3] = PALETTEENTRY{255, 0, 51, 102};
    const BYTE a8p8[2] = {3, 204};
    Color4 out;
    PixelReader::Create(D3DFMT_A8P8, palette.data())->ReadRow(a8p8, 2, 0, 0, 1, &out);
    EXPECT_FLOAT_EQ(out.r, 1.0f);
    EXPECT_FLOAT_EQ(out.b, 0.2f);
    EXPECT_FLOAT_EQ(out.a, 0.8f); // from the pixel, not the palette
    const BYTE p8 = 3;
    PixelReader::Create(D3DFMT_P8, palette.data())->ReadRow(&p8, 1, 0, 0, 1, &out);
    EXPECT_FLOAT_EQ(out.a, 0.4f);
}

} // namespace
