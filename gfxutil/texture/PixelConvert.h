#pragma once
// Pixel readers and writers: every format the loader handles is read into, and written from, rows
// of four floats (red, green, blue, alpha; 0..1, or -1..1 for signed channels). Writers round each
// channel to the nearest step and, when asked, diffuse the rounding error Floyd–Steinberg style.

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "gfxutil/image/ImageFormats.h"

struct Color4 {
    float r;
    float g;
    float b;
    float a;
};

class PixelReader {
public:
    virtual ~PixelReader() = default;

    // Null when the format cannot be read. Palette formats use `palette` (256 entries), or opaque
    // white entries when it is null.
    static std::unique_ptr<PixelReader> Create(D3DFORMAT format, const PALETTEENTRY* palette);

    // Reads `count` pixels of row `y` starting at column `x` of the image at `bits`.
    virtual void ReadRow(const BYTE* bits, std::size_t pitch, UINT y, UINT x, UINT count,
                         Color4* out) const = 0;
};

class PixelWriter {
public:
    virtual ~PixelWriter() = default;

    // Null when the format cannot be written. `width` is the widest row that will be written.
    static std::unique_ptr<PixelWriter> Create(D3DFORMAT format, const PALETTEENTRY* palette, bool dither,
                                               UINT width);

    // True when the format's channels hold values from -1 to 1.
    virtual bool IsSigned() const { return false; }

    // Starts a new image (or volume slice): the diffused error starts from zero.
    void BeginImage();
    // Writes `count` pixels (at most the width given at creation) to `row`. Rows of one image
    // must come in order, top to bottom.
    void WriteRow(const Color4* in, BYTE* row, UINT count);

protected:
    // Writes one row; `Quantise` with the pixel's index does the rounding and the diffusion.
    virtual void Encode(const Color4* in, BYTE* row, UINT count) = 0;

    // Rounds `value` (in steps of the channel) to the nearest step within [low, high]. With
    // dithering the error carried to pixel `x`, channel `channel`, is added first and what the
    // rounding loses is passed on to the neighbours.
    float Quantise(float value, float low, float high, UINT x, int channel);
    // The error carried to pixel `x`, channel `channel` (0 without dithering).
    float CarriedError(UINT x, int channel) const;
    // Passes what pixel `x` lost in `channel` on to its neighbours (nothing without dithering).
    void PassOn(UINT x, int channel, float error);

    void Setup(bool dither, UINT width);

private:
    bool dither_ = false;
    // Error carried to the current row and to the next, per pixel and channel, in steps; one
    // spare entry on each side takes what falls off the edges.
    std::vector<float> errorThisRow_;
    std::vector<float> errorNextRow_;
};

// Reading and writing through the classes above is exact for 8-bit channels, so the fast paths
// below give the same bytes as the general path.

// Formats whose channels are whole bytes (A8R8G8B8, X8R8G8B8, R8G8B8, A8B8G8R8, X8B8G8R8, A8, L8,
// A8L8): a conversion between two of them that needs no arithmetic is a byte shuffle.
class ByteShuffle {
public:
    // Empty when the conversion needs arithmetic (colour to luminance) or a format is not one
    // of the byte formats.
    static std::optional<ByteShuffle> Between(D3DFORMAT source, D3DFORMAT target);

    void Apply(const BYTE* source, BYTE* target, UINT count) const;

    UINT SourceBytes() const { return sourceBytes_; }
    UINT TargetBytes() const { return targetBytes_; }

private:
    static constexpr BYTE kConstant = 0xFF;
    UINT sourceBytes_ = 0;
    UINT targetBytes_ = 0;
    BYTE from_[4] = {}; // source byte index for each target byte, or kConstant
    BYTE constant_[4] = {};
};

// 2 x 2 averages of a byte format into the same format, as the general path computes them.
// Empty for formats that are not byte formats.
class ByteBoxReducer {
public:
    static std::optional<ByteBoxReducer> For(D3DFORMAT format);
    // Averages rows `top` and `bottom` into `count` target pixels.
    void Apply(const BYTE* top, const BYTE* bottom, BYTE* target, UINT count) const;

    UINT PixelBytes() const { return bytes_; }

private:
    UINT bytes_ = 0;
    bool average_[4] = {};
    BYTE constant_[4] = {};
};

// sRGB transfer curve, per colour channel.
float SrgbToLinear(float value);
float LinearToSrgb(float value);

// Half-precision float conversion.
float HalfToFloat(WORD half);
WORD FloatToHalf(float value);
