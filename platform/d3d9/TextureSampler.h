#pragma once
// Reads filtered texels from a texture with a sampler's addressing and filtering states.
// Coordinates are snapped to 1/256 of a texel before they pick texels, so a coordinate that lands
// exactly on a texel edge picks the same texel every time.

#include "platform/d3d9/Surface.h"
#include "platform/d3d9/Texture.h"

#include <cmath>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

struct SamplerSetup {
    const TexelView* views = nullptr; // null: no texture (reads opaque white)
    TextureKind kind = TextureKind::Flat;
    int levels = 0;
    int baseLevel = 0;
    DWORD address[3] = {D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP};
    DWORD border = 0;
    DWORD magFilter = D3DTEXF_POINT;
    DWORD minFilter = D3DTEXF_POINT;
    DWORD mipFilter = D3DTEXF_NONE;
    float lodBias = 0.0f;
    bool needsDerivatives = false; // true when the level or the filter depends on the footprint
    // Without mip-mapping, the minification filter applies where the squared footprint exceeds
    // this (1 for no level-of-detail bias).
    float minificationThreshold = 1.0f;
};

// Fills a setup from a texture (may be null) and the sampler's states.
void PrepareSampler(SampledTexture* texture, const DWORD* samplerStates, SamplerSetup* setup);

// Brings the texture's views and most detailed level up to date (its pixels or its LOD may have
// changed since the setup was made).
void RefreshSamplerTexture(SampledTexture* texture, const DWORD* samplerStates, SamplerSetup* setup);

// Coordinates' screen-space derivatives, used only when `needsDerivatives` is set.
struct TexelFootprint {
    float dudx = 0, dvdx = 0, dwdx = 0;
    float dudy = 0, dvdy = 0, dwdy = 0;
};

// Squared length of the larger screen-space step of the coordinates, in texels of `top`.
inline float FootprintSquared(const TexelView& top, const TexelFootprint& f) {
    const float w = float(top.width), h = float(top.height), d = float(top.depth);
    const float x = (f.dudx * w) * (f.dudx * w) + (f.dvdx * h) * (f.dvdx * h) + (f.dwdx * d) * (f.dwdx * d);
    const float y = (f.dudy * w) * (f.dudy * w) + (f.dvdy * h) * (f.dvdy * h) + (f.dwdy * d) * (f.dwdy * d);
    return x > y ? x : y;
}

// Samples at (u, v, w); returns A8R8G8B8.
DWORD SampleTexture(const SamplerSetup& setup, const float* coords, const TexelFootprint& footprint);

// Maps a texel index onto the texture according to an address mode; -1 means the border colour.
int AddressTexel(int index, int size, DWORD mode);

// Texel coordinate in 24.8 fixed point, rounded to nearest; NaN and huge values are held to a
// safe range.
inline int SnapTexelCoordinate(float texels) {
    float scaled = texels * 256.0f;
    if (!(scaled > -1.0e9f))
        scaled = -1.0e9f;
    if (scaled > 1.0e9f)
        scaled = 1.0e9f;
#if defined(__SSE2__)
    return _mm_cvtss_si32(_mm_set_ss(scaled));
#else
    return int(std::lrint(scaled));
#endif
}
