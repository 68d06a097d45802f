#pragma once
// Shared helpers of the image decoder tests: fixture files, the source patterns the fixtures were
// made from (see tests/fixtures/images/make-fixtures.sh), a pixel reader for decoded images and
// little-endian writers for hand-made files.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gfxutil/image/ImageDecoder.h"
#include "gfxutil/image/ImageFormatDecoders.h"

namespace imagetest {

using Bytes = std::vector<BYTE>;

struct Rgba {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

inline std::string FixturePath(const std::string& name) {
    return std::string(LUMIVOX_FIXTURES) + "/images/" + name;
}

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes ReadFixture(const std::string& name) {
    Bytes data = ReadFile(FixturePath(name));
    EXPECT_FALSE(data.empty()) << "missing fixture " << name;
    return data;
}

// The source patterns, 7 x 5 pixels each.
constexpr UINT kPatternWidth = 7;
constexpr UINT kPatternHeight = 5;

inline Rgba SaturatedPixel(UINT x, UINT y) {
    static const Rgba colours[8] = {{0, 0, 0, 255},     {255, 255, 255, 255}, {255, 0, 0, 255},
                                    {0, 255, 0, 255},   {0, 0, 255, 255},     {255, 255, 0, 255},
                                    {0, 255, 255, 255}, {255, 0, 255, 255}};
    return colours[(x + 2 * y) % 8];
}

inline Rgba RichPixel(UINT x, UINT y) {
    return Rgba{static_cast<int>(40 * x), static_cast<int>(60 * y), static_cast<int>(20 * (x + y)), 255};
}

inline Rgba MonoPixel(UINT x, UINT y) {
    const int v = (x + y * y) % 3 == 0 ? 255 : 0;
    return Rgba{v, v, v, 255};
}

inline int GreyLevel(UINT x, UINT y) {
    return static_cast<int>((37 * x + 11 * y + 3) % 256);
}

inline Rgba GreyPixel(UINT x, UINT y) {
    return Rgba{GreyLevel(x, y), GreyLevel(x, y), GreyLevel(x, y), 255};
}

inline Rgba Grey4Pixel(UINT x, UINT y) {
    const int v = static_cast<int>(17 * ((x + 3 * y) % 16));
    return Rgba{v, v, v, 255};
}

inline Rgba RichPixelWithAlpha(UINT x, UINT y) {
    Rgba c = RichPixel(x, y);
    c.a = GreyLevel(x, y);
    return c;
}

inline int Expand5(int v) {
    return (v << 3) | (v >> 2);
}
inline int Expand6(int v) {
    return (v << 2) | (v >> 4);
}
inline int Word(const BYTE* p) {
    return p[0] | (p[1] << 8);
}

inline float FloatAt(const BYTE* p) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

// The colour of one pixel of a decoded image, 8 bits per channel.
inline Rgba ReadPixel(const DecodedImage& image, UINT x, UINT y) {
    const BYTE* row = image.Row(y);
    const D3DFORMAT f = image.format;
    if (f == D3DFMT_P8) {
        const PALETTEENTRY& e = image.palette.at(row[x]);
        return Rgba{e.peRed, e.peGreen, e.peBlue, e.peFlags};
    }
    if (f == D3DFMT_L8)
        return Rgba{row[x], row[x], row[x], 255};
    if (f == D3DFMT_A8L8)
        return Rgba{row[2 * x], row[2 * x], row[2 * x], row[2 * x + 1]};
    if (f == D3DFMT_L16) {
        const int v = Word(row + 2 * x) >> 8;
        return Rgba{v, v, v, 255};
    }
    if (f == kFormatAL16) {
        const int v = Word(row + 4 * x) >> 8;
        return Rgba{v, v, v, Word(row + 4 * x + 2) >> 8};
    }
    if (f == D3DFMT_R8G8B8)
        return Rgba{row[3 * x + 2], row[3 * x + 1], row[3 * x], 255};
    if (f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8) {
        const BYTE* p = row + 4 * x;
        return Rgba{p[2], p[1], p[0], f == D3DFMT_A8R8G8B8 ? p[3] : 255};
    }
    if (f == kFormatRGB16) {
        const BYTE* p = row + 6 * x;
        return Rgba{Word(p + 4) >> 8, Word(p + 2) >> 8, Word(p) >> 8, 255};
    }
    if (f == D3DFMT_A16B16G16R16) {
        const BYTE* p = row + 8 * x;
        return Rgba{Word(p) >> 8, Word(p + 2) >> 8, Word(p + 4) >> 8, Word(p + 6) >> 8};
    }
    if (f == D3DFMT_R5G6B5) {
        const int v = Word(row + 2 * x);
        return Rgba{Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31), 255};
    }
    if (f == D3DFMT_X1R5G5B5 || f == D3DFMT_A1R5G5B5) {
        const int v = Word(row + 2 * x);
        const int a = f == D3DFMT_A1R5G5B5 ? (v >> 15) * 255 : 255;
        return Rgba{Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), a};
    }
    if (f == D3DFMT_A32B32G32R32F) {
        const BYTE* p = row + 16 * x;
        auto channel = [&](int i) { return static_cast<int>(std::lround(FloatAt(p + 4 * i) * 255.0f)); };
        return Rgba{channel(0), channel(1), channel(2), channel(3)};
    }
    ADD_FAILURE() << "no pixel reader for format " << f;
    return Rgba{};
}

inline std::unique_ptr<DecodedImage> Decode(const Bytes& data, D3DXIMAGE_INFO* info = nullptr,
                                            bool loadPixels = true) {
    std::unique_ptr<DecodedImage> image;
    const HRESULT hr = DecodeImage(data.data(), data.size(), info, loadPixels, &image);
    EXPECT_EQ(hr, S_OK);
    return image;
}

inline HRESULT DecodeResult(const Bytes& data, bool loadPixels = true) {
    std::unique_ptr<DecodedImage> image;
    return DecodeImage(data.data(), data.size(), nullptr, loadPixels, &image);
}

inline void PutLE16(Bytes& out, unsigned v) {
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

inline void PutLE32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<BYTE>(v >> (8 * i)));
}

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

} // namespace imagetest
