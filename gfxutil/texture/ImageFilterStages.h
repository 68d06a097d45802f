#pragma once
// The two ends of every surface-loading strategy: reading source rows into floats (with the
// colour key and the sRGB decoding applied) and writing float rows to the target (with the sRGB
// encoding and the writer's rounding and dithering).

#include <cstddef>
#include <memory>

#include "gfxutil/texture/PixelConvert.h"

// A block of source pixels: `bits` points at pixel (0, 0, 0) of the whole image, the block starts
// at (left, top, front).
struct PixelSource {
    const BYTE* bits = nullptr;
    std::size_t rowPitch = 0;
    std::size_t slicePitch = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    const PALETTEENTRY* palette = nullptr;
    UINT left = 0;
    UINT top = 0;
    UINT front = 0;
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
};

// A block of target pixels: `bits` points at the block's first pixel.
struct PixelTarget {
    BYTE* bits = nullptr;
    std::size_t rowPitch = 0;
    std::size_t slicePitch = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    const PALETTEENTRY* palette = nullptr;
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
};

class SourceRows {
public:
    SourceRows(const PixelSource& source, std::unique_ptr<PixelReader> reader, D3DCOLOR colorKey,
               bool srgbIn);

    const PixelSource& Block() const { return source_; }
    // Reads `count` pixels of row `y`, slice `z` of the block, from column `x`.
    void Read(UINT x, UINT y, UINT z, UINT count, Color4* out) const;

private:
    PixelSource source_;
    std::unique_ptr<PixelReader> reader_;
    D3DCOLOR colorKey_;
    bool srgbIn_;
};

class TargetRows {
public:
    TargetRows(const PixelTarget& target, std::unique_ptr<PixelWriter> writer, bool srgbOut);

    const PixelTarget& Block() const { return target_; }
    // Starts a slice; its rows must then be written in order.
    void BeginSlice() { writer_->BeginImage(); }
    // Writes `count` pixels to the start of row `y`, slice `z`. With `clamp` the values are first
    // limited to the writer's range. `row` may be changed.
    void Write(UINT y, UINT z, Color4* row, UINT count, bool clamp);

private:
    PixelTarget target_;
    std::unique_ptr<PixelWriter> writer_;
    bool srgbOut_;
};

// The colour as 0xAARRGGBB with each channel rounded to 8 bits.
D3DCOLOR ToArgb(const Color4& colour);
