#pragma once
// Small per-pixel operations shared by the general and the specialised span functions; inline so
// the specialised loops compile into straight code.

#include "platform/d3d9/OutputMerger.h"
#include "platform/d3d9/PixelPipeline.h"
#include "platform/d3d9/TextureSampler.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

inline int ColorToByte(float v) {
    if (!(v > 0.0f))
        return 0;
    if (v >= 1.0f)
        return 255;
    return int(v * 255.0f + 0.5f);
}

// Per-channel a * b / 255 with rounding, on packed A8R8G8B8 colours.
inline DWORD ModulateColors(DWORD a, DWORD b) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i a16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(a)), zero);
    const __m128i b16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(b)), zero);
    __m128i t = _mm_add_epi16(_mm_mullo_epi16(a16, b16), _mm_set1_epi16(128));
    t = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    return DWORD(_mm_cvtsi128_si32(_mm_packus_epi16(t, t)));
#else
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= DWORD(Mul255(int((a >> shift) & 255), int((b >> shift) & 255))) << shift;
    return out;
#endif
}

// source * alpha + dest * (1 - alpha) per channel, each product rounded, the sum saturated.
inline DWORD BlendSourceAlpha(DWORD source, DWORD dest) {
    const int alpha = int(source >> 24);
    const DWORD a = DWORD(alpha) * 0x01010101u, inverse = DWORD(255 - alpha) * 0x01010101u;
#if defined(__SSE2__)
    const __m128i s = _mm_cvtsi32_si128(int(ModulateColors(source, a)));
    const __m128i d = _mm_cvtsi32_si128(int(ModulateColors(dest, inverse)));
    return DWORD(_mm_cvtsi128_si32(_mm_adds_epu8(s, d)));
#else
    const DWORD s = ModulateColors(source, a), d = ModulateColors(dest, inverse);
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= DWORD(std::min(255u, ((s >> shift) & 255) + ((d >> shift) & 255))) << shift;
    return out;
#endif
}

// Texel index on an axis; power-of-two wrapping (the common case) avoids a division.
inline int AddressFast(int index, int size, DWORD mode) {
    if (mode == D3DTADDRESS_WRAP && (size & (size - 1)) == 0)
        return index & (size - 1);
    return AddressTexel(index, size, mode);
}

inline DWORD FetchTexel(const TexelView& view, int x, int y, DWORD border) {
    if (x < 0 || y < 0)
        return border;
    return view.texels[size_t(y) * view.pitch + x] | view.orMask;
}

inline DWORD PointSample(const SamplerSetup& s, const TexelView& view, float u, float v) {
    const int x = AddressFast(SnapTexelCoordinate(u * float(view.width)) >> 8, view.width, s.address[0]);
    const int y = AddressFast(SnapTexelCoordinate(v * float(view.height)) >> 8, view.height, s.address[1]);
    return FetchTexel(view, x, y, s.border);
}

// Blends four texels: along each row first (rounded to 8 bits), then between the rows.
inline DWORD BilinearBlend(DWORD c00, DWORD c10, DWORD c01, DWORD c11, int fx, int fy) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i left = _mm_unpacklo_epi8(_mm_set_epi32(0, 0, int(c01), int(c00)), zero);
    const __m128i right = _mm_unpacklo_epi8(_mm_set_epi32(0, 0, int(c11), int(c10)), zero);
    const __m128i round = _mm_set1_epi16(128);
    const __m128i rows =
        _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(left, _mm_set1_epi16(short(256 - fx))),
                                                   _mm_mullo_epi16(right, _mm_set1_epi16(short(fx)))),
                                     round),
                       8);
    const __m128i bottom = _mm_unpackhi_epi64(rows, rows);
    const __m128i mixed =
        _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(rows, _mm_set1_epi16(short(256 - fy))),
                                                   _mm_mullo_epi16(bottom, _mm_set1_epi16(short(fy)))),
                                     round),
                       8);
    return DWORD(_mm_cvtsi128_si32(_mm_packus_epi16(mixed, mixed)));
#else
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((c00 >> shift) & 255), b = int((c10 >> shift) & 255);
        const int c = int((c01 >> shift) & 255), d = int((c11 >> shift) & 255);
        const int top = (a * (256 - fx) + b * fx + 128) >> 8;
        const int bottom = (c * (256 - fx) + d * fx + 128) >> 8;
        out |= DWORD((top * (256 - fy) + bottom * fy + 128) >> 8) << shift;
    }
    return out;
#endif
}

inline DWORD LinearSample(const SamplerSetup& s, const TexelView& view, float u, float v) {
    const int fu = SnapTexelCoordinate(u * float(view.width) - 0.5f);
    const int fv = SnapTexelCoordinate(v * float(view.height) - 0.5f);
    const int x0 = AddressFast(fu >> 8, view.width, s.address[0]);
    const int x1 = AddressFast((fu >> 8) + 1, view.width, s.address[0]);
    const int y0 = AddressFast(fv >> 8, view.height, s.address[1]);
    const int y1 = AddressFast((fv >> 8) + 1, view.height, s.address[1]);
    return BilinearBlend(FetchTexel(view, x0, y0, s.border), FetchTexel(view, x1, y0, s.border),
                         FetchTexel(view, x0, y1, s.border), FetchTexel(view, x1, y1, s.border), fu & 255,
                         fv & 255);
}

// Screen-space derivatives of a pixel's coordinates at varying `offset`: d(a/q)/dx is
// (dA/dx - a dq/dx) / q, A being the plane of a * q.
inline TexelFootprint PixelFootprint(const SpanPlanes& pl, const float* coords, int offset, float w) {
    TexelFootprint f;
    f.dudx = (pl.dx[offset] - coords[0] * pl.q[1]) * w;
    f.dvdx = (pl.dx[offset + 1] - coords[1] * pl.q[1]) * w;
    f.dwdx = (pl.dx[offset + 2] - coords[2] * pl.q[1]) * w;
    f.dudy = (pl.dy[offset] - coords[0] * pl.q[2]) * w;
    f.dvdy = (pl.dy[offset + 1] - coords[1] * pl.q[2]) * w;
    f.dwdy = (pl.dy[offset + 2] - coords[2] * pl.q[2]) * w;
    return f;
}

// Samples a texture. Flat textures read without mip levels take the inline filters, choosing the
// filter from the footprint when the minification and magnification filters differ; mip-mapped,
// cube and volume textures go through the general sampler.
inline DWORD SampleFlat(const SamplerSetup& s, const TexelView& view, const float* coords,
                        const SpanPlanes& pl, int offset, float w) {
    if (s.kind != TextureKind::Flat || s.mipFilter != D3DTEXF_NONE)
        return SampleTexture(s, coords,
                             s.needsDerivatives ? PixelFootprint(pl, coords, offset, w) : TexelFootprint{});
    DWORD filter = s.magFilter;
    if (s.needsDerivatives &&
        FootprintSquared(view, PixelFootprint(pl, coords, offset, w)) > s.minificationThreshold)
        filter = s.minFilter;
    if (filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC)
        return LinearSample(s, view, coords[0], coords[1]);
    return PointSample(s, view, coords[0], coords[1]);
}

inline DWORD ReadDepthValue(const TargetView& depth, int x, int y) {
    const BYTE* row = depth.bits + size_t(y) * depth.pitch;
    if (IsDepth16(depth.format)) {
        WORD v;
        std::memcpy(&v, row + size_t(x) * 2, 2);
        return v;
    }
    DWORD v;
    std::memcpy(&v, row + size_t(x) * 4, 4);
    return v;
}

inline void WriteDepthValue(const TargetView& depth, int x, int y, DWORD value) {
    BYTE* row = depth.bits + size_t(y) * depth.pitch;
    if (IsDepth16(depth.format)) {
        const WORD v = WORD(value);
        std::memcpy(row + size_t(x) * 2, &v, 2);
        return;
    }
    DWORD stored;
    std::memcpy(&stored, row + size_t(x) * 4, 4);
    if (depth.format != D3DFMT_D32)
        value = (value & 0xFFFFFF00u) | (stored & 0xFFu); // keep the stencil byte
    std::memcpy(row + size_t(x) * 4, &value, 4);
}

// D16 quantisation without the format switch.
inline DWORD QuantizeDepth16(float z) {
    if (!(z > 0.0f))
        return 0;
    if (z >= 1.0f)
        return 65535;
    return DWORD(z * 65535.0f + 0.5f);
}
