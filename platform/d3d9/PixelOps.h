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

inline bool WrapsPow2(DWORD mode, int size) {
    return mode == D3DTADDRESS_WRAP && (size & (size - 1)) == 0;
}

// Texel index on an axis; power-of-two wrapping (the common case) avoids a division.
inline int AddressFast(int index, int size, DWORD mode) {
    if (WrapsPow2(mode, size))
        return index & (size - 1);
    return AddressTexel(index, size, mode);
}

// A stage's sampler and base level as a span function reads them. They are copied out of the
// setup once per span: the pixel loop writes the target through DWORD pointers, which could alias
// the setup and would make the compiler read it again for every pixel.
struct SpanSampler {
    const SamplerSetup* setup = nullptr; // null: the stage reads no texture
    TexelView view;
    bool general = false; // mip-mapped, cube and volume textures take the general sampler
    bool needsDerivatives = false;
    DWORD magFilter = D3DTEXF_POINT, minFilter = D3DTEXF_POINT;
    float minificationThreshold = 1.0f;
    DWORD addressU = D3DTADDRESS_WRAP, addressV = D3DTADDRESS_WRAP;
    DWORD border = 0;
    // Both axes wrap on power-of-two sizes (the common case): a texel index is the index masked,
    // never the border.
    bool wrapsPow2 = false;
};

inline SpanSampler SpanSamplerOf(const SamplerSetup& s, bool samples) {
    SpanSampler out;
    if (!samples || !s.views)
        return out;
    out.setup = &s;
    out.view = s.views[s.baseLevel];
    out.general = s.kind != TextureKind::Flat || s.mipFilter != D3DTEXF_NONE;
    out.needsDerivatives = s.needsDerivatives;
    out.magFilter = s.magFilter;
    out.minFilter = s.minFilter;
    out.minificationThreshold = s.minificationThreshold;
    out.addressU = s.address[0];
    out.addressV = s.address[1];
    out.border = s.border;
    out.wrapsPow2 = out.view.width > 0 && out.view.height > 0 && WrapsPow2(out.addressU, out.view.width) &&
                    WrapsPow2(out.addressV, out.view.height);
    return out;
}

inline DWORD FetchTexel(const TexelView& view, int x, int y, DWORD border) {
    if (x < 0 || y < 0)
        return border;
    return view.texels[size_t(y) * view.pitch + x] | view.orMask;
}

[[gnu::always_inline]] inline DWORD PointSample(const SpanSampler& s, float u, float v) {
    const TexelView& view = s.view;
    const int x = AddressFast(SnapTexelCoordinate(u * float(view.width)) >> 8, view.width, s.addressU);
    const int y = AddressFast(SnapTexelCoordinate(v * float(view.height)) >> 8, view.height, s.addressV);
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

// The four texels of a wrapping power-of-two texture, all inside it.
[[gnu::always_inline]] inline DWORD LinearSampleWrapped(const TexelView& view, int fu, int fv) {
    const int maskX = view.width - 1, maskY = view.height - 1;
    const int x0 = (fu >> 8) & maskX, x1 = ((fu >> 8) + 1) & maskX;
    const DWORD* row0 = view.texels + size_t((fv >> 8) & maskY) * view.pitch;
    const DWORD* row1 = view.texels + size_t(((fv >> 8) + 1) & maskY) * view.pitch;
    const DWORD o = view.orMask;
    return BilinearBlend(row0[x0] | o, row0[x1] | o, row1[x0] | o, row1[x1] | o, fu & 255, fv & 255);
}

[[gnu::always_inline]] inline DWORD LinearSample(const SpanSampler& s, float u, float v) {
    const TexelView& view = s.view;
    const int fu = SnapTexelCoordinate(u * float(view.width) - 0.5f);
    const int fv = SnapTexelCoordinate(v * float(view.height) - 0.5f);
    if (s.wrapsPow2)
        return LinearSampleWrapped(view, fu, fv);
    const int x0 = AddressFast(fu >> 8, view.width, s.addressU);
    const int x1 = AddressFast((fu >> 8) + 1, view.width, s.addressU);
    const int y0 = AddressFast(fv >> 8, view.height, s.addressV);
    const int y1 = AddressFast((fv >> 8) + 1, view.height, s.addressV);
    return BilinearBlend(FetchTexel(view, x0, y0, s.border), FetchTexel(view, x1, y0, s.border),
                         FetchTexel(view, x0, y1, s.border), FetchTexel(view, x1, y1, s.border), fu & 255,
                         fv & 255);
}

[[gnu::always_inline]] inline DWORD FilterSample(const SpanSampler& s, DWORD filter, float u, float v) {
    if (filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC)
        return LinearSample(s, u, v);
    return PointSample(s, u, v);
}

// A stage's three coordinates along one row: the planes of coordinate * q at the row's origin
// and their steps, with the steps of q, held in registers by the pixel loop.
struct SpanCoords {
    float row[3];
    float dx[3], dy[3];
    float qdx, qdy;

    // Coordinate i of the pixel `fx` from the origin, whose w is `w`.
    float At(int i, float fx, float w) const { return (row[i] + dx[i] * fx) * w; }
};

// `row` holds every varying's plane at the row's origin.
inline SpanCoords SpanCoordsOf(const SpanPlanes& pl, const float* row, int offset) {
    if (offset < 0)
        return SpanCoords{};
    SpanCoords c;
    for (int i = 0; i < 3; ++i) {
        c.row[i] = row[offset + i];
        c.dx[i] = pl.dx[offset + i];
        c.dy[i] = pl.dy[offset + i];
    }
    c.qdx = pl.q[1];
    c.qdy = pl.q[2];
    return c;
}

// Screen-space derivatives of a pixel's coordinates: d(a/q)/dx is (dA/dx - a dq/dx) / q, A being
// the plane of a * q.
inline TexelFootprint PixelFootprint(const SpanCoords& c, const float* coords, float w) {
    TexelFootprint f;
    f.dudx = (c.dx[0] - coords[0] * c.qdx) * w;
    f.dvdx = (c.dx[1] - coords[1] * c.qdx) * w;
    f.dwdx = (c.dx[2] - coords[2] * c.qdx) * w;
    f.dudy = (c.dy[0] - coords[0] * c.qdy) * w;
    f.dvdy = (c.dy[1] - coords[1] * c.qdy) * w;
    f.dwdy = (c.dy[2] - coords[2] * c.qdy) * w;
    return f;
}

// Samples a texture. Flat textures read without mip levels take the inline filters, choosing the
// filter from the footprint when the minification and magnification filters differ; mip-mapped,
// cube and volume textures go through the general sampler.
[[gnu::always_inline]] inline DWORD SampleFlat(const SpanSampler& s, const SpanCoords& planes, float fx,
                                               float w) {
    const float u = planes.At(0, fx, w), v = planes.At(1, fx, w);
    if (!s.general && !s.needsDerivatives)
        return FilterSample(s, s.magFilter, u, v);
    const float coords[3] = {u, v, planes.At(2, fx, w)};
    if (s.general)
        return SampleTexture(*s.setup, coords,
                             s.needsDerivatives ? PixelFootprint(planes, coords, w) : TexelFootprint{});
    const bool minified =
        FootprintSquared(s.view, PixelFootprint(planes, coords, w)) > s.minificationThreshold;
    return FilterSample(s, minified ? s.minFilter : s.magFilter, u, v);
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
