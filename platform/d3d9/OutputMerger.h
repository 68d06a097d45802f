#pragma once
// The last steps of a pixel: alpha test, depth test, blending with the target and the colour
// write mask.

#include "platform/d3d9/TextureStages.h"

struct BlendSetup {
    bool enabled = false;
    DWORD src = D3DBLEND_ONE, dest = D3DBLEND_ZERO, op = D3DBLENDOP_ADD;
    DWORD srcAlpha = D3DBLEND_ONE, destAlpha = D3DBLEND_ZERO, opAlpha = D3DBLENDOP_ADD;
    Rgba factor{255, 255, 255, 255};
};

// Reads the blend states (D3DRS_* array) into a setup.
BlendSetup ReadBlendSetup(const DWORD* renderStates);

// Blends a source colour into a destination colour (both A8R8G8B8).
DWORD BlendColors(const BlendSetup& blend, DWORD source, DWORD dest);

// "incoming FUNC stored" for depth and alpha comparisons.
inline bool Compare(DWORD func, DWORD incoming, DWORD stored) {
    switch (func) {
    case D3DCMP_NEVER:
        return false;
    case D3DCMP_LESS:
        return incoming < stored;
    case D3DCMP_EQUAL:
        return incoming == stored;
    case D3DCMP_LESSEQUAL:
        return incoming <= stored;
    case D3DCMP_GREATER:
        return incoming > stored;
    case D3DCMP_NOTEQUAL:
        return incoming != stored;
    case D3DCMP_GREATEREQUAL:
        return incoming >= stored;
    default:
        return true;
    }
}

// Depth in [0, 1] as the integer a depth buffer of `format` stores (D24 formats keep it in the
// upper 24 bits, stencil in the low 8).
DWORD QuantizeDepth(float z, D3DFORMAT format);

// Whether a depth format stores 16-bit values.
inline bool IsDepth16(D3DFORMAT format) {
    return format == D3DFMT_D16 || format == D3DFMT_D16_LOCKABLE;
}

// Colour write mask as an A8R8G8B8 bit mask.
DWORD ColorWriteMaskBits(DWORD colorWriteEnable);
