#include "platform/d3d9/SpanLanes.h"

#include <cstring>

namespace {

typedef float FloatLanes __attribute__((vector_size(kSpanLanes * 4)));
typedef int IntLanes __attribute__((vector_size(kSpanLanes * 4)));
typedef unsigned UnsignedLanes __attribute__((vector_size(kSpanLanes * 4)));
typedef unsigned short ShortLanes __attribute__((vector_size(kSpanLanes * 2)));

// The helpers are macros, not functions: a function taking or returning eight-lane vectors would
// pass them differently with and without AVX, and the base set is built without it.

// SnapTexelCoordinate in lanes: held to +-1e9, then rounded to the nearest integer, ties to even,
// as the processor's conversion rounds. Below 2^23 adding and taking away 2^23 rounds; from there
// on every float is a whole number already.
#define LUMIVOX_SNAP(out, texels)                                                                            \
    do {                                                                                                     \
        FloatLanes scaled_ = (texels)*256.0f;                                                                \
        scaled_ = scaled_ > -1.0e9f ? scaled_ : FloatLanes{} - 1.0e9f;                                       \
        scaled_ = scaled_ > 1.0e9f ? FloatLanes{} + 1.0e9f : scaled_;                                        \
        const FloatLanes up_ = (scaled_ + 8388608.0f) - 8388608.0f;                                          \
        const FloatLanes down_ = (scaled_ - 8388608.0f) + 8388608.0f;                                        \
        const FloatLanes rounded_ = scaled_ >= 0.0f ? up_ : down_;                                           \
        const IntLanes small_ = (scaled_ < 8388608.0f) & (scaled_ > -8388608.0f);                            \
        (out) = __builtin_convertvector(small_ ? rounded_ : scaled_, IntLanes);                              \
    } while (false)

// Per-channel a * b / 255 rounded, on packed colours (ModulateColors).
#define LUMIVOX_MODULATE(out, a, b)                                                                          \
    do {                                                                                                     \
        UnsignedLanes product_ = UnsignedLanes{};                                                            \
        for (int shift_ = 0; shift_ < 32; shift_ += 8) {                                                     \
            const UnsignedLanes t_ = (((a) >> shift_) & 255) * (((b) >> shift_) & 255) + 128;                \
            product_ |= ((t_ + (t_ >> 8)) >> 8) << shift_;                                                   \
        }                                                                                                    \
        (out) = product_;                                                                                    \
    } while (false)

[[gnu::always_inline]] inline void ComputeLanes(const LaneSetup& s, int x, LaneResults& r) {
    IntLanes xi;
    for (int i = 0; i < kSpanLanes; ++i)
        xi[i] = x + i;
    const FloatLanes fx = __builtin_convertvector(xi, FloatLanes) - s.originX;
    IntLanes depthValue = IntLanes{};
    if (s.depth) {
        // QuantizeDepth16: 0 at or below 0 (and NaN), 65535 from 1 up.
        const FloatLanes z = s.zRow + s.zdx * fx;
        const IntLanes inside = (z > 0.0f) & (z < 1.0f);
        const FloatLanes scaled = inside ? z * 65535.0f + 0.5f : FloatLanes{};
        IntLanes q = __builtin_convertvector(scaled, IntLanes);
        q = z >= 1.0f ? IntLanes{} + 65535 : q;
        depthValue = q;
        for (int i = 0; i < kSpanLanes; ++i)
            r.z[i] = DWORD(q[i]);
    }
    const FloatLanes w = s.constantW ? FloatLanes{} + s.spanW : 1.0f / (s.qRow + s.qdx * fx);
    for (int i = 0; i < kSpanLanes; ++i)
        r.w[i] = w[i];
    UnsignedLanes laneTexel[2] = {UnsignedLanes{} + 0xFFFFFFFFu, UnsignedLanes{} + 0xFFFFFFFFu};
    for (int k = 0; k < 2; ++k) {
        const LaneSampler& t = s.sampler[k];
        if (!t.active)
            continue;
        const FloatLanes u = (t.row[0] + t.dx[0] * fx) * w;
        const FloatLanes v = (t.row[1] + t.dx[1] * fx) * w;
        for (int i = 0; i < kSpanLanes; ++i) {
            r.u[k][i] = u[i];
            r.v[k][i] = v[i];
        }
        IntLanes minified = IntLanes{};
        if (t.derivatives) {
            // The footprint: d(a/q)/dx = (dA/dx - a dq/dx) / q for each coordinate, then the larger
            // squared step in texels.
            const FloatLanes c = (t.row[2] + t.dx[2] * fx) * w;
            const FloatLanes dudx = (t.dx[0] - u * t.qdx) * w, dvdx = (t.dx[1] - v * t.qdx) * w;
            const FloatLanes dwdx = (t.dx[2] - c * t.qdx) * w;
            const FloatLanes dudy = (t.dy[0] - u * t.qdy) * w, dvdy = (t.dy[1] - v * t.qdy) * w;
            const FloatLanes dwdy = (t.dy[2] - c * t.qdy) * w;
            const FloatLanes sx = (dudx * t.width) * (dudx * t.width) +
                                  (dvdx * t.height) * (dvdx * t.height) + (dwdx * t.depth) * (dwdx * t.depth);
            const FloatLanes sy = (dudy * t.width) * (dudy * t.width) +
                                  (dvdy * t.height) * (dvdy * t.height) + (dwdy * t.depth) * (dwdy * t.depth);
            const FloatLanes larger = sx > sy ? sx : sy;
            minified = larger > t.threshold;
            for (int i = 0; i < kSpanLanes; ++i)
                r.minified[k][i] = minified[i];
        }
        if (!t.texels)
            continue;
        // The texels: the nearest one and the bilinear blend of four (along each row first,
        // rounded to 8 bits, then between the rows), whichever the pixel's filter asks for.
        const IntLanes linear = t.derivatives
                                    ? (minified ? IntLanes{} - t.minLinear : IntLanes{} - t.magLinear)
                                    : IntLanes{} - t.magLinear;
        UnsignedLanes texel = UnsignedLanes{};
        if (!t.magLinear || (t.derivatives && !t.minLinear)) {
            IntLanes pu, pv;
            LUMIVOX_SNAP(pu, u * t.width);
            LUMIVOX_SNAP(pv, v * t.height);
            const IntLanes at = ((pv >> 8) & t.maskY) * t.pitch + ((pu >> 8) & t.maskX);
            for (int i = 0; i < kSpanLanes; ++i)
                texel[i] = t.texels[at[i]] | t.orMask;
        }
        if (t.magLinear || (t.derivatives && t.minLinear)) {
            IntLanes lu, lv;
            LUMIVOX_SNAP(lu, u * t.width - 0.5f);
            LUMIVOX_SNAP(lv, v * t.height - 0.5f);
            const IntLanes c0 = (lu >> 8) & t.maskX, c1 = ((lu >> 8) + 1) & t.maskX;
            const IntLanes r0 = ((lv >> 8) & t.maskY) * t.pitch, r1 = (((lv >> 8) + 1) & t.maskY) * t.pitch;
            const UnsignedLanes fx = UnsignedLanes(lu & 255), fy = UnsignedLanes(lv & 255);
            UnsignedLanes t00, t10, t01, t11;
            for (int i = 0; i < kSpanLanes; ++i) {
                t00[i] = t.texels[r0[i] + c0[i]] | t.orMask;
                t10[i] = t.texels[r0[i] + c1[i]] | t.orMask;
                t01[i] = t.texels[r1[i] + c0[i]] | t.orMask;
                t11[i] = t.texels[r1[i] + c1[i]] | t.orMask;
            }
            UnsignedLanes blended = UnsignedLanes{};
            for (int shift = 0; shift < 32; shift += 8) {
                const UnsignedLanes a = (t00 >> shift) & 255, b = (t10 >> shift) & 255;
                const UnsignedLanes c = (t01 >> shift) & 255, d = (t11 >> shift) & 255;
                const UnsignedLanes top = (a * (256 - fx) + b * fx + 128) >> 8;
                const UnsignedLanes bottom = (c * (256 - fx) + d * fx + 128) >> 8;
                blended |= ((top * (256 - fy) + bottom * fy + 128) >> 8) << shift;
            }
            texel = linear ? blended : texel;
        }
        laneTexel[k] = texel;
        for (int i = 0; i < kSpanLanes; ++i)
            r.texel[k][i] = texel[i];
    }
    if (s.diffuse) {
        // ColorToByte: 0 at or below 0 (and NaN), 255 from 1 up, else v * 255 + 0.5 cut.
        UnsignedLanes c[4];
        for (int i = 0; i < 4; ++i) {
            const FloatLanes v = (s.diffuseRow[i] + s.diffuseDx[i] * fx) * w;
            const IntLanes inside = (v > 0.0f) & (v < 1.0f);
            const FloatLanes scaled = inside ? v * 255.0f + 0.5f : FloatLanes{};
            const IntLanes bytes = __builtin_convertvector(scaled, IntLanes);
            c[i] = UnsignedLanes(v >= 1.0f ? IntLanes{} + 255 : bytes);
        }
        const UnsignedLanes packed = c[3] << 24 | c[0] << 16 | c[1] << 8 | c[2];
        for (int i = 0; i < kSpanLanes; ++i)
            r.diffuse[i] = DWORD(packed[i]);
    }
    const LaneShading& h = s.shading;
    if (!h.enabled)
        return;
    UnsignedLanes diffuse = UnsignedLanes{} + h.spanDiffuse;
    if (s.diffuse)
        for (int i = 0; i < kSpanLanes; ++i)
            diffuse[i] = r.diffuse[i];
    const UnsignedLanes texel0 = laneTexel[0];
    UnsignedLanes stage[2];
    for (int a = 0; a < 2; ++a) {
        switch (a == 0 ? h.color : h.alpha) {
        case kLaneTexture:
            stage[a] = texel0;
            break;
        case kLaneDiffuse:
            stage[a] = diffuse;
            break;
        case kLaneTextureTimesDiffuse:
            LUMIVOX_MODULATE(stage[a], texel0, diffuse);
            break;
        default: { // per-channel max(0, factor - diffuse)
            UnsignedLanes out = UnsignedLanes{};
            for (int shift = 0; shift < 32; shift += 8) {
                const IntLanes d = int((h.factor >> shift) & 255) - IntLanes((diffuse >> shift) & 255);
                out |= UnsignedLanes(d > 0 ? d : IntLanes{}) << shift;
            }
            stage[a] = out;
        }
        }
    }
    UnsignedLanes out = (stage[0] & 0x00FFFFFFu) | (stage[1] & 0xFF000000u);
    if (h.second) {
        UnsignedLanes modulated;
        LUMIVOX_MODULATE(modulated, laneTexel[1], out);
        out = (modulated & 0x00FFFFFFu) | (out & 0xFF000000u);
    }
    // A group of lanes that lies inside the span reads and writes the row whole: the pixels that
    // fail keep what they had.
    const IntLanes valid = xi <= h.last;
    const bool whole = x + kSpanLanes - 1 <= h.last;
    IntLanes pass = valid;
    IntLanes stored = IntLanes{};
    if (h.depths) {
        if (whole) {
            ShortLanes row;
            std::memcpy(&row, h.depths + x, sizeof row);
            stored = __builtin_convertvector(row, IntLanes);
        } else {
            for (int i = 0; i < kSpanLanes; ++i)
                if (valid[i])
                    stored[i] = h.depths[x + i];
        }
        IntLanes test;
        switch (h.depthFunc) {
        case D3DCMP_NEVER:
            test = IntLanes{};
            break;
        case D3DCMP_LESS:
            test = depthValue < stored;
            break;
        case D3DCMP_EQUAL:
            test = depthValue == stored;
            break;
        case D3DCMP_LESSEQUAL:
            test = depthValue <= stored;
            break;
        case D3DCMP_GREATER:
            test = depthValue > stored;
            break;
        case D3DCMP_NOTEQUAL:
            test = depthValue != stored;
            break;
        case D3DCMP_GREATEREQUAL:
            test = depthValue >= stored;
            break;
        default:
            test = IntLanes{} - 1;
            break;
        }
        pass &= test;
    }
    UnsignedLanes dest = UnsignedLanes{};
    if (whole) {
        std::memcpy(&dest, h.colors + x, sizeof dest);
    } else if (h.blend != kLaneOpaque) {
        for (int i = 0; i < kSpanLanes; ++i)
            if (valid[i])
                dest[i] = h.colors[x + i];
    }
    if (h.blend != kLaneOpaque) {
        const UnsignedLanes under = dest | h.alphaOr;
        if (h.blend == kLaneMultiply) {
            LUMIVOX_MODULATE(out, under, out);
        } else { // source * alpha + dest * (1 - alpha), each rounded, the sum saturated
            const UnsignedLanes alpha = (out >> 24) * 0x01010101u;
            const UnsignedLanes inverse = (255 - (out >> 24)) * 0x01010101u;
            UnsignedLanes source, kept;
            LUMIVOX_MODULATE(source, out, alpha);
            LUMIVOX_MODULATE(kept, under, inverse);
            UnsignedLanes sum = UnsignedLanes{};
            for (int shift = 0; shift < 32; shift += 8) {
                const UnsignedLanes c = ((source >> shift) & 255) + ((kept >> shift) & 255);
                sum |= (c > 255 ? UnsignedLanes{} + 255 : c) << shift;
            }
            out = sum;
        }
    }
    out |= h.alphaOr;
    if (whole) {
        const UnsignedLanes colors = pass ? out : dest;
        std::memcpy(h.colors + x, &colors, sizeof colors);
        if (h.depthWrite) {
            const ShortLanes depths = __builtin_convertvector(pass ? depthValue : stored, ShortLanes);
            std::memcpy(h.depths + x, &depths, sizeof depths);
        }
        return;
    }
    for (int i = 0; i < kSpanLanes; ++i) {
        if (!pass[i])
            continue;
        if (h.depthWrite)
            h.depths[x + i] = WORD(depthValue[i]);
        h.colors[x + i] = out[i];
    }
}

#undef LUMIVOX_SNAP
#undef LUMIVOX_MODULATE

void ComputeLanesBase(const LaneSetup& s, int x, LaneResults& r) {
    ComputeLanes(s, x, r);
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2")]] void ComputeLanesAvx2(const LaneSetup& s, int x, LaneResults& r) {
    ComputeLanes(s, x, r);
}

bool HasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#else
void ComputeLanesAvx2(const LaneSetup& s, int x, LaneResults& r) {
    ComputeLanes(s, x, r);
}

bool HasAvx2() {
    return false;
}
#endif

const SpanSet* overrideSet = nullptr;

} // namespace

SpanSet ActiveSpanSet() {
    static const bool avx2 = HasAvx2();
    if (overrideSet && (*overrideSet == SpanSet::Base || avx2))
        return *overrideSet;
    return avx2 ? SpanSet::Avx2 : SpanSet::Base;
}

void SetSpanSetOverride(const SpanSet* set) {
    overrideSet = set;
}

LaneFunction ChooseLaneFunction() {
    return ActiveSpanSet() == SpanSet::Avx2 ? ComputeLanesAvx2 : ComputeLanesBase;
}
