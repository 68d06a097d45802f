#include "gfxutil/texture/PixelConvert.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>

#include "gfxutil/image/DecodedImage.h"
#include "gfxutil/image/DxtDecompress.h"

namespace {

// Added before rounding so that values that are exactly halfway in real arithmetic round up even
// when float arithmetic lands them a hair below; far smaller than any step difference that a
// conversion between integer formats of up to 10 bits can produce.
constexpr float kRoundingBias = 1.0f / 4096;
// Rounding errors this small are float noise, not lost information, and are not diffused.
constexpr float kNegligibleError = 1.0f / 4096;

constexpr float kLumaRed = 0.2125f;
constexpr float kLumaGreen = 0.7154f;
constexpr float kLumaBlue = 0.0721f;

// Not-a-number reads as `low`, so no such value ever reaches an integer conversion.
float Clamp(float value, float low, float high) {
    return value > high ? high : (value >= low ? value : low);
}

// ---- Formats packed into up to eight bytes ----

struct Channel {
    BYTE shift;
    BYTE bits; // 0: the format lacks the channel
    bool isSigned;
};

struct PackedFormat {
    D3DFORMAT format;
    BYTE bytes;
    Channel red; // luminance formats keep their luminance here
    Channel green;
    Channel blue;
    Channel alpha;
    bool luminance;
    float absentColour; // what missing colour channels read as
};

constexpr Channel None{0, 0, false};
constexpr Channel U(BYTE shift, BYTE bits) {
    return {shift, bits, false};
}
constexpr Channel S(BYTE shift, BYTE bits) {
    return {shift, bits, true};
}

constexpr PackedFormat kPackedFormats[] = {
    {D3DFMT_A8R8G8B8, 4, U(16, 8), U(8, 8), U(0, 8), U(24, 8), false, 1.0f},
    {D3DFMT_X8R8G8B8, 4, U(16, 8), U(8, 8), U(0, 8), None, false, 1.0f},
    {D3DFMT_R8G8B8, 3, U(16, 8), U(8, 8), U(0, 8), None, false, 1.0f},
    {D3DFMT_R5G6B5, 2, U(11, 5), U(5, 6), U(0, 5), None, false, 1.0f},
    {D3DFMT_X1R5G5B5, 2, U(10, 5), U(5, 5), U(0, 5), None, false, 1.0f},
    {D3DFMT_A1R5G5B5, 2, U(10, 5), U(5, 5), U(0, 5), U(15, 1), false, 1.0f},
    {D3DFMT_A4R4G4B4, 2, U(8, 4), U(4, 4), U(0, 4), U(12, 4), false, 1.0f},
    {D3DFMT_R3G3B2, 1, U(5, 3), U(2, 3), U(0, 2), None, false, 1.0f},
    {D3DFMT_A8, 1, None, None, None, U(0, 8), false, 0.0f},
    {D3DFMT_A8R3G3B2, 2, U(5, 3), U(2, 3), U(0, 2), U(8, 8), false, 1.0f},
    {D3DFMT_X4R4G4B4, 2, U(8, 4), U(4, 4), U(0, 4), None, false, 1.0f},
    {D3DFMT_A2B10G10R10, 4, U(0, 10), U(10, 10), U(20, 10), U(30, 2), false, 1.0f},
    {D3DFMT_A8B8G8R8, 4, U(0, 8), U(8, 8), U(16, 8), U(24, 8), false, 1.0f},
    {D3DFMT_X8B8G8R8, 4, U(0, 8), U(8, 8), U(16, 8), None, false, 1.0f},
    {D3DFMT_G16R16, 4, U(0, 16), U(16, 16), None, None, false, 1.0f},
    {D3DFMT_A2R10G10B10, 4, U(20, 10), U(10, 10), U(0, 10), U(30, 2), false, 1.0f},
    {D3DFMT_A16B16G16R16, 8, U(0, 16), U(16, 16), U(32, 16), U(48, 16), false, 1.0f},
    {D3DFMT_L8, 1, U(0, 8), None, None, None, true, 1.0f},
    {D3DFMT_A8L8, 2, U(0, 8), None, None, U(8, 8), true, 1.0f},
    {D3DFMT_A4L4, 1, U(0, 4), None, None, U(4, 4), true, 1.0f},
    {D3DFMT_L16, 2, U(0, 16), None, None, None, true, 1.0f},
    {kFormatRGB16, 6, U(32, 16), U(16, 16), U(0, 16), None, false, 1.0f},
    {kFormatAL16, 4, U(0, 16), None, None, U(16, 16), true, 1.0f},
    {D3DFMT_V8U8, 2, S(0, 8), S(8, 8), None, None, false, 1.0f},
    {D3DFMT_L6V5U5, 2, S(0, 5), S(5, 5), U(10, 6), None, false, 1.0f},
    {D3DFMT_X8L8V8U8, 4, S(0, 8), S(8, 8), U(16, 8), None, false, 1.0f},
    {D3DFMT_Q8W8V8U8, 4, S(0, 8), S(8, 8), S(16, 8), S(24, 8), false, 1.0f},
    {D3DFMT_V16U16, 4, S(0, 16), S(16, 16), None, None, false, 1.0f},
    {D3DFMT_A2W10V10U10, 4, S(0, 10), S(10, 10), S(20, 10), U(30, 2), false, 1.0f},
    {D3DFMT_Q16W16V16U16, 8, S(0, 16), S(16, 16), S(32, 16), S(48, 16), false, 1.0f},
};

const PackedFormat* FindPacked(D3DFORMAT format) {
    for (const PackedFormat& packed : kPackedFormats)
        if (packed.format == format)
            return &packed;
    return nullptr;
}

std::uint64_t LoadPixel(const BYTE* p, UINT bytes) {
    std::uint64_t value = 0;
    for (UINT i = 0; i < bytes; ++i)
        value |= std::uint64_t{p[i]} << (8 * i);
    return value;
}

void StorePixel(BYTE* p, UINT bytes, std::uint64_t value) {
    for (UINT i = 0; i < bytes; ++i)
        p[i] = static_cast<BYTE>(value >> (8 * i));
}

// The largest step of a channel: 2^bits - 1, or 2^(bits-1) - 1 for signed channels.
float ChannelMax(const Channel& channel) {
    return static_cast<float>(channel.isSigned ? (1u << (channel.bits - 1)) - 1 : (1u << channel.bits) - 1);
}

float ReadChannel(std::uint64_t pixel, const Channel& channel, float scale) {
    const std::uint64_t mask = (std::uint64_t{1} << channel.bits) - 1;
    const std::uint64_t raw = (pixel >> channel.shift) & mask;
    if (!channel.isSigned)
        return static_cast<float>(raw) * scale;
    const std::uint64_t signBit = std::uint64_t{1} << (channel.bits - 1);
    const auto value = static_cast<std::int64_t>(raw ^ signBit) - static_cast<std::int64_t>(signBit);
    return std::max(-1.0f, static_cast<float>(value) * scale);
}

class PackedReader final : public PixelReader {
public:
    explicit PackedReader(const PackedFormat& format) : format_(format) {
        const Channel* channels[] = {&format.red, &format.green, &format.blue, &format.alpha};
        for (int i = 0; i < 4; ++i)
            scale_[i] = channels[i]->bits ? 1.0f / ChannelMax(*channels[i]) : 0.0f;
    }

    void ReadRow(const BYTE* bits, std::size_t pitch, UINT y, UINT x, UINT count,
                 Color4* out) const override {
        const BYTE* p = bits + y * pitch + std::size_t{x} * format_.bytes;
        for (UINT i = 0; i < count; ++i, p += format_.bytes)
            out[i] = Decode(LoadPixel(p, format_.bytes));
    }

private:
    Color4 Decode(std::uint64_t pixel) const {
        Color4 c;
        c.r = format_.red.bits ? ReadChannel(pixel, format_.red, scale_[0]) : format_.absentColour;
        if (format_.luminance) {
            c.g = c.b = c.r;
        } else {
            c.g = format_.green.bits ? ReadChannel(pixel, format_.green, scale_[1]) : format_.absentColour;
            c.b = format_.blue.bits ? ReadChannel(pixel, format_.blue, scale_[2]) : format_.absentColour;
        }
        c.a = format_.alpha.bits ? ReadChannel(pixel, format_.alpha, scale_[3]) : 1.0f;
        return c;
    }

    PackedFormat format_;
    float scale_[4];
};

// ---- Float formats ----

struct FloatFormat {
    D3DFORMAT format;
    BYTE channels;
    bool half;
};

constexpr FloatFormat kFloatFormats[] = {
    {D3DFMT_R16F, 1, true},  {D3DFMT_G16R16F, 2, true},  {D3DFMT_A16B16G16R16F, 4, true},
    {D3DFMT_R32F, 1, false}, {D3DFMT_G32R32F, 2, false}, {D3DFMT_A32B32G32R32F, 4, false},
};

const FloatFormat* FindFloat(D3DFORMAT format) {
    for (const FloatFormat& f : kFloatFormats)
        if (f.format == format)
            return &f;
    return nullptr;
}

UINT FloatPixelBytes(const FloatFormat& format) {
    return format.channels * (format.half ? 2u : 4u);
}

float LoadComponent(const BYTE* p, bool half) {
    if (half)
        return HalfToFloat(static_cast<WORD>(p[0] | (p[1] << 8)));
    float value;
    std::memcpy(&value, p, 4);
    return value;
}

void StoreComponent(BYTE* p, bool half, float value) {
    if (half) {
        const WORD h = FloatToHalf(value);
        p[0] = static_cast<BYTE>(h);
        p[1] = static_cast<BYTE>(h >> 8);
    } else {
        std::memcpy(p, &value, 4);
    }
}

class FloatReader final : public PixelReader {
public:
    explicit FloatReader(const FloatFormat& format) : format_(format) {}

    void ReadRow(const BYTE* bits, std::size_t pitch, UINT y, UINT x, UINT count,
                 Color4* out) const override {
        const UINT bytes = FloatPixelBytes(format_);
        const UINT step = format_.half ? 2 : 4;
        const BYTE* p = bits + y * pitch + std::size_t{x} * bytes;
        for (UINT i = 0; i < count; ++i, p += bytes) {
            float v[4] = {1.0f, 1.0f, 1.0f, 1.0f};
            for (UINT c = 0; c < format_.channels; ++c)
                v[c] = LoadComponent(p + c * step, format_.half);
            out[i] = {v[0], v[1], v[2], v[3]};
        }
    }

private:
    FloatFormat format_;
};

// ---- Palette formats ----

Color4 PaletteColour(const PALETTEENTRY* palette, BYTE index) {
    if (!palette)
        return {1.0f, 1.0f, 1.0f, 1.0f};
    const PALETTEENTRY& e = palette[index];
    constexpr float k = 1.0f / 255;
    return {e.peRed * k, e.peGreen * k, e.peBlue * k, e.peFlags * k};
}

class PaletteReader final : public PixelReader {
public:
    PaletteReader(const PALETTEENTRY* palette, bool withAlpha) : palette_(palette), withAlpha_(withAlpha) {}

    void ReadRow(const BYTE* bits, std::size_t pitch, UINT y, UINT x, UINT count,
                 Color4* out) const override {
        const UINT bytes = withAlpha_ ? 2 : 1;
        const BYTE* p = bits + y * pitch + std::size_t{x} * bytes;
        for (UINT i = 0; i < count; ++i, p += bytes) {
            out[i] = PaletteColour(palette_, p[0]);
            if (withAlpha_)
                out[i].a = p[1] * (1.0f / 255);
        }
    }

private:
    const PALETTEENTRY* palette_;
    bool withAlpha_;
};

// ---- CxV8U8: two signed channels, the third derived so the vector has unit length ----

class CxReader final : public PixelReader {
public:
    void ReadRow(const BYTE* bits, std::size_t pitch, UINT y, UINT x, UINT count,
                 Color4* out) const override {
        const BYTE* p = bits + y * pitch + std::size_t{x} * 2;
        for (UINT i = 0; i < count; ++i, p += 2) {
            const float u = std::max(-1.0f, static_cast<signed char>(p[0]) / 127.0f);
            const float v = std::max(-1.0f, static_cast<signed char>(p[1]) / 127.0f);
            out[i] = {u, v, std::sqrt(std::max(0.0f, 1.0f - u * u - v * v)), 1.0f};
        }
    }
};

// ---- DXT1 to DXT5 blocks of 4 x 4 pixels ----

class DxtReader final : public PixelReader {
public:
    explicit DxtReader(D3DFORMAT format) : format_(format) {}

    void ReadRow(const BYTE* bits, std::size_t pitch, UINT y, UINT x, UINT count,
                 Color4* out) const override {
        const UINT blockBytes = DxtBlockBytes(format_);
        const BYTE* blockRow = bits + (y / 4) * pitch;
        DWORD block[16];
        UINT decodedBlock = ~0u;
        for (UINT i = 0; i < count; ++i) {
            const UINT px = x + i;
            if (px / 4 != decodedBlock) {
                decodedBlock = px / 4;
                DecodeDxtBlock(format_, blockRow + std::size_t{decodedBlock} * blockBytes, block);
            }
            const DWORD argb = block[(y % 4) * 4 + px % 4];
            constexpr float k = 1.0f / 255;
            out[i] = {((argb >> 16) & 0xFF) * k, ((argb >> 8) & 0xFF) * k, (argb & 0xFF) * k,
                      (argb >> 24) * k};
        }
    }

private:
    D3DFORMAT format_;
};

// ---- Writers ----

class PackedWriter final : public PixelWriter {
public:
    PackedWriter(const PackedFormat& format, bool dither, UINT width) : format_(format) {
        Setup(dither, width);
        std::uint64_t used = 0;
        const Channel* channels[] = {&format.red, &format.green, &format.blue, &format.alpha};
        for (int i = 0; i < 4; ++i) {
            const Channel& ch = *channels[i];
            if (ch.bits) {
                max_[i] = ChannelMax(ch);
                used |= ((std::uint64_t{1} << ch.bits) - 1) << ch.shift;
            }
        }
        const std::uint64_t all =
            format.bytes == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * format.bytes)) - 1;
        fill_ = all & ~used;
    }

    bool IsSigned() const override { return format_.red.isSigned; }

protected:
    void Encode(const Color4* in, BYTE* row, UINT count) override {
        const Channel* channels[] = {&format_.red, &format_.green, &format_.blue, &format_.alpha};
        for (UINT i = 0; i < count; ++i, row += format_.bytes) {
            float values[4] = {in[i].r, in[i].g, in[i].b, in[i].a};
            if (format_.luminance)
                values[0] = kLumaRed * in[i].r + kLumaGreen * in[i].g + kLumaBlue * in[i].b;
            std::uint64_t pixel = fill_;
            for (int c = 0; c < 4; ++c) {
                const Channel& ch = *channels[c];
                if (!ch.bits)
                    continue;
                const float low = ch.isSigned ? -1.0f : 0.0f;
                const float step =
                    Quantise(Clamp(values[c], low, 1.0f) * max_[c], low * max_[c], max_[c], i, c);
                const auto raw = static_cast<std::int64_t>(step);
                const std::uint64_t mask = (std::uint64_t{1} << ch.bits) - 1;
                pixel |= (static_cast<std::uint64_t>(raw) & mask) << ch.shift;
            }
            StorePixel(row, format_.bytes, pixel);
        }
    }

private:
    PackedFormat format_;
    float max_[4] = {};
    std::uint64_t fill_ = 0; // bits no channel uses are written as ones
};

class FloatWriter final : public PixelWriter {
public:
    explicit FloatWriter(const FloatFormat& format) : format_(format) { Setup(false, 0); }

protected:
    void Encode(const Color4* in, BYTE* row, UINT count) override {
        const UINT bytes = FloatPixelBytes(format_);
        const UINT step = format_.half ? 2 : 4;
        for (UINT i = 0; i < count; ++i, row += bytes) {
            const float v[4] = {in[i].r, in[i].g, in[i].b, in[i].a};
            for (UINT c = 0; c < format_.channels; ++c)
                StoreComponent(row + c * step, format_.half, v[c]);
        }
    }

private:
    FloatFormat format_;
};

class PaletteWriter final : public PixelWriter {
public:
    PaletteWriter(const PALETTEENTRY* palette, bool withAlpha, bool dither, UINT width)
        : withAlpha_(withAlpha) {
        Setup(dither, width);
        for (int i = 0; i < 256; ++i) {
            const Color4 c = PaletteColour(palette, static_cast<BYTE>(i));
            entries_[i] = {c.r * 255, c.g * 255, c.b * 255, c.a * 255};
        }
    }

protected:
    void Encode(const Color4* in, BYTE* row, UINT count) override {
        const UINT bytes = withAlpha_ ? 2 : 1;
        const int channels = withAlpha_ ? 3 : 4;
        for (UINT i = 0; i < count; ++i, row += bytes) {
            const float values[4] = {in[i].r, in[i].g, in[i].b, in[i].a};
            float wanted[4];
            for (int c = 0; c < 4; ++c)
                wanted[c] = Clamp(values[c], 0, 1) * 255 + CarriedError(i, c);
            const BYTE index = Nearest(wanted, channels);
            const float chosen[4] = {entries_[index].r, entries_[index].g, entries_[index].b,
                                     entries_[index].a};
            for (int c = 0; c < channels; ++c)
                PassOn(i, c, wanted[c] - chosen[c]);
            row[0] = index;
            if (withAlpha_)
                row[1] = static_cast<BYTE>(Quantise(Clamp(values[3], 0, 1) * 255, 0, 255, i, 3));
        }
    }

private:
    BYTE Nearest(const float* wanted, int channels) const {
        int best = 0;
        float bestDistance = 0;
        for (int i = 0; i < 256; ++i) {
            const float e[4] = {entries_[i].r, entries_[i].g, entries_[i].b, entries_[i].a};
            float distance = 0;
            for (int c = 0; c < channels; ++c)
                distance += (e[c] - wanted[c]) * (e[c] - wanted[c]);
            if (i == 0 || distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        return static_cast<BYTE>(best);
    }

    Color4 entries_[256];
    bool withAlpha_;
};

class CxWriter final : public PixelWriter {
public:
    CxWriter(bool dither, UINT width) { Setup(dither, width); }
    bool IsSigned() const override { return true; }

protected:
    void Encode(const Color4* in, BYTE* row, UINT count) override {
        for (UINT i = 0; i < count; ++i, row += 2) {
            row[0] = static_cast<BYTE>(
                static_cast<signed char>(Quantise(Clamp(in[i].r, -1, 1) * 127, -127, 127, i, 0)));
            row[1] = static_cast<BYTE>(
                static_cast<signed char>(Quantise(Clamp(in[i].g, -1, 1) * 127, -127, 127, i, 1)));
        }
    }
};

// ---- Formats whose channels are whole bytes ----

struct ByteFormat {
    D3DFORMAT format;
    BYTE bytes;
    signed char red; // byte index of each channel, -1 when absent
    signed char green;
    signed char blue;
    signed char alpha;
    bool luminance; // luminance sits at `red`
};

constexpr ByteFormat kByteFormats[] = {
    {D3DFMT_A8R8G8B8, 4, 2, 1, 0, 3, false},  {D3DFMT_X8R8G8B8, 4, 2, 1, 0, -1, false},
    {D3DFMT_R8G8B8, 3, 2, 1, 0, -1, false},   {D3DFMT_A8B8G8R8, 4, 0, 1, 2, 3, false},
    {D3DFMT_X8B8G8R8, 4, 0, 1, 2, -1, false}, {D3DFMT_A8, 1, -1, -1, -1, 0, false},
    {D3DFMT_L8, 1, 0, -1, -1, -1, true},      {D3DFMT_A8L8, 2, 0, -1, -1, 1, true},
};

const ByteFormat* FindByteFormat(D3DFORMAT format) {
    for (const ByteFormat& f : kByteFormats)
        if (f.format == format)
            return &f;
    return nullptr;
}

bool HasColour(const ByteFormat& f) {
    return f.red >= 0;
}

} // namespace

// ---- PixelReader / PixelWriter ----

std::unique_ptr<PixelReader> PixelReader::Create(D3DFORMAT format, const PALETTEENTRY* palette) {
    if (const PackedFormat* packed = FindPacked(format))
        return std::make_unique<PackedReader>(*packed);
    if (const FloatFormat* f = FindFloat(format))
        return std::make_unique<FloatReader>(*f);
    if (format == D3DFMT_P8 || format == D3DFMT_A8P8)
        return std::make_unique<PaletteReader>(palette, format == D3DFMT_A8P8);
    if (format == D3DFMT_CxV8U8)
        return std::make_unique<CxReader>();
    if (IsDxtFormat(format))
        return std::make_unique<DxtReader>(format);
    return nullptr;
}

std::unique_ptr<PixelWriter> PixelWriter::Create(D3DFORMAT format, const PALETTEENTRY* palette, bool dither,
                                                 UINT width) {
    if (format == kFormatRGB16 || format == kFormatAL16)
        return nullptr; // only ever read
    if (const PackedFormat* packed = FindPacked(format))
        return std::make_unique<PackedWriter>(*packed, dither, width);
    if (const FloatFormat* f = FindFloat(format))
        return std::make_unique<FloatWriter>(*f);
    if (format == D3DFMT_P8 || format == D3DFMT_A8P8)
        return std::make_unique<PaletteWriter>(palette, format == D3DFMT_A8P8, dither, width);
    if (format == D3DFMT_CxV8U8)
        return std::make_unique<CxWriter>(dither, width);
    return nullptr;
}

void PixelWriter::Setup(bool dither, UINT width) {
    dither_ = dither;
    if (dither_) {
        errorThisRow_.assign((std::size_t{width} + 2) * 4, 0.0f);
        errorNextRow_.assign((std::size_t{width} + 2) * 4, 0.0f);
    }
}

void PixelWriter::BeginImage() {
    std::fill(errorThisRow_.begin(), errorThisRow_.end(), 0.0f);
    std::fill(errorNextRow_.begin(), errorNextRow_.end(), 0.0f);
}

void PixelWriter::WriteRow(const Color4* in, BYTE* row, UINT count) {
    Encode(in, row, count);
    if (dither_) {
        errorThisRow_.swap(errorNextRow_);
        std::fill(errorNextRow_.begin(), errorNextRow_.end(), 0.0f);
    }
}

float PixelWriter::Quantise(float value, float low, float high, UINT x, int channel) {
    const float wanted = value + CarriedError(x, channel);
    const float step = Clamp(std::floor(wanted + 0.5f + kRoundingBias), low, high);
    PassOn(x, channel, wanted - step);
    return step;
}

// Entry x + 1 of the error rows belongs to pixel x; entries 0 and width + 1 take what falls off
// the edges.
float PixelWriter::CarriedError(UINT x, int channel) const {
    return dither_ ? errorThisRow_[(std::size_t{x} + 1) * 4 + channel] : 0.0f;
}

void PixelWriter::PassOn(UINT x, int channel, float error) {
    if (!dither_ || std::fabs(error) < kNegligibleError || !std::isfinite(error))
        return;
    const std::size_t here = (std::size_t{x} + 1) * 4 + channel;
    errorThisRow_[here + 4] += error * (7.0f / 16);
    errorNextRow_[here - 4] += error * (3.0f / 16);
    errorNextRow_[here] += error * (5.0f / 16);
    errorNextRow_[here + 4] += error * (1.0f / 16);
}

// ---- ByteShuffle ----

std::optional<ByteShuffle> ByteShuffle::Between(D3DFORMAT source, D3DFORMAT target) {
    const ByteFormat* from = FindByteFormat(source);
    const ByteFormat* to = FindByteFormat(target);
    if (!from || !to)
        return std::nullopt;
    if (to->luminance && HasColour(*from) && !from->luminance)
        return std::nullopt; // luminance from colour needs arithmetic
    ByteShuffle shuffle;
    shuffle.sourceBytes_ = from->bytes;
    shuffle.targetBytes_ = to->bytes;
    for (UINT k = 0; k < to->bytes; ++k) {
        shuffle.from_[k] = kConstant;
        shuffle.constant_[k] = 0xFF; // unused bytes and missing alpha
    }
    const signed char toChannels[] = {to->red, to->green, to->blue};
    const signed char fromChannels[] = {from->red, from->luminance ? from->red : from->green,
                                        from->luminance ? from->red : from->blue};
    for (int c = 0; c < 3; ++c) {
        if (toChannels[c] < 0)
            continue;
        if (fromChannels[c] >= 0)
            shuffle.from_[toChannels[c]] = static_cast<BYTE>(fromChannels[c]);
        else
            shuffle.constant_[toChannels[c]] = 0; // the alpha-only format has black colour
    }
    if (to->alpha >= 0 && from->alpha >= 0)
        shuffle.from_[to->alpha] = static_cast<BYTE>(from->alpha);
    return shuffle;
}

namespace {

DWORD Load32(const BYTE* p) {
    DWORD v;
    std::memcpy(&v, p, 4);
    return v;
}

void Store32(BYTE* p, DWORD v) {
    std::memcpy(p, &v, 4);
}

// Three bytes to four with a constant fourth, a word at a time; the last pixel is done bytewise
// so the source is never read past its end.
void ExpandThreeToFour(const BYTE* source, BYTE* target, UINT count, BYTE fill) {
    if (count == 0)
        return;
    UINT i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        const DWORD high = DWORD{fill} << 24;
        for (; i + 1 < count; ++i, source += 3, target += 4)
            Store32(target, (Load32(source) & 0x00FFFFFFu) | high);
    }
    for (; i < count; ++i, source += 3, target += 4) {
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
        target[3] = fill;
    }
}

// Rounded averages of four 32-bit pixels, every byte on its own, two bytes per 16-bit lane.
DWORD AverageFour(DWORD a, DWORD b, DWORD c, DWORD d) {
    constexpr DWORD kLanes = 0x00FF00FFu;
    constexpr DWORD kHalf = 0x00020002u;
    const DWORD even = (((a & kLanes) + (b & kLanes) + (c & kLanes) + (d & kLanes) + kHalf) >> 2) & kLanes;
    const DWORD odd =
        ((((a >> 8) & kLanes) + ((b >> 8) & kLanes) + ((c >> 8) & kLanes) + ((d >> 8) & kLanes) + kHalf) >>
         2) &
        kLanes;
    return even | (odd << 8);
}

} // namespace

void ByteShuffle::Apply(const BYTE* source, BYTE* target, UINT count) const {
    if (sourceBytes_ == 3 && targetBytes_ == 4 && from_[0] == 0 && from_[1] == 1 && from_[2] == 2 &&
        from_[3] == kConstant) {
        ExpandThreeToFour(source, target, count, constant_[3]);
        return;
    }
    for (UINT i = 0; i < count; ++i, source += sourceBytes_, target += targetBytes_)
        for (UINT k = 0; k < targetBytes_; ++k)
            target[k] = from_[k] == kConstant ? constant_[k] : source[from_[k]];
}

// ---- ByteBoxReducer ----

std::optional<ByteBoxReducer> ByteBoxReducer::For(D3DFORMAT format) {
    const ByteFormat* f = FindByteFormat(format);
    if (!f)
        return std::nullopt;
    ByteBoxReducer reducer;
    reducer.bytes_ = f->bytes;
    for (UINT k = 0; k < f->bytes; ++k)
        reducer.constant_[k] = 0xFF;
    const signed char channels[] = {f->red, f->green, f->blue, f->alpha};
    for (signed char index : channels)
        if (index >= 0)
            reducer.average_[index] = true;
    return reducer;
}

void ByteBoxReducer::Apply(const BYTE* top, const BYTE* bottom, BYTE* target, UINT count) const {
    const UINT b = bytes_;
    if (b == 4) {
        // Bytes that are not averaged (the unused byte of X formats) are written as constants.
        DWORD keep = 0;
        DWORD fill = 0;
        for (UINT k = 0; k < 4; ++k) {
            if (average_[k])
                continue;
            keep |= 0xFFu << (8 * k);
            fill |= DWORD{constant_[k]} << (8 * k);
        }
        if constexpr (std::endian::native == std::endian::little) {
            for (UINT i = 0; i < count; ++i, top += 8, bottom += 8, target += 4) {
                const DWORD average =
                    AverageFour(Load32(top), Load32(top + 4), Load32(bottom), Load32(bottom + 4));
                Store32(target, (average & ~keep) | fill);
            }
            return;
        }
    }
    for (UINT i = 0; i < count; ++i, top += 2 * b, bottom += 2 * b, target += b)
        for (UINT k = 0; k < b; ++k)
            target[k] = average_[k]
                            ? static_cast<BYTE>((top[k] + top[k + b] + bottom[k] + bottom[k + b] + 2) >> 2)
                            : constant_[k];
}

// ---- Transfer curves and half floats ----

float SrgbToLinear(float value) {
    if (value <= 0.04045f)
        return value / 12.92f;
    return std::pow((value + 0.055f) / 1.055f, 2.4f);
}

float LinearToSrgb(float value) {
    if (value <= 0.0031308f)
        return value * 12.92f;
    return 1.055f * std::pow(value, 1.0f / 2.4f) - 0.055f;
}

float HalfToFloat(WORD half) {
    const int sign = (half >> 15) & 1;
    const int exponent = (half >> 10) & 31;
    const int mantissa = half & 1023;
    float value;
    if (exponent == 0)
        value = std::ldexp(static_cast<float>(mantissa), -24);
    else if (exponent == 31)
        value = mantissa ? std::nanf("") : INFINITY;
    else
        value = std::ldexp(static_cast<float>(mantissa | 1024), exponent - 25);
    return sign ? -value : value;
}

WORD FloatToHalf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    const WORD sign = static_cast<WORD>((bits >> 16) & 0x8000);
    const float magnitude = std::fabs(value);
    if (std::isnan(value))
        return static_cast<WORD>(sign | 0x7E00);
    if (magnitude >= 65520.0f)
        return static_cast<WORD>(sign | 0x7C00);
    if (magnitude < std::ldexp(1.0f, -14)) // subnormal: steps of 2^-24
        return static_cast<WORD>(sign | static_cast<WORD>(std::nearbyint(magnitude * 16777216.0f)));
    int exponent;
    const float fraction =
        std::frexp(magnitude, &exponent); // magnitude = fraction * 2^exponent, fraction in [0.5, 1)
    auto mantissa = static_cast<std::uint32_t>(std::nearbyint((fraction * 2 - 1) * 1024));
    int biased = exponent - 1 + 15;
    if (mantissa == 1024) {
        mantissa = 0;
        ++biased;
    }
    if (biased >= 31)
        return static_cast<WORD>(sign | 0x7C00);
    return static_cast<WORD>(sign | (biased << 10) | mantissa);
}
