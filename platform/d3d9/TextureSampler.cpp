#include "platform/d3d9/TextureSampler.h"

#include "platform/d3d9/DeviceState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr DWORD kWhite = 0xFFFFFFFFu;

DWORD Lerp8(DWORD a, DWORD b, int f) {
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = int((a >> shift) & 255), cb = int((b >> shift) & 255);
        const int c = (ca * (256 - f) + cb * f + 128) >> 8;
        out |= DWORD(c) << shift;
    }
    return out;
}

// Rows first, each rounded to 8 bits, then between the rows (the same steps as the vector form).
DWORD Bilerp(DWORD c00, DWORD c10, DWORD c01, DWORD c11, int fx, int fy) {
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((c00 >> shift) & 255), b = int((c10 >> shift) & 255);
        const int c = int((c01 >> shift) & 255), d = int((c11 >> shift) & 255);
        const int top = (a * (256 - fx) + b * fx + 128) >> 8;
        const int bottom = (c * (256 - fx) + d * fx + 128) >> 8;
        out |= DWORD((top * (256 - fy) + bottom * fy + 128) >> 8) << shift;
    }
    return out;
}

DWORD Fetch2D(const TexelView& view, int x, int y, DWORD border) {
    if (x < 0 || y < 0)
        return border;
    return view.texels[size_t(y) * view.pitch + x] | view.orMask;
}

DWORD Fetch3D(const TexelView& view, int x, int y, int z, DWORD border) {
    if (x < 0 || y < 0 || z < 0)
        return border;
    return view.texels[size_t(z) * view.slicePitch + size_t(y) * view.pitch + x] | view.orMask;
}

DWORD Sample2D(const SamplerSetup& s, const TexelView& view, float u, float v, DWORD filter) {
    if (filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC) {
        const int fu = SnapTexelCoordinate(u * float(view.width) - 0.5f);
        const int fv = SnapTexelCoordinate(v * float(view.height) - 0.5f);
        const int x0 = fu >> 8, y0 = fv >> 8;
        const int ax0 = AddressTexel(x0, view.width, s.address[0]);
        const int ax1 = AddressTexel(x0 + 1, view.width, s.address[0]);
        const int ay0 = AddressTexel(y0, view.height, s.address[1]);
        const int ay1 = AddressTexel(y0 + 1, view.height, s.address[1]);
        const bool rowsOk0 = ay0 >= 0, rowsOk1 = ay1 >= 0;
        const DWORD c00 = rowsOk0 ? Fetch2D(view, ax0, ay0, s.border) : s.border;
        const DWORD c10 = rowsOk0 ? Fetch2D(view, ax1, ay0, s.border) : s.border;
        const DWORD c01 = rowsOk1 ? Fetch2D(view, ax0, ay1, s.border) : s.border;
        const DWORD c11 = rowsOk1 ? Fetch2D(view, ax1, ay1, s.border) : s.border;
        return Bilerp(c00, c10, c01, c11, fu & 255, fv & 255);
    }
    const int x = AddressTexel(SnapTexelCoordinate(u * float(view.width)) >> 8, view.width, s.address[0]);
    const int y = AddressTexel(SnapTexelCoordinate(v * float(view.height)) >> 8, view.height, s.address[1]);
    if (y < 0)
        return s.border;
    return Fetch2D(view, x, y, s.border);
}

DWORD Sample3D(const SamplerSetup& s, const TexelView& view, const float* c, DWORD filter) {
    if (filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC) {
        const int f[3] = {SnapTexelCoordinate(c[0] * float(view.width) - 0.5f),
                          SnapTexelCoordinate(c[1] * float(view.height) - 0.5f),
                          SnapTexelCoordinate(c[2] * float(view.depth) - 0.5f)};
        const int sizes[3] = {view.width, view.height, view.depth};
        int idx[3][2];
        for (int a = 0; a < 3; ++a) {
            idx[a][0] = AddressTexel(f[a] >> 8, sizes[a], s.address[a]);
            idx[a][1] = AddressTexel((f[a] >> 8) + 1, sizes[a], s.address[a]);
        }
        DWORD layer[2];
        for (int z = 0; z < 2; ++z) {
            const DWORD c00 = Fetch3D(view, idx[0][0], idx[1][0], idx[2][z], s.border);
            const DWORD c10 = Fetch3D(view, idx[0][1], idx[1][0], idx[2][z], s.border);
            const DWORD c01 = Fetch3D(view, idx[0][0], idx[1][1], idx[2][z], s.border);
            const DWORD c11 = Fetch3D(view, idx[0][1], idx[1][1], idx[2][z], s.border);
            layer[z] = Bilerp(c00, c10, c01, c11, f[0] & 255, f[1] & 255);
        }
        return Lerp8(layer[0], layer[1], f[2] & 255);
    }
    const int x = AddressTexel(SnapTexelCoordinate(c[0] * float(view.width)) >> 8, view.width, s.address[0]);
    const int y =
        AddressTexel(SnapTexelCoordinate(c[1] * float(view.height)) >> 8, view.height, s.address[1]);
    const int z = AddressTexel(SnapTexelCoordinate(c[2] * float(view.depth)) >> 8, view.depth, s.address[2]);
    return Fetch3D(view, x, y, z, s.border);
}

// Picks the cube face of a direction and the coordinates on it.
int CubeFace(const float* d, float* u, float* v) {
    const float ax = std::fabs(d[0]), ay = std::fabs(d[1]), az = std::fabs(d[2]);
    int face;
    float sc, tc, ma;
    if (ax >= ay && ax >= az) {
        face = d[0] >= 0 ? 0 : 1;
        ma = ax;
        sc = d[0] >= 0 ? -d[2] : d[2];
        tc = -d[1];
    } else if (ay >= az) {
        face = d[1] >= 0 ? 2 : 3;
        ma = ay;
        sc = d[0];
        tc = d[1] >= 0 ? d[2] : -d[2];
    } else {
        face = d[2] >= 0 ? 4 : 5;
        ma = az;
        sc = d[2] >= 0 ? d[0] : -d[0];
        tc = -d[1];
    }
    if (!(ma > 0.0f)) {
        *u = *v = 0.5f;
        return 0;
    }
    *u = (sc / ma + 1.0f) * 0.5f;
    *v = (tc / ma + 1.0f) * 0.5f;
    return face;
}

float LevelOfDetail(const SamplerSetup& s, const TexelView& top, const TexelFootprint& f) {
    const float rho2 = FootprintSquared(top, f);
    if (!(rho2 > 0.0f))
        return -100.0f;
    return 0.5f * std::log2(rho2) + s.lodBias;
}

DWORD SampleLevel(const SamplerSetup& s, int level, const float* coords, DWORD filter) {
    if (s.kind == TextureKind::Volume)
        return Sample3D(s, s.views[level], coords, filter);
    if (s.kind == TextureKind::Cube) {
        float u, v;
        const int face = CubeFace(coords, &u, &v);
        SamplerSetup clamped = s;
        clamped.address[0] = clamped.address[1] = D3DTADDRESS_CLAMP;
        return Sample2D(clamped, s.views[face * s.levels + level], u, v, filter);
    }
    return Sample2D(s, s.views[level], coords[0], coords[1], filter);
}

} // namespace

int AddressTexel(int index, int size, DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_MIRROR: {
        const int period = size * 2;
        int m = index % period;
        if (m < 0)
            m += period;
        return m >= size ? period - 1 - m : m;
    }
    case D3DTADDRESS_CLAMP:
        return std::clamp(index, 0, size - 1);
    case D3DTADDRESS_BORDER:
        return (index < 0 || index >= size) ? -1 : index;
    case D3DTADDRESS_MIRRORONCE:
        if (index < 0)
            index = -index - 1;
        return std::min(index, size - 1);
    case D3DTADDRESS_WRAP:
    default: {
        int m = index % size;
        return m < 0 ? m + size : m;
    }
    }
}

void PrepareSampler(SampledTexture* texture, const DWORD* ss, SamplerSetup* setup) {
    *setup = SamplerSetup{};
    if (!texture)
        return;
    setup->views = texture->Views();
    setup->kind = texture->Kind();
    setup->levels = texture->LevelCount();
    for (int a = 0; a < 3; ++a) {
        const DWORD mode = ss[D3DSAMP_ADDRESSU + a];
        setup->address[a] =
            (mode >= D3DTADDRESS_WRAP && mode <= D3DTADDRESS_MIRRORONCE) ? mode : D3DTADDRESS_WRAP;
    }
    setup->border = ss[D3DSAMP_BORDERCOLOR];
    setup->magFilter = ss[D3DSAMP_MAGFILTER];
    setup->minFilter = ss[D3DSAMP_MINFILTER];
    setup->mipFilter = setup->levels > 1 ? ss[D3DSAMP_MIPFILTER] : D3DTEXF_NONE;
    setup->lodBias = BitsFloat(ss[D3DSAMP_MIPMAPLODBIAS]);
    RefreshSamplerTexture(texture, ss, setup);
    const bool sameFilter = (setup->magFilter == D3DTEXF_LINEAR) == (setup->minFilter == D3DTEXF_LINEAR);
    setup->needsDerivatives = setup->mipFilter != D3DTEXF_NONE || !sameFilter;
    setup->minificationThreshold = setup->lodBias == 0.0f ? 1.0f : std::exp2(-2.0f * setup->lodBias);
}

void RefreshSamplerTexture(SampledTexture* texture, const DWORD* ss, SamplerSetup* setup) {
    setup->views = texture->Views();
    const int baseLevel = std::max(int(std::min<DWORD>(ss[D3DSAMP_MAXMIPLEVEL], 15)), texture->BaseLevel());
    setup->baseLevel = std::min(baseLevel, setup->levels - 1);
}

DWORD SampleTexture(const SamplerSetup& s, const float* coords, const TexelFootprint& footprint) {
    if (!s.views)
        return kWhite;
    if (!s.needsDerivatives)
        return SampleLevel(s, s.baseLevel, coords, s.magFilter);
    const TexelView& top = s.views[s.baseLevel];
    if (s.mipFilter == D3DTEXF_NONE) {
        const bool minified = FootprintSquared(top, footprint) > s.minificationThreshold;
        return SampleLevel(s, s.baseLevel, coords, minified ? s.minFilter : s.magFilter);
    }
    const float lod = LevelOfDetail(s, top, footprint);
    const DWORD filter = lod > 0.0f ? s.minFilter : s.magFilter;
    if (s.mipFilter == D3DTEXF_NONE || lod <= 0.0f)
        return SampleLevel(s, s.baseLevel, coords, filter);
    const int last = s.levels - 1;
    if (s.mipFilter == D3DTEXF_POINT) {
        const int level = std::min(last, s.baseLevel + int(std::floor(lod + 0.5f)));
        return SampleLevel(s, level, coords, filter);
    }
    const float clampedLod = std::min(lod, float(last - s.baseLevel));
    const int l0 = s.baseLevel + int(clampedLod);
    const int l1 = std::min(last, l0 + 1);
    const int frac = int((clampedLod - std::floor(clampedLod)) * 256.0f + 0.5f);
    const DWORD a = SampleLevel(s, l0, coords, filter);
    if (l1 == l0 || frac == 0)
        return a;
    return Lerp8(a, SampleLevel(s, l1, coords, filter), frac);
}
