#pragma once
// The span lanes' code, compiled once for each instruction set: SpanLanes.cpp builds it for the
// base set and SpanLanesAvx2.cpp with AVX2 enabled. Everything here has internal linkage, so the
// two builds never mix. Each lane runs the very operations the per-pixel code runs, in the same
// order, so a lane's result is the scalar result bit for bit.
//
// Colours are worked on two channels at a time: a packed pixel splits into its blue and red bytes
// and its green and alpha bytes, each byte in a 16-bit half of a 32-bit lane, where a product of
// two bytes (or of a byte and a weight up to 256) plus the rounding term still fits.

#include "platform/d3d9/SpanLanes.h"

#include <cstring>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

// Vectors are passed between functions that are always inlined and never leave this file, so
// their calling convention does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace {

typedef float FloatLanes __attribute__((vector_size(kSpanLanes * 4)));
typedef int IntLanes __attribute__((vector_size(kSpanLanes * 4)));
typedef unsigned UnsignedLanes __attribute__((vector_size(kSpanLanes * 4)));
typedef unsigned short PairLanes __attribute__((vector_size(kSpanLanes * 4))); // two 16-bit halves a lane
typedef unsigned short ShortLanes __attribute__((vector_size(kSpanLanes * 2)));

#define LUMIVOX_LANES [[gnu::always_inline]] inline

LUMIVOX_LANES bool AnyLane(IntLanes mask) {
#if defined(__AVX2__)
    return _mm256_movemask_epi8(__m256i(mask)) != 0;
#else
    int any = 0;
    for (int i = 0; i < kSpanLanes; ++i)
        any |= mask[i];
    return any != 0;
#endif
}

LUMIVOX_LANES bool EveryLane(IntLanes mask) {
#if defined(__AVX2__)
    return _mm256_movemask_epi8(__m256i(mask)) == -1;
#else
    int every = -1;
    for (int i = 0; i < kSpanLanes; ++i)
        every &= mask[i];
    return every == -1;
#endif
}

LUMIVOX_LANES UnsignedLanes Gather(const DWORD* texels, IntLanes at) {
#if defined(__AVX2__)
    return UnsignedLanes(_mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), __m256i(at), 4));
#else
    UnsignedLanes out;
    for (int i = 0; i < kSpanLanes; ++i)
        out[i] = texels[at[i]];
    return out;
#endif
}

LUMIVOX_LANES IntLanes LaneOffsets() {
    IntLanes offsets;
    for (int i = 0; i < kSpanLanes; ++i)
        offsets[i] = i;
    return offsets;
}

// SnapTexelCoordinate in lanes: held to +-1e9, then rounded to the nearest integer, ties to even,
// as the processor's conversion rounds. Below 2^23 adding and taking away 2^23 rounds; from there
// on every float is a whole number already.
LUMIVOX_LANES IntLanes SnapLanes(FloatLanes texels) {
    FloatLanes scaled = texels * 256.0f;
    scaled = scaled > -1.0e9f ? scaled : FloatLanes{} - 1.0e9f;
    scaled = scaled > 1.0e9f ? FloatLanes{} + 1.0e9f : scaled;
    const FloatLanes up = (scaled + 8388608.0f) - 8388608.0f;
    const FloatLanes down = (scaled - 8388608.0f) + 8388608.0f;
    const FloatLanes rounded = scaled >= 0.0f ? up : down;
    const IntLanes small = (scaled < 8388608.0f) & (scaled > -8388608.0f);
    return __builtin_convertvector(small ? rounded : scaled, IntLanes);
}

// QuantizeDepth16: 0 at or below 0 (and NaN), 65535 from 1 up.
LUMIVOX_LANES IntLanes QuantizeDepthLanes(FloatLanes z) {
    const IntLanes inside = (z > 0.0f) & (z < 1.0f);
    const FloatLanes scaled = inside ? z * 65535.0f + 0.5f : FloatLanes{};
    const IntLanes q = __builtin_convertvector(scaled, IntLanes);
    return z >= 1.0f ? IntLanes{} + 65535 : q;
}

// ColorToByte: 0 at or below 0 (and NaN), 255 from 1 up, else v * 255 + 0.5 cut.
LUMIVOX_LANES UnsignedLanes ColorByteLanes(FloatLanes v) {
    const IntLanes inside = (v > 0.0f) & (v < 1.0f);
    const FloatLanes scaled = inside ? v * 255.0f + 0.5f : FloatLanes{};
    const IntLanes bytes = __builtin_convertvector(scaled, IntLanes);
    return UnsignedLanes(v >= 1.0f ? IntLanes{} + 255 : bytes);
}

// The diffuse colour of each pixel, packed.
LUMIVOX_LANES UnsignedLanes DiffuseLanes(const float* row, const float* dx, FloatLanes fx, FloatLanes w) {
    UnsignedLanes c[4];
    for (int i = 0; i < 4; ++i)
        c[i] = ColorByteLanes((row[i] + dx[i] * fx) * w);
    return c[3] << 24 | c[0] << 16 | c[1] << 8 | c[2];
}

// ---- Colours, two channels at a time ----

LUMIVOX_LANES PairLanes BlueRed(UnsignedLanes c) {
    return PairLanes(c & 0x00FF00FFu);
}

LUMIVOX_LANES PairLanes GreenAlpha(UnsignedLanes c) {
    return PairLanes((c >> 8) & 0x00FF00FFu);
}

LUMIVOX_LANES UnsignedLanes Join(PairLanes blueRed, PairLanes greenAlpha) {
    return UnsignedLanes(blueRed) | (UnsignedLanes(greenAlpha) << 8);
}

// A per-pixel byte or weight in both halves of its lane.
LUMIVOX_LANES PairLanes BothHalves(UnsignedLanes value) {
    return PairLanes(value * 0x00010001u);
}

// a * b / 255 rounded (Mul255).
LUMIVOX_LANES PairLanes Mul255Pairs(PairLanes a, PairLanes b) {
    const PairLanes t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

// Per-channel a * b / 255 rounded on packed colours (ModulateColors).
LUMIVOX_LANES UnsignedLanes ModulateLanes(UnsignedLanes a, UnsignedLanes b) {
    return Join(Mul255Pairs(BlueRed(a), BlueRed(b)), Mul255Pairs(GreenAlpha(a), GreenAlpha(b)));
}

// (a * (256 - f) + b * f + 128) >> 8.
LUMIVOX_LANES PairLanes LerpPairs(PairLanes a, PairLanes b, PairLanes f, PairLanes rest) {
    return (a * rest + b * f + 128) >> 8;
}

// BilinearBlend: along each row first, rounded to 8 bits, then between the rows.
LUMIVOX_LANES UnsignedLanes BilinearLanes(UnsignedLanes t00, UnsignedLanes t10, UnsignedLanes t01,
                                          UnsignedLanes t11, UnsignedLanes fx, UnsignedLanes fy) {
    const PairLanes wx = BothHalves(fx), rx = BothHalves(256 - fx);
    const PairLanes wy = BothHalves(fy), ry = BothHalves(256 - fy);
    const PairLanes br = LerpPairs(LerpPairs(BlueRed(t00), BlueRed(t10), wx, rx),
                                   LerpPairs(BlueRed(t01), BlueRed(t11), wx, rx), wy, ry);
    const PairLanes ga = LerpPairs(LerpPairs(GreenAlpha(t00), GreenAlpha(t10), wx, rx),
                                   LerpPairs(GreenAlpha(t01), GreenAlpha(t11), wx, rx), wy, ry);
    return Join(br, ga);
}

LUMIVOX_LANES PairLanes SubtractPairs(PairLanes a, PairLanes b) {
    return a > b ? PairLanes(a - b) : PairLanes{};
}

// Per-channel max(0, a - b).
LUMIVOX_LANES UnsignedLanes SubtractLanes(UnsignedLanes a, UnsignedLanes b) {
    return Join(SubtractPairs(BlueRed(a), BlueRed(b)), SubtractPairs(GreenAlpha(a), GreenAlpha(b)));
}

// s * alpha + d * inverse, each rounded, the sum held to 255.
LUMIVOX_LANES PairLanes MixPairs(PairLanes s, PairLanes alpha, PairLanes d, PairLanes inverse) {
    const PairLanes sum = Mul255Pairs(s, alpha) + Mul255Pairs(d, inverse);
    return sum > 255 ? PairLanes{} + 255 : sum;
}

// BlendSourceAlpha: source * alpha + dest * (1 - alpha), each rounded, the sum saturated.
LUMIVOX_LANES UnsignedLanes BlendSourceAlphaLanes(UnsignedLanes source, UnsignedLanes dest) {
    const PairLanes alpha = BothHalves(source >> 24), inverse = BothHalves(255 - (source >> 24));
    return Join(MixPairs(BlueRed(source), alpha, BlueRed(dest), inverse),
                MixPairs(GreenAlpha(source), alpha, GreenAlpha(dest), inverse));
}

// ---- Texture coordinates and texels ----

// A sampler's coordinates for the lanes, and whether each pixel is minified (with the footprint
// that decided it: d(u, v, w)/dx, then d(u, v, w)/dy).
struct LaneCoordinates {
    FloatLanes u, v, w;
    IntLanes minified;
    FloatLanes footprint[6];
    FloatLanes squared; // the larger squared step in texels
};

LUMIVOX_LANES LaneCoordinates CoordinatesOf(const LaneSampler& t, FloatLanes fx, FloatLanes w) {
    LaneCoordinates c;
    c.u = (t.row[0] + t.dx[0] * fx) * w;
    c.v = (t.row[1] + t.dx[1] * fx) * w;
    c.w = c.squared = FloatLanes{};
    c.minified = IntLanes{};
    if (t.derivatives) {
        // The footprint: d(a/q)/dx = (dA/dx - a dq/dx) / q for each coordinate, then the larger
        // squared step in texels.
        c.w = (t.row[2] + t.dx[2] * fx) * w;
        const FloatLanes dudx = (t.dx[0] - c.u * t.qdx) * w, dvdx = (t.dx[1] - c.v * t.qdx) * w;
        const FloatLanes dwdx = (t.dx[2] - c.w * t.qdx) * w;
        const FloatLanes dudy = (t.dy[0] - c.u * t.qdy) * w, dvdy = (t.dy[1] - c.v * t.qdy) * w;
        const FloatLanes dwdy = (t.dy[2] - c.w * t.qdy) * w;
        const FloatLanes sx = (dudx * t.width) * (dudx * t.width) + (dvdx * t.height) * (dvdx * t.height) +
                              (dwdx * t.depth) * (dwdx * t.depth);
        const FloatLanes sy = (dudy * t.width) * (dudy * t.width) + (dvdy * t.height) * (dvdy * t.height) +
                              (dwdy * t.depth) * (dwdy * t.depth);
        const FloatLanes larger = sx > sy ? sx : sy;
        c.minified = larger > t.threshold;
        c.squared = larger;
        c.footprint[0] = dudx;
        c.footprint[1] = dvdx;
        c.footprint[2] = dwdx;
        c.footprint[3] = dudy;
        c.footprint[4] = dvdy;
        c.footprint[5] = dwdy;
    }
    return c;
}

// A texel index on an axis: clamped to the edge, or wrapped on a power of two.
LUMIVOX_LANES IntLanes AddressLanes(IntLanes index, int last, bool clamp) {
    if (!clamp)
        return index & last;
    index = index < 0 ? IntLanes{} : index;
    return index > last ? IntLanes{} + last : index;
}

LUMIVOX_LANES UnsignedLanes NearestTexels(const LaneSampler& t, const LaneCoordinates& c) {
    const IntLanes pu = SnapLanes(c.u * t.width), pv = SnapLanes(c.v * t.height);
    const IntLanes at =
        AddressLanes(pv >> 8, t.maskY, t.clamp) * t.pitch + AddressLanes(pu >> 8, t.maskX, t.clamp);
    return Gather(t.texels, at) | t.orMask;
}

LUMIVOX_LANES UnsignedLanes LinearTexels(const LaneSampler& t, const LaneCoordinates& c) {
    const IntLanes lu = SnapLanes(c.u * t.width - 0.5f), lv = SnapLanes(c.v * t.height - 0.5f);
    const IntLanes c0 = AddressLanes(lu >> 8, t.maskX, t.clamp),
                   c1 = AddressLanes((lu >> 8) + 1, t.maskX, t.clamp);
    const IntLanes r0 = AddressLanes(lv >> 8, t.maskY, t.clamp) * t.pitch;
    const IntLanes r1 = AddressLanes((lv >> 8) + 1, t.maskY, t.clamp) * t.pitch;
    const UnsignedLanes t00 = Gather(t.texels, r0 + c0) | t.orMask,
                        t10 = Gather(t.texels, r0 + c1) | t.orMask;
    const UnsignedLanes t01 = Gather(t.texels, r1 + c0) | t.orMask,
                        t11 = Gather(t.texels, r1 + c1) | t.orMask;
    // Four equal texels blend to themselves, whatever the weights (a magnified texture with
    // large even areas, such as the shadow's white).
    if (EveryLane(IntLanes((t00 == t10) & (t01 == t11) & (t00 == t01))))
        return t00;
    return BilinearLanes(t00, t10, t01, t11, UnsignedLanes(lu & 255), UnsignedLanes(lv & 255));
}

LUMIVOX_LANES UnsignedLanes FilteredTexels(const LaneSampler& t, const LaneCoordinates& c, IntLanes linear) {
    if (EveryLane(linear))
        return LinearTexels(t, c);
    if (!AnyLane(linear))
        return NearestTexels(t, c);
    return linear ? LinearTexels(t, c) : NearestTexels(t, c);
}

// The texels, each pixel with the filter its footprint picks; a filter no lane needs is not
// worked out.
LUMIVOX_LANES UnsignedLanes TexelLanes(const LaneSampler& t, const LaneCoordinates& c) {
    if (!t.minifiedSample) {
        const IntLanes linear = t.derivatives
                                    ? (c.minified ? IntLanes{} - t.minLinear : IntLanes{} - t.magLinear)
                                    : IntLanes{} - t.magLinear;
        return FilteredTexels(t, c, linear);
    }
    // Mip-mapped without a level-of-detail bias: the level of detail is half the squared step's
    // logarithm. Magnified pixels read the top level with the magnification filter; so do pixels
    // minified so little that the blend towards the next level rounds to nothing, with the
    // minification filter (below 1.0025 the level of detail stays under 0.0019, whose share of
    // the next level, x 256 + 0.5, is cut to 0).
    const IntLanes topLevel = !(c.squared > 1.0025f);
    UnsignedLanes texels = UnsignedLanes{};
    if (AnyLane(topLevel))
        texels = FilteredTexels(t, c, c.minified ? IntLanes{} - t.minLinear : IntLanes{} - t.magLinear);
    if (EveryLane(topLevel))
        return texels;
    for (int i = 0; i < kSpanLanes; ++i) {
        if (topLevel[i])
            continue;
        const float coords[3] = {c.u[i], c.v[i], c.w[i]};
        float footprint[6];
        for (int k = 0; k < 6; ++k)
            footprint[k] = c.footprint[k][i];
        texels[i] = t.minifiedSample(t.samplerSetup, coords, footprint);
    }
    return texels;
}

// ---- The per-pixel path's values ----

LUMIVOX_LANES void ComputeLanes(const LaneSetup& s, int x, LaneResults& r) {
    const FloatLanes fx = __builtin_convertvector(LaneOffsets() + x, FloatLanes) - s.originX;
    if (s.depth) {
        const IntLanes q = QuantizeDepthLanes(s.zRow + s.zdx * fx);
        for (int i = 0; i < kSpanLanes; ++i)
            r.z[i] = DWORD(q[i]);
    }
    const FloatLanes w = s.constantW ? FloatLanes{} + s.spanW : 1.0f / (s.qRow + s.qdx * fx);
    for (int i = 0; i < kSpanLanes; ++i)
        r.w[i] = w[i];
    for (int k = 0; k < 2; ++k) {
        const LaneSampler& t = s.sampler[k];
        if (!t.active)
            continue;
        const LaneCoordinates c = CoordinatesOf(t, fx, w);
        for (int i = 0; i < kSpanLanes; ++i) {
            r.u[k][i] = c.u[i];
            r.v[k][i] = c.v[i];
            r.minified[k][i] = c.minified[i];
        }
        if (!t.texels)
            continue;
        const UnsignedLanes texel = TexelLanes(t, c);
        for (int i = 0; i < kSpanLanes; ++i)
            r.texel[k][i] = texel[i];
    }
    if (s.diffuse) {
        const UnsignedLanes packed = DiffuseLanes(s.diffuseRow, s.diffuseDx, fx, w);
        for (int i = 0; i < kSpanLanes; ++i)
            r.diffuse[i] = DWORD(packed[i]);
    }
}

// ---- Whole spans ----

LUMIVOX_LANES UnsignedLanes StageSource(int source, UnsignedLanes texel, UnsignedLanes diffuse,
                                        UnsignedLanes factor) {
    switch (source) {
    case kLaneTexture:
        return texel;
    case kLaneDiffuse:
        return diffuse;
    case kLaneTextureTimesDiffuse:
        return ModulateLanes(texel, diffuse);
    default:
        return SubtractLanes(factor, diffuse);
    }
}

// Compare in lanes: the incoming value against the stored one (or the reference).
LUMIVOX_LANES IntLanes CompareLanes(DWORD func, IntLanes value, IntLanes stored) {
    switch (func) {
    case D3DCMP_NEVER:
        return IntLanes{};
    case D3DCMP_LESS:
        return value < stored;
    case D3DCMP_EQUAL:
        return value == stored;
    case D3DCMP_LESSEQUAL:
        return value <= stored;
    case D3DCMP_GREATER:
        return value > stored;
    case D3DCMP_NOTEQUAL:
        return value != stored;
    case D3DCMP_GREATEREQUAL:
        return value >= stored;
    default:
        return IntLanes{} - 1;
    }
}

// Shades the pixels x0 .. x1 of a row: the stages, the depth test and write, the blend and the
// writes. A group of lanes that lies inside the row reads and writes eight pixels whole, also past
// the span's end: the pixels outside it or failing a test are written back as they were (the row
// belongs to this thread while it draws).
template <int Blend, bool Depth, bool Second> void ShadeLanes(const LaneSetup& setup, int x0, int x1) {
    const LaneSetup& s = setup;
    const LaneShading h = s.shading;
    const UnsignedLanes factor = UnsignedLanes{} + h.factor;
    const UnsignedLanes spanDiffuse = UnsignedLanes{} + h.spanDiffuse;
    for (int x = x0; x <= x1; x += kSpanLanes) {
        const IntLanes xi = LaneOffsets() + x;
        const FloatLanes fx = __builtin_convertvector(xi, FloatLanes) - s.originX;
        const IntLanes valid = xi <= x1;
        const bool whole = x + kSpanLanes <= h.rowWidth;
        IntLanes depth = IntLanes{}, stored = IntLanes{}, pass = valid;
        if (Depth) {
            depth = QuantizeDepthLanes(s.zRow + s.zdx * fx);
            if (whole) {
                ShortLanes row;
                std::memcpy(&row, h.depths + x, sizeof row);
                stored = __builtin_convertvector(row, IntLanes);
            } else {
                for (int i = 0; i < kSpanLanes; ++i)
                    stored[i] = valid[i] ? h.depths[x + i] : 0;
            }
            pass &= CompareLanes(h.depthFunc, depth, stored);
            if (!AnyLane(pass))
                continue;
        }
        const FloatLanes w = s.constantW ? FloatLanes{} + s.spanW : 1.0f / (s.qRow + s.qdx * fx);
        UnsignedLanes texel0 = UnsignedLanes{} + 0xFFFFFFFFu;
        if (s.sampler[0].active)
            texel0 = TexelLanes(s.sampler[0], CoordinatesOf(s.sampler[0], fx, w));
        const UnsignedLanes diffuse =
            s.diffuse ? DiffuseLanes(s.diffuseRow, s.diffuseDx, fx, w) : spanDiffuse;
        UnsignedLanes out = (StageSource(h.color, texel0, diffuse, factor) & 0x00FFFFFFu) |
                            (StageSource(h.alpha, texel0, diffuse, factor) & 0xFF000000u);
        if (Second && s.sampler[1].active) {
            const UnsignedLanes texel1 = TexelLanes(s.sampler[1], CoordinatesOf(s.sampler[1], fx, w));
            out = (ModulateLanes(texel1, out) & 0x00FFFFFFu) | (out & 0xFF000000u);
        }
        if (h.alphaTest) {
            pass &= CompareLanes(h.alphaFunc, IntLanes(out >> 24), IntLanes{} + int(h.alphaRef));
            if (!AnyLane(pass))
                continue;
        }
        UnsignedLanes dest = UnsignedLanes{};
        if (whole)
            std::memcpy(&dest, h.colors + x, sizeof dest);
        else if (Blend != kLaneOpaque)
            for (int i = 0; i < kSpanLanes; ++i)
                dest[i] = valid[i] ? h.colors[x + i] : 0;
        if (Blend == kLaneMultiply) // multiplying by white keeps the target as it is
            out = EveryLane(IntLanes(out == 0xFFFFFFFFu)) ? dest : ModulateLanes(dest | h.alphaOr, out);
        else if (Blend == kLaneSourceAlpha)
            out = BlendSourceAlphaLanes(out, dest | h.alphaOr);
        out |= h.alphaOr;
        if (whole) {
            const UnsignedLanes colors = pass ? out : dest;
            std::memcpy(h.colors + x, &colors, sizeof colors);
            if (Depth && h.depthWrite) {
                const ShortLanes depths = __builtin_convertvector(pass ? depth : stored, ShortLanes);
                std::memcpy(h.depths + x, &depths, sizeof depths);
            }
            continue;
        }
        for (int i = 0; i < kSpanLanes; ++i) {
            if (!pass[i])
                continue;
            if (Depth && h.depthWrite)
                h.depths[x + i] = WORD(depth[i]);
            h.colors[x + i] = out[i];
        }
    }
}

template <int Blend, bool Depth> LaneSpanFunction PickSecond(bool second) {
    return second ? ShadeLanes<Blend, Depth, true> : ShadeLanes<Blend, Depth, false>;
}

template <int Blend> LaneSpanFunction PickDepth(bool depth, bool second) {
    return depth ? PickSecond<Blend, true>(second) : PickSecond<Blend, false>(second);
}

LaneSpanFunction PickShadeLanes(int blend, bool depth, bool second) {
    switch (blend) {
    case kLaneSourceAlpha:
        return PickDepth<kLaneSourceAlpha>(depth, second);
    case kLaneMultiply:
        return PickDepth<kLaneMultiply>(depth, second);
    default:
        return PickDepth<kLaneOpaque>(depth, second);
    }
}

#undef LUMIVOX_LANES

} // namespace
