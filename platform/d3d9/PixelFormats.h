#pragma once
// What the device knows about each pixel format: its size, what it may be used for, and how its
// pixels convert to and from 8-bit A8R8G8B8 (the pipeline's colour precision).

#include "platform/d3d9/D3D9Types.h"

struct PixelFormatInfo {
    D3DFORMAT format;
    UINT bytesPerPixel;
    bool sampled;      // usable as a texture
    bool renderTarget; // usable as a colour render target
    bool depth;        // usable as a depth buffer
    bool hasAlpha;     // has alpha bits of its own
};

// Null for formats the device does not handle.
const PixelFormatInfo* FindPixelFormat(D3DFORMAT format);

// Converts `count` pixels of `format` to A8R8G8B8; channels the format lacks read as 1.0, except
// that A8 reads black.
void DecodePixels(D3DFORMAT format, const BYTE* source, DWORD* target, UINT count);

// Converts `count` A8R8G8B8 pixels to a render-target format, rounding each channel.
void EncodePixels(D3DFORMAT format, const DWORD* source, BYTE* target, UINT count);

// Expands an n-bit channel value to 8 bits with rounding.
constexpr DWORD ExpandChannel(DWORD value, DWORD bits) {
    const DWORD max = (1u << bits) - 1;
    return (value * 255 + max / 2) / max;
}

// Reduces an 8-bit channel value to n bits with rounding.
constexpr DWORD ReduceChannel(DWORD value, DWORD bits) {
    const DWORD max = (1u << bits) - 1;
    return (value * max + 127) / 255;
}
